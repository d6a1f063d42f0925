#include "core/console/syntax_error.h"

#include "core/console/channels.h"
#include "core/console/os_console.h"
#include "core/console/os_process.h"
#include "core/console/startup.h"
#include "core/console/syntax_error_testing.h"

namespace tamsel {

bool ErrorDelay = false;
bool AudibleError = false;
std::int32_t KeyWaitTickMilliseconds = 250;

namespace {

// Ends key polling on every way out of the wait.
class TKeyPollingScope {
 public:
  TKeyPollingScope() { os::BeginKeyPolling(); }
  ~TKeyPollingScope() { os::EndKeyPolling(); }
  TKeyPollingScope(const TKeyPollingScope&) = delete;
  TKeyPollingScope& operator=(const TKeyPollingScope&) = delete;
};

void WaitForKeyOrTicks(std::int32_t ticks) {
  TChannel& out = StdChannel();
  for (std::int32_t tick = 0; tick < ticks && !os::KeyPressed(); ++tick) {
    os::SleepMilliseconds(KeyWaitTickMilliseconds);
    out.Write('.');
    out.Flush();
  }
}

void WriteScreen(std::string_view message) {
  TChannel& err = ErrChannel();
  err.Write("Invalid or Incomplete Syntax!");
  err.Write(kLineEnd);
  err.WriteLn();
  err.Write("Execution Path ... ");
  err.Write(ExecutionPath);
  err.Write(kLineEnd);
  err.Write("You entered ...... ");
  err.Write(os::RawCommandLine());
  err.WriteLn();
  WriteErrorBlock(message, kLineEnd);
  err.Flush();
}

}  // namespace

void ShowSyntaxError(std::string_view message, bool pause, bool beep) {
  RebindStdChannelToError();
  WriteScreen(message);
  if (beep) os::Beep();
  if (pause) PressAnyKey(kSyntaxErrorTicks, kPressAnyKeyPrompt);
}

void WriteErrorBlock(std::string_view text, std::string_view prefix) {
  TChannel& err = ErrChannel();
  err.Write(prefix);
  err.Write(text);
  err.Write(kLineEnd);
  err.WriteLn();
}

void PressAnyKey(std::int32_t ticks, std::string_view prompt) {
  TChannel& out = StdChannel();
  {
    const TKeyPollingScope polling;
    out.Write(prompt);
    out.Flush();
    WaitForKeyOrTicks(ticks);
  }
  out.Write(kLineEnd);
  out.WriteLn();
  out.Flush();
}

}  // namespace tamsel
