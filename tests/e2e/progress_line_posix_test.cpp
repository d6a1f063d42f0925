// End-to-end: the progress line of a long search on a terminal, through a
// pseudo-terminal as an interactive shell provides it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

constexpr const char* kLine = "Searching: ";
// Never finishes within a test.
constexpr const char* kEndlessSearch = "10,000,000,000,000";

bool AnyRowHas(const std::vector<std::string>& rows, const std::string& part) {
  return std::any_of(rows.begin(), rows.end(),
                     [&part](const std::string& row) { return row.find(part) != std::string::npos; });
}

// A limit whose search takes about three seconds on this machine, however
// fast it is and whatever sanitizer slows it down.
std::string LimitForThreeSeconds() {
  const auto start = std::chrono::steady_clock::now();
  RunTamsel({"1,000,000,000", "-q"});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double billions = std::clamp(3.0 / std::max(seconds, 0.001), 2.0, 10000.0);
  return std::to_string(static_cast<long long>(billions)) + "000000000";
}

TEST(ProgressLine, DrawnInPlaceDuringALongSearchAndGoneBeforeTheReport) {
  const TTerminalRunResult run = RunOnTerminal({LimitForThreeSeconds()});
  ASSERT_EQ(run.ExitCode, 0) << run.Terminal;
  const std::size_t drawn = run.Terminal.find(std::string("\r") + kLine);
  ASSERT_NE(drawn, std::string::npos) << run.Terminal;
  EXPECT_NE(run.Terminal.find("% done, 00:00:0", drawn), std::string::npos);
  EXPECT_NE(run.Terminal.find(" left", drawn), std::string::npos);
  // The screen is what it would have been without the line: the start line,
  // an empty line where the line was, then the report from its first column.
  const std::vector<std::string> rows = ScreenRows(run.Terminal);
  EXPECT_FALSE(AnyRowHas(rows, kLine)) << run.Terminal;
  ASSERT_GE(rows.size(), 4u);
  EXPECT_NE(rows[0].find(" -- Find Prime Numbers at "), std::string::npos);
  EXPECT_EQ(rows[1], "");
  EXPECT_EQ(rows[2].rfind("Search up to ....... ", 0), 0u) << rows[2];
}

TEST(ProgressLine, InterruptErasesTheLineAndEndsWithTheSignal) {
  const TTerminalRunResult run = RunOnTerminal({kEndlessSearch}, true, kLine, SIGINT);
  EXPECT_EQ(run.Signal, SIGINT) << run.Terminal;
  EXPECT_NE(run.Terminal.find(kLine), std::string::npos);
  const std::vector<std::string> rows = ScreenRows(run.Terminal);
  EXPECT_FALSE(AnyRowHas(rows, kLine)) << run.Terminal;
  EXPECT_NE(rows[0].find(" -- Find Prime Numbers at "), std::string::npos);
}

TEST(ProgressLine, NeverDrawnWhenStandardErrorIsRedirected) {
  const TTerminalRunResult run = RunOnTerminal({LimitForThreeSeconds()}, false);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Terminal.find(kLine), std::string::npos) << run.Terminal;
}

}  // namespace
}  // namespace tamsel::test
