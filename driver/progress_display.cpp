#include "driver/progress_display.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "core/console/channels.h"
#include "core/console/datetime.h"
#include "core/console/os_console.h"
#include "core/console/status_line.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"

namespace tamsel {

namespace {

constexpr double kSecondsPerDay = 86400;
// Spans from here on read better in days than in hours.
constexpr double kDaysFrom = 100 * 3600;
// Far beyond any real estimate, and still a whole number of days in range.
constexpr double kLongestSpan = 1e18;

// "hh:mm:ss" under a hundred hours, else "12,345 days".
std::string FormatSpan(double seconds) {
  seconds = std::clamp(seconds, 0.0, kLongestSpan);
  if (seconds >= kDaysFrom) {
    return FormatThousands(static_cast<std::uint64_t>(seconds / kSecondsPerDay)) + " days";
  }
  const auto whole = static_cast<unsigned>(seconds);
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

double Seconds(std::int64_t milliseconds) {
  return static_cast<double>(std::max<std::int64_t>(milliseconds, 0)) / 1000;
}

std::int64_t MillisecondsSince(std::int64_t monotonicNs) {
  return (Now().MonotonicNs - monotonicNs) / 1000000;
}

// The line runs from the start of a watch (or of the engine's counting, if
// nobody watches) until the engine stops counting.
class TTerminalProgress final : public TProgressDisplay {
 public:
  void Begin() {
    if (running_) return;
    running_ = true;
    // Whatever the run wrote before the search belongs above the line.
    FlushChannels();
    const std::int64_t start = Now().MonotonicNs;
    countingStart_.store(start);
    StartStatusLine([this, start] {
      return ProgressText(ReadProgress(), MillisecondsSince(start),
                          MillisecondsSince(countingStart_.load()));
    });
  }
  void End() {
    if (!running_) return;
    running_ = false;
    StopStatusLine();
  }
  void SearchStarted() override {
    Begin();
    countingStart_.store(Now().MonotonicNs);
  }
  void SearchStopped() override { End(); }

 private:
  bool running_ = false;
  std::atomic<std::int64_t> countingStart_{0};
};

TTerminalProgress gTerminalProgress;
bool gShown = false;

}  // namespace

std::string ProgressText(const TProgressReading& reading, std::int64_t elapsedMilliseconds,
                         std::int64_t countingMilliseconds) {
  const std::string elapsed = FormatSpan(Seconds(elapsedMilliseconds)) + " elapsed";
  if (reading.Total == 0) return "Searching: preparing, " + elapsed;
  const std::uint64_t total = reading.Total;
  const std::uint64_t done = std::min(reading.Done, total);
  // Rounded down: 100% only when finished.
  const unsigned permille =
      done == total ? 1000 : static_cast<unsigned>(std::min(1000.0 * done / total, 999.0));
  std::string text = "Searching: " + std::to_string(permille / 10) + "." +
                     std::to_string(permille % 10) + "% done, " + elapsed;
  if (done > 0) {
    const double left = Seconds(countingMilliseconds) * static_cast<double>(total - done) /
                        static_cast<double>(done);
    text += ", about " + FormatSpan(left) + " left";
  }
  return text;
}

void ShowProgressWhenSuitable() {
  if (RunOptions.ShowPrimes || RunOptions.Quiet || !os::IsTerminal(os::TStream::Error)) return;
  SetProgressDisplay(&gTerminalProgress);
  gShown = true;
}

TSearchWatch::TSearchWatch() {
  if (gShown) gTerminalProgress.Begin();
}

TSearchWatch::~TSearchWatch() {
  if (gShown) gTerminalProgress.End();
}

}  // namespace tamsel
