#include "core/console/syntax_error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/console/tests/syntax_error_fixture.h"
#include "core/console/syntax_error_testing.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

TEST_F(SyntaxErrorTest, ScreenGoesToStandardErrorAndTakesTheStandardChannelWithIt) {
  TChannelCapture capture;
  ShowSyntaxError("Invalid Parameters Provided: 200", false, false);
  StdChannel().WriteLn("help text");
  EXPECT_EQ(capture.Err(), std::string(kScreen) + "help text\n");
  EXPECT_EQ(capture.Out(), "");
}

TEST_F(SyntaxErrorTest, PauseWithoutATerminalRunsAllThirtyTicks) {
  TChannelCapture capture;
  ShowSyntaxError("Invalid Parameters Provided: 200", true, false);
  EXPECT_EQ(capture.Err(), kScreen + kPrompt + std::string(30, '.') + "\n\n");
  EXPECT_EQ(capture.Out(), "");
}

TEST_F(SyntaxErrorTest, NoTicksMeansNoWait) {
  TChannelCapture capture;
  PressAnyKey(0, "Wait");
  PressAnyKey(-3, "Wait");
  EXPECT_EQ(capture.Out(), "Wait\n\nWait\n\n");
}

TEST_F(SyntaxErrorTest, EachTickTakesItsTime) {
  KeyWaitTickMilliseconds = 25;
  TChannelCapture capture;
  const auto start = std::chrono::steady_clock::now();
  PressAnyKey(4, kPrompt);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(capture.Out(), kPrompt + "....\n\n");
}

}  // namespace
}  // namespace tamsel
