// End-to-end: the built program run as a user runs it.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

TEST(SearchRun, ThousandReportsCountHighestAndStatistics) {
  const TProgramResult r = RunTamsel({"1,000"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Err, "");
  const std::string expected =
      "\n"
      "Search up to ....... 1,000 (0x3E8)\n"
      "Total Primes .......   168 (0xA8)\n"
      "Highest Prime ......   997 (0x3E5)\n"
      "---------------------------------------------------------------------------\n"
      "Start Time ......... ##/##/#### ##:##:##.###\n"
      "End Time ........... ##/##/#### ##:##:##.###\n"
      "Elapsed Time .......            ##:##:##.###\n"
      "---------------------------------------------------------------------------\n"
      "## Prime Number Stats [S:..........1,000 T:..........168 H:............997 P:.1] // "
      "Simple // DURATION: ##:##:##.### // START: ##/##/#### ##:##:##.### // END: "
      "##/##/#### ##:##:##.### // Tamsel v3.2.0.340 x64\n";
  EXPECT_EQ(MaskTimes(r.Out), expected);
}

}  // namespace
}  // namespace tamsel::test
