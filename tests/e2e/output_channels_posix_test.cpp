// End-to-end: output reaches its reader while a long search runs, and output
// that cannot be written is reported instead of lost in silence.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

// Runs tamsel through the shell with the redirections given after its
// arguments; a run that does not stop within a minute ends as code 124.
TProgramResult RunRedirected(const std::string& argumentsAndRedirections) {
  return RunProgram("/bin/sh",
                    {"-c", "exec timeout 60 \"$0\" " + argumentsAndRedirections, TamselPath()});
}

TEST(FailedWrite, IsReportedOnTheOtherStreamWithExitCode1) {
  const std::string outLost = "ERROR: Could not write to standard output: ";
  const struct {
    const char* Command;
    std::string Message;
    bool OnStandardError;
  } cases[] = {
      {"1000000 >/dev/full", outLost + "No space left on device.\n", true},
      {"1000000 >&-", outLost + "Bad file descriptor.\n", true},
      // The list of primes goes to standard error; the reports still arrive.
      {"1000 -s 2>/dev/full", "ERROR: Could not write to standard error: No space left on device.\n",
       false},
      // Noticed when the start line is written, not after an hours-long search.
      {"10000000000000 >/dev/full", outLost + "No space left on device.\n", true},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunRedirected(c.Command);
    EXPECT_EQ(r.ExitCode, 1) << c.Command;
    const std::string& other = c.OnStandardError ? r.Err : r.Out;
    EXPECT_TRUE(other.ends_with(c.Message)) << c.Command << ": " << other;
  }
}

TEST(StartLine, IsReadableFromAPipeWhileTheSearchRuns) {
  TRunningProgram search(TamselPath(), {"10000000000000"});
  const std::string line = search.ReadLine(std::chrono::seconds(30));
  EXPECT_NE(line.find(" -- Find Prime Numbers at "), std::string::npos) << line;
  EXPECT_TRUE(search.Running());
}

// A full pipe in non-blocking mode is a wait, not a failed write.
TEST(FullPipe, InNonBlockingModeLosesNothing) {
  TRunningProgram listing(TamselPath(), {"3066842656354276800", "--factors"}, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let the pipe fill up
  const std::vector<std::string> lines = Lines(listing.ReadRest());
  ASSERT_EQ(lines.size(), 64512u + 2);
  EXPECT_EQ(lines.back(), "There are 129,024 factors of 3,066,842,656,354,276,800");
}

}  // namespace
}  // namespace tamsel::test
