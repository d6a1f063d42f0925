// End-to-end on Windows: output that cannot be written is reported on the
// other stream, in the system's words, with exit code 1 (the Linux tests of
// the same policy use the shell's redirections); a reader that has gone ends
// the run quietly, as SIGPIPE does on Linux.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The search up to 10^13 would take many minutes: the run must end at the
// start line's write, before it.
TEST(ReaderGone, EndsTheRunQuietlyAtThatWriteWithExitCode141) {
  const struct {
    std::vector<std::string> Args;
    bool ErrorStream;
  } cases[] = {
      {{"10000000000000"}, false},
      {{"10000000000000", "-s"}, true},  // the primes' list goes to standard error
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamselWithReaderGone(c.Args, c.ErrorStream);
    EXPECT_EQ(r.ExitCode, 141) << c.Args.size();
    EXPECT_EQ(r.Out.find("ERROR"), std::string::npos) << r.Out;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out.find("Total Primes"), std::string::npos) << r.Out;
  }
}

}  // namespace
}  // namespace tamsel::test
