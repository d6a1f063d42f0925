// Operating-system seam for the console: raw writes to the two standard
// streams, terminal detection and width, the key wait, the bell, and clean-up
// on Ctrl+C and termination requests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tamsel::os {

enum class TStream { Output = 1, Error = 2 };

// Writes all bytes, retrying on interruption and partial writes. Returns an
// empty text when every byte was written, otherwise the system's reason for
// the failure (such as "No space left on device"). A write into a pipe whose
// reader has gone ends the process there, without a message: on POSIX
// systems SIGPIPE does it, on Windows this function, with exit code
// kExitReaderGone.
std::string WriteAll(TStream stream, const char* data, std::size_t length);

bool IsTerminal(TStream stream);

// Columns of the terminal the stream writes to; 0 when unknown.
std::int32_t TerminalColumns(TStream stream);

// Key polling on standard input. Begin discards input already waiting and
// switches a terminal to unbuffered, silent reading; KeyPressed tests without
// blocking whether a key arrived since; End discards what is still waiting
// and restores the terminal. Polling happens only when standard input is a
// terminal this process may read from (not a file, a pipe, or a terminal
// owned by another foreground job); otherwise KeyPressed is always false.
// While polling, a terminating signal restores the terminal before it acts.
void BeginKeyPolling();
bool KeyPressed();
void EndKeyPolling();

// Sleeps the whole time, resuming after interruptions.
void SleepMilliseconds(std::int32_t milliseconds);

// Rings the bell of the controlling terminal, without waiting for it; does
// nothing when the process has none. Never written into redirected output.
void Beep();

// Ctrl+C and termination requests (on POSIX SIGINT, SIGTERM, SIGHUP and
// SIGQUIT). While a clean-up is set, such a request first calls it and then
// ends the process just as it would have without it; a request the process
// ignores stays ignored. The clean-up may run in a signal handler or on a
// thread of the system's, at any moment: it may only use lock-free atomics
// and WriteAll. nullptr removes it. Main thread only.
using TInterruptCleanup = void (*)();
void SetInterruptCleanup(TInterruptCleanup cleanup);

// Those requests are never handled on the calling thread, so a clean-up
// never interrupts what this thread is writing.
void KeepInterruptsOffThisThread();

}  // namespace tamsel::os
