#include "core/console/unhandled_exception.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <stdexcept>
#include <string>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/program_errors.h"
#include "tests/support/run_program.h"
#include "core/console/channels_testing.h"

namespace tamsel {

class ETestFailure : public EProgramError {
  using EProgramError::EProgramError;
};

[[gnu::noinline]] void RaiseTestFailureForReport() { Raise<ETestFailure>("the test failed here"); }

namespace {

std::string HexOf(const void* address) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llX",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  return text;
}

// Runs the report on whatever thrower throws; returns standard output.
template <class Thrower>
std::string ReportOf(Thrower thrower, std::int32_t& code) {
  TChannelCapture capture;
  try {
    thrower();
  } catch (...) {
    code = ReportUnhandledException(std::current_exception());
  }
  EXPECT_EQ(capture.Err(), "");
  return capture.Out();
}

const std::regex kFirstLine("^An unhandled exception occurred at \\$[0-9A-F]{16}:");

TEST(UnhandledException, ReportNamesRaiseSiteTypeMessageAndStack) {
  std::int32_t code = 0;
  const void* raisedAt = nullptr;
  const std::string out = ReportOf(
      [&] {
        try {
          RaiseTestFailureForReport();
        } catch (const EProgramError& e) {
          raisedAt = e.RaiseAddress();
          throw;
        }
      },
      code);
  EXPECT_EQ(code, 217);
  EXPECT_EQ(ExitCode, 217);
  EXPECT_TRUE(std::regex_search(out, kFirstLine)) << out;
  EXPECT_NE(out.find("occurred at $" + HexOf(raisedAt) + ":"), std::string::npos) << out;
  const auto lines = test::Lines(out);
  ASSERT_GE(lines.size(), 3u) << out;
  EXPECT_EQ(lines[1], "ETestFailure: the test failed here");
  EXPECT_NE(lines[2].find(std::string("$").append(HexOf(raisedAt))), std::string::npos) << out;
  EXPECT_NE(out.find("RaiseTestFailureForReport"), std::string::npos) << out;
}

TEST(UnhandledException, ForeignExceptionsAreNamedToo) {
  std::int32_t code = 0;
  std::string out = ReportOf([] { throw std::length_error("too long"); }, code);
  EXPECT_TRUE(std::regex_search(out, kFirstLine)) << out;
  EXPECT_EQ(test::Lines(out).at(1), "std::length_error: too long");
  EXPECT_GT(test::Lines(out).size(), 2u) << "no call stack";

  out = ReportOf([] { throw 42; }, code);
  EXPECT_EQ(code, 217);
  EXPECT_EQ(test::Lines(out).at(1), "int");
}

TEST(UnhandledException, ReportGoesToStandardOutputAfterRebind) {
  std::int32_t code = 0;
  TChannelCapture capture;
  RebindStdChannelToError();
  try {
    throw std::runtime_error("late");
  } catch (...) {
    code = ReportUnhandledException(std::current_exception());
  }
  EXPECT_EQ(code, 217);
  EXPECT_EQ(capture.Err(), "");
  EXPECT_NE(capture.Out().find("std::runtime_error: late"), std::string::npos);
  ResetStdChannel();
}

TEST(PlatformError, MessageCarriesCodeAndSystemText) {
  EXPECT_EQ(PlatformErrorMessage(0), "An operating system call failed.");
  const std::string expected =
      "System error, (OS Code " + std::to_string(ENOENT) + "):" + std::string(kLineEnd);
  EXPECT_EQ(PlatformErrorMessage(ENOENT).rfind(expected, 0), 0u);
  EXPECT_GT(PlatformErrorMessage(ENOENT).size(), expected.size());
  EXPECT_EQ(EPlatformError(ENOENT).Code(), ENOENT);
}

}  // namespace
}  // namespace tamsel
