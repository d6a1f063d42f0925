#include "core/console/os_console.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tamsel::os {

std::string WriteAll(TStream stream, const char* data, std::size_t length) {
  const int fd = static_cast<int>(stream);
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      // A stream another process switched to non-blocking mode is full for
      // the moment, not failed: wait until it takes more.
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        pollfd ready{fd, POLLOUT, 0};
        ::poll(&ready, 1, -1);
        continue;
      }
      return std::strerror(errno);
    }
    data += written;
    length -= static_cast<std::size_t>(written);
  }
  return {};
}

bool IsTerminal(TStream stream) { return ::isatty(static_cast<int>(stream)) == 1; }

std::int32_t TerminalColumns(TStream stream) {
  winsize size{};
  if (::ioctl(static_cast<int>(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

namespace {

constexpr int kKeyboard = STDIN_FILENO;
constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t kSignalCount = sizeof kRestoringSignals / sizeof kRestoringSignals[0];

// Read by the signal handler, hence written before it is armed.
termios gSavedMode{};
volatile std::sig_atomic_t gPolling = 0;
std::atomic<TInterruptCleanup> gCleanup{nullptr};
static_assert(std::atomic<TInterruptCleanup>::is_always_lock_free, "read in a signal handler");
struct sigaction gPreviousActions[kSignalCount];
bool gArmed[kSignalCount] = {};
// The key wait and a clean-up may want the handler at the same time.
int gArmCount = 0;
bool gPollingArmed = false;

void RestoreTerminalMode() { ::tcsetattr(kKeyboard, TCSANOW, &gSavedMode); }

std::size_t SignalIndex(int signal) {
  std::size_t i = 0;
  while (i < kSignalCount && kRestoringSignals[i] != signal) ++i;
  return i;
}

// Puts the terminal back and runs the clean-up, then lets the signal do what
// it would have done (usually end the process).
void CleanUpAndReraise(int signal) {
  const int interruptedErrno = errno;
  if (gPolling != 0) {
    gPolling = 0;
    RestoreTerminalMode();
  }
  if (const TInterruptCleanup cleanup = gCleanup.load()) cleanup();
  const std::size_t i = SignalIndex(signal);
  if (i < kSignalCount) ::sigaction(signal, &gPreviousActions[i], nullptr);
  ::raise(signal);
  errno = interruptedErrno;  // for a previous action that lets the process go on
}

// A signal the process ignores (as under nohup) stays ignored.
void ArmSignalRestore() {
  if (gArmCount++ > 0) return;
  struct sigaction action{};
  action.sa_handler = CleanUpAndReraise;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    struct sigaction current{};
    ::sigaction(kRestoringSignals[i], nullptr, &current);
    gArmed[i] = current.sa_handler != SIG_IGN;
    if (gArmed[i]) ::sigaction(kRestoringSignals[i], &action, &gPreviousActions[i]);
  }
}

void DisarmSignalRestore() {
  if (gArmCount == 0 || --gArmCount > 0) return;
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    if (gArmed[i]) ::sigaction(kRestoringSignals[i], &gPreviousActions[i], nullptr);
    gArmed[i] = false;
  }
}

sigset_t RestoringSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kRestoringSignals) sigaddset(&set, signal);
  return set;
}

// A background job touching its controlling terminal would be stopped by
// SIGTTOU/SIGTTIN; a terminal that is not ours to control is fine to use.
bool MayUseKeyboard() {
  if (::isatty(kKeyboard) != 1) return false;
  const pid_t foreground = ::tcgetpgrp(kKeyboard);
  return foreground < 0 || foreground == ::getpgrp();
}

termios UnbufferedSilentMode(termios mode) {
  mode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  mode.c_cc[VMIN] = 0;
  mode.c_cc[VTIME] = 0;
  return mode;
}

}  // namespace

void BeginKeyPolling() {
  if (gPolling != 0 || !MayUseKeyboard()) return;
  if (::tcgetattr(kKeyboard, &gSavedMode) != 0) return;
  gPolling = 1;
  gPollingArmed = true;
  ArmSignalRestore();
  const termios polling = UnbufferedSilentMode(gSavedMode);
  // TCSAFLUSH also discards whatever was typed before the wait began.
  ::tcsetattr(kKeyboard, TCSAFLUSH, &polling);
}

bool KeyPressed() {
  if (gPolling == 0) return false;
  pollfd keyboard{kKeyboard, POLLIN, 0};
  if (::poll(&keyboard, 1, 0) <= 0 || (keyboard.revents & POLLIN) == 0) return false;
  char key = 0;
  return ::read(kKeyboard, &key, 1) == 1;
}

void EndKeyPolling() {
  if (gPolling != 0) {
    ::tcflush(kKeyboard, TCIFLUSH);
    RestoreTerminalMode();  // before clearing the flag, so no signal can slip between
    gPolling = 0;
  }
  if (gPollingArmed) DisarmSignalRestore();
  gPollingArmed = false;
}

void SleepMilliseconds(std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

void Beep() {
  const int terminal = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) return;
  const ssize_t written = ::write(terminal, "\a", 1);
  (void)written;  // a bell that cannot ring is no reason to fail
  ::close(terminal);
}

void SetInterruptCleanup(TInterruptCleanup cleanup) {
  const bool wasSet = gCleanup.load() != nullptr;
  if (cleanup != nullptr && !wasSet) ArmSignalRestore();
  gCleanup.store(cleanup);
  if (cleanup == nullptr && wasSet) DisarmSignalRestore();
}

void KeepInterruptsOffThisThread() {
  const sigset_t signals = RestoringSignalSet();
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace tamsel::os
