// End-to-end: the built program run as a user runs it, with standard
// output, standard error and the exit code checked separately.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

const std::string kDashes(75, '-');

// The timing frame and statistics line after a report, times masked.
std::string TimingAndStats(const std::string& fields, const std::string& method) {
  return kDashes + "\n" +
         "Start Time ......... ##/##/#### ##:##:##.###\n"
         "End Time ........... ##/##/#### ##:##:##.###\n"
         "Elapsed Time .......            ##:##:##.###\n" +
         kDashes + "\n" + "## Prime Number Stats [" + fields + "] // " + method +
         " // DURATION: ##:##:##.### // START: ##/##/#### ##:##:##.### // END: "
         "##/##/#### ##:##:##.### // Tamsel v3.2.0.340 x64\n";
}

TEST(SearchRun, ThousandUsesTheSimpleSieve) {
  const TProgramResult r = RunTamsel({"1,000"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(MaskTimes(r.Out),
            "\n"
            "Search up to ....... 1,000 (0x3E8)\n"
            "Total Primes .......   168 (0xA8)\n"
            "Highest Prime ......   997 (0x3E5)\n" +
                TimingAndStats("S:..........1,000 T:..........168 H:............997 P:.1",
                               "Simple"));
}

TEST(SearchRun, SimpleSieveUpTo20000AndPlusFrom20001) {
  const TProgramResult simple = RunTamsel({"20000"});
  EXPECT_EQ(simple.ExitCode, 0);
  EXPECT_NE(simple.Out.find("T:........2,262 H:.........19,997 P:.1] // Simple // "),
            std::string::npos)
      << simple.Out;
  const TProgramResult plus = RunTamsel({"20001"});
  EXPECT_EQ(plus.ExitCode, 0);
  EXPECT_EQ(MaskTimes(plus.Out),
            "\n"
            "Search up to ....... 20,001 (0x4E21)\n"
            "Total Primes .......  2,262 (0x8D6)\n"
            "Highest Prime ...... 19,997 (0x4E1D)\n" +
                TimingAndStats("S:.........20,001 T:........2,262 H:.........19,997 P:.1", "Plus"));
}

TEST(SearchRun, NumberTextFormsAreRead) {
  const struct {
    const char* typed;
    const char* searched;
  } forms[] = {{"1,000,000", "1,000,000 (0xF4240)"}, {"100.9", "100 (0x64)"},
               {"$FF", "255 (0xFF)"},                {"0x10", "16 (0x10)"},
               {"x10", "16 (0x10)"},                 {"%101", "5 (0x5)"},
               {"&17", "15 (0xF)"},                  {"+5", "5 (0x5)"},
               {",100", "100 (0x64)"}};
  for (const auto& form : forms) {
    const TProgramResult r = RunTamsel({form.typed});
    const std::string line = std::string("Search up to ....... ") + form.searched + "\n";
    EXPECT_NE(r.Out.find(line), std::string::npos) << form.typed << "\n" << r.Out;
  }
}

// A number that cannot be used is replaced by the default, with a warning
// and an empty line on standard error, and exit code 89; the report then
// follows without the usual empty line.
TEST(SearchRun, UnusableNumbersFallBackToTheDefault) {
  const struct {
    std::vector<std::string> args;
    const char* shown;
  } cases[] = {{{}, "0"},
               {{"abc"}, "0"},
               {{"1"}, "1"},
               {{"1.000.000"}, "1"},
               {{"-5"}, "0"},
               {{"18446744073709551616"}, "0"}};
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 89) << c.shown;
    EXPECT_EQ(r.Err, std::string("ERROR: Invalid Value Provided (") + c.shown +
                         ") -- Using Default Instead...\n\n");
    EXPECT_EQ(MaskTimes(r.Out),
              "Search up to ....... 250,000 (0x3D090)\n"
              "Total Primes .......  22,044 (0x561C)\n"
              "Highest Prime ...... 249,989 (0x3D085)\n" +
                  TimingAndStats("S:........250,000 T:.......22,044 H:........249,989 P:.1",
                                 "Plus"));
  }
}

TEST(SearchRun, LargestReadableNumberIsReplacedByTheMaximumWithItsOwnValueShown) {
  // Only the warning is checked here: the search up to the maximum itself
  // would run for ages, so the number is combined with --isprime elsewhere.
  const TProgramResult r = RunTamsel({"18446744073709551615", "--isprime"});
  EXPECT_EQ(r.Err.rfind("ERROR: Invalid Value Provided (18,446,744,073,709,551,615) -- Using "
                        "Default Instead...\n\n",
                        0),
            0u)
      << r.Err;
}

TEST(SearchRun, StartLineFromOneBillion) {
  const TProgramResult below = RunTamsel({"999999"});
  EXPECT_EQ(below.Out.rfind("\nSearch up to", 0), 0u);
  const TProgramResult r = RunTamsel({"1,000,000,000"});
  EXPECT_EQ(r.ExitCode, 0);
  const std::vector<std::string> lines = Lines(MaskTimes(r.Out));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "tamsel v3.2.0.340 -- Find Prime Numbers at ##/##/#### ##:##:##");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "Search up to ....... 1,000,000,000 (0x3B9ACA00)");
  EXPECT_EQ(lines[3], "Total Primes .......    50,847,534 (0x307DF2E)");
  EXPECT_EQ(lines[4], "Highest Prime ......   999,999,937 (0x3B9AC9C1)");
}

}  // namespace
}  // namespace tamsel::test
