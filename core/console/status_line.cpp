#include "core/console/status_line.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/console/os_console.h"

namespace tamsel {

namespace {

// Used when the terminal does not tell its width.
constexpr std::size_t kAssumedColumns = 80;
// The widest line drawn; the erase writes a carriage return and as many
// blanks as the line took.
constexpr std::size_t kMaxColumns = 160;
constexpr auto kCarriageReturnAndBlanks = [] {
  std::array<char, kMaxColumns + 1> text{};
  text.fill(' ');
  text[0] = '\r';
  return text;
}();

std::mutex gMutex;  // held while the line is drawn or erased, and by holds
std::condition_variable gWake;
bool gStopping = false;  // guarded by gMutex
bool gBroken = false;    // a draw failed; guarded by gMutex
std::thread gDrawer;
std::atomic<bool> gActive{false};

// Shared with the interrupt clean-up, which may run at any moment on any
// thread but the drawing one, and takes no lock.
std::atomic<std::size_t> gShownColumns{0};
std::atomic<bool> gDrawing{false};
std::atomic<bool> gInterrupted{false};

// Blanks the first columns of the line and returns to its start. A failure
// is not reported here: the channels' next write meets the same console and
// reports it.
void WriteErase(std::size_t columns) {
  if (os::WriteAll(os::TStream::Error, kCarriageReturnAndBlanks.data(), columns + 1).empty()) {
    (void)os::WriteAll(os::TStream::Error, "\r", 1);
  }
}

void EraseOnInterrupt() {
  gInterrupted.store(true);
  // The drawing thread never runs this, so waiting for its draw to finish
  // cannot stall: either it sees the flag and draws nothing, or its line
  // is complete before it is erased.
  while (gDrawing.load()) {
  }
  const std::size_t shown = gShownColumns.load();
  if (shown > 0) WriteErase(shown);
}

void EraseLocked() {
  const std::size_t shown = gShownColumns.load();
  if (shown == 0) return;
  WriteErase(shown);
  gShownColumns.store(0);
}

// One column is kept free: text in the last column would wrap on some
// terminals, and the erase would then miss the line above.
std::size_t DrawableColumns() {
  const auto columns = static_cast<std::size_t>(os::TerminalColumns(os::TStream::Error));
  return std::min(columns > 1 ? columns - 1 : kAssumedColumns - 1, kMaxColumns);
}

void DrawLocked(std::string text) {
  text.resize(std::min(text.size(), DrawableColumns()));
  const std::size_t shown = gShownColumns.load();
  std::string line = "\r" + text;
  if (shown > text.size()) line.append(shown - text.size(), ' ');
  gDrawing.store(true);
  if (!gInterrupted.load()) {
    gBroken = !os::WriteAll(os::TStream::Error, line.data(), line.size()).empty();
    gShownColumns.store(std::max(shown, text.size()));
  }
  gDrawing.store(false);
}

void DrawUntilStopped(const std::function<std::string()>& compose, TStatusLineTiming timing) {
  os::KeepInterruptsOffThisThread();
  std::unique_lock<std::mutex> lock(gMutex);
  auto wait = timing.FirstDraw;
  while (!gWake.wait_for(lock, wait, [] { return gStopping; })) {
    wait = timing.Interval;
    if (gBroken) continue;
    try {
      DrawLocked(compose());
    } catch (...) {
      gBroken = true;  // a status line is not worth ending the run for
    }
  }
}

}  // namespace

void StartStatusLine(std::function<std::string()> compose, TStatusLineTiming timing) {
  StopStatusLine();
  {
    const std::lock_guard<std::mutex> lock(gMutex);
    gStopping = false;
    gBroken = false;
  }
  os::SetInterruptCleanup(EraseOnInterrupt);
  try {
    gDrawer = std::thread(DrawUntilStopped, std::move(compose), timing);
  } catch (...) {
    os::SetInterruptCleanup(nullptr);
    return;
  }
  gActive.store(true);
}

void StopStatusLine() {
  if (!gActive.load()) return;
  {
    const std::lock_guard<std::mutex> lock(gMutex);
    gStopping = true;
  }
  gWake.notify_all();
  gDrawer.join();
  {
    const std::lock_guard<std::mutex> lock(gMutex);
    EraseLocked();
  }
  gActive.store(false);
  os::SetInterruptCleanup(nullptr);
}

TStatusLineHold::TStatusLineHold() {
  if (!gActive.load()) return;
  gMutex.lock();
  held_ = true;
  EraseLocked();
}

TStatusLineHold::~TStatusLineHold() {
  if (held_) gMutex.unlock();
}

}  // namespace tamsel
