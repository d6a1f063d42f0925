// End-to-end on Windows: output that cannot be written is reported on the
// other stream, in the system's words, with exit code 1 (the Linux tests of
// the same policy use the shell's redirections).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

TEST(FailedWrite, IsReportedOnStandardErrorWithExitCode1) {
  const TProgramResult r = RunTamselWithUnwritableOutput({"1000000"});
  EXPECT_EQ(r.ExitCode, 1);
  const std::string head = "ERROR: Could not write to standard output: ";
  ASSERT_EQ(r.Err.rfind(head, 0), 0u) << r.Err;
  // One line: the reason, without the system's own full stop or line end.
  const std::string reason = r.Err.substr(head.size());
  EXPECT_GT(reason.size(), 2u) << r.Err;
  EXPECT_TRUE(reason.ends_with(".\n") && !reason.ends_with("..\n")) << r.Err;
  EXPECT_EQ(reason.find('\n'), reason.size() - 1) << r.Err;
}

}  // namespace
}  // namespace tamsel::test
