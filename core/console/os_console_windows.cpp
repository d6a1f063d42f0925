#include "core/console/os_console.h"

#include <windows.h>

#include <atomic>
#include <string_view>

#include "core/console/exit_code.h"
#include "core/console/os_error.h"
#include "core/console/windows_text.h"

namespace tamsel::os {

namespace {

HANDLE StreamHandle(TStream stream) {
  return ::GetStdHandle(stream == TStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// Files, pipes and the NUL device answer GetConsoleMode with an error.
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

std::string LastErrorText() { return SystemErrorText(static_cast<int>(::GetLastError())); }

// The pipe's reader has gone: ERROR_NO_DATA for a pipe closed at its other
// end, ERROR_BROKEN_PIPE and ERROR_PIPE_NOT_CONNECTED as Wine and named pipes
// report it.
bool ReaderGone(DWORD error) {
  return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
}

// What SIGPIPE does on POSIX: the process ends at this write, without a
// message and without running anything more (no other thread's work, no
// exit handlers), whichever thread wrote.
[[noreturn]] void EndForGoneReader() {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(kExitReaderGone));
  ::ExitProcess(static_cast<UINT>(kExitReaderGone));
}

// The bytes go out unchanged: the program's lines already end with CR LF, and
// no text-mode layer sits between it and the handle.
std::string WriteBytes(HANDLE handle, const char* data, std::size_t length) {
  while (length > 0) {
    const DWORD chunk = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
    DWORD written = 0;
    if (::WriteFile(handle, data, chunk, &written, nullptr) == 0) {
      const DWORD error = ::GetLastError();
      if (ReaderGone(error)) EndForGoneReader();
      return SystemErrorText(static_cast<int>(error));
    }
    if (written == 0) return SystemErrorText(ERROR_WRITE_FAULT);
    data += written;
    length -= written;
  }
  return {};
}

// The bytes of a character that a write cut short, kept for the next write.
// Trivially destructible on purpose: a thread_local with a destructor makes
// MinGW's runtime register a thread-exit handler, and those corrupt the heap
// or hang the process's exit when many threads end at once.
struct TPartialCharacter {
  char Bytes[4];
  std::size_t Count;
};

// Per thread: an interrupt clean-up writes from a thread of its own.
thread_local TPartialCharacter tPartial[2];

// The length of the longest prefix that does not end inside a UTF-8
// sequence; the rest waits for the next write.
std::size_t WholeCharacters(std::string_view text) {
  const std::size_t size = text.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(text[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return needed > back ? size - back : size;
  }
  return size;
}

// A console shows UTF-16, whatever its code page; a character split between
// two writes is completed by the second.
std::string WriteConsoleText(HANDLE handle, TPartialCharacter& partial, const char* data,
                             std::size_t length) {
  std::string pending(partial.Bytes, partial.Count);
  pending.append(data, length);
  const std::size_t whole = WholeCharacters(pending);
  partial.Count = pending.size() - whole;
  pending.copy(partial.Bytes, partial.Count, whole);
  std::wstring text = ToUtf16(std::string_view(pending).substr(0, whole));
  const wchar_t* next = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const DWORD chunk = left > 16384 ? 16384 : static_cast<DWORD>(left);
    DWORD written = 0;
    if (::WriteConsoleW(handle, next, chunk, &written, nullptr) == 0) return LastErrorText();
    if (written == 0) return SystemErrorText(ERROR_WRITE_FAULT);
    next += written;
    left -= written;
  }
  return {};
}

HANDLE KeyboardHandle() { return ::GetStdHandle(STD_INPUT_HANDLE); }

bool gPolling = false;

std::atomic<TInterruptCleanup> gCleanup{nullptr};

// Runs on a thread the system starts for the event; returning FALSE passes
// the event on to the default handler, which ends the process as before.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      if (const TInterruptCleanup cleanup = gCleanup.load()) cleanup();
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::string WriteAll(TStream stream, const char* data, std::size_t length) {
  const HANDLE handle = StreamHandle(stream);
  if (IsConsole(handle)) {
    return WriteConsoleText(handle, tPartial[stream == TStream::Output ? 0 : 1], data, length);
  }
  return WriteBytes(handle, data, length);
}

bool IsTerminal(TStream stream) { return IsConsole(StreamHandle(stream)); }

std::int32_t TerminalColumns(TStream stream) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (::GetConsoleScreenBufferInfo(StreamHandle(stream), &info) == 0) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

// Standard input that is a file, a pipe or the NUL device is no keyboard:
// the wait then runs all its ticks.
void BeginKeyPolling() {
  gPolling = IsConsole(KeyboardHandle());
  if (gPolling) ::FlushConsoleInputBuffer(KeyboardHandle());
}

// Reads the waiting input records; only a key going down counts. Peeking,
// not just counting the records, is what makes Wine read its terminal.
bool KeyPressed() {
  if (!gPolling) return false;
  const HANDLE keyboard = KeyboardHandle();
  bool pressed = false;
  INPUT_RECORD record{};
  DWORD waiting = 0;
  while (::PeekConsoleInputW(keyboard, &record, 1, &waiting) != 0 && waiting > 0) {
    DWORD read = 0;
    if (::ReadConsoleInputW(keyboard, &record, 1, &read) == 0 || read == 0) break;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) pressed = true;
  }
  return pressed;
}

void EndKeyPolling() {
  if (gPolling) ::FlushConsoleInputBuffer(KeyboardHandle());
  gPolling = false;
}

void SleepMilliseconds(std::int32_t milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

// The system's default sound, played asynchronously.
void Beep() { ::MessageBeep(0); }

// A process that ignores Ctrl+C (as one started that way does) is never
// told of it, so it stays ignored.
void SetInterruptCleanup(TInterruptCleanup cleanup) {
  const TInterruptCleanup previous = gCleanup.exchange(cleanup);
  if (previous == nullptr && cleanup != nullptr) ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  if (previous != nullptr && cleanup == nullptr) ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

// Windows handles console events on threads of its own, never on this one.
void KeepInterruptsOffThisThread() {}

}  // namespace tamsel::os
