// The syntax-error screen's tests: a command line of their own, a fast key
// wait, and standard input that is no keyboard.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/console/channels.h"
#include "core/console/os_process.h"
#include "core/console/startup.h"
#include "core/console/syntax_error.h"
#include "tests/support/platform.h"
#include "core/console/syntax_error_testing.h"

namespace tamsel {

inline constexpr const char* kScreen =
    "Invalid or Incomplete Syntax!\n"
    "\n"
    "Execution Path ... \"/opt/my tools/\"\n"
    "You entered ...... ./tamsel 100 200 \"a b\"\n"
    "\n"
    "Invalid Parameters Provided: 200\n"
    "\n";
inline const std::string kPrompt = "Press Any Key to Continue...";

class SyntaxErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* argv[] = {"./tamsel", "100", "200", "a b"};
    os::CaptureProcessArguments(4, argv);
    ExecutionPath = "\"/opt/my tools/\"";
    KeyWaitTickMilliseconds = 1;
  }
  void TearDown() override {
    ResetStdChannel();
    KeyWaitTickMilliseconds = 250;
  }

  const test::TNoKeyboard noInput_;
};

}  // namespace tamsel
