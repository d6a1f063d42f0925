#include "engines/search_progress.h"

namespace tamsel {

namespace progress_detail {
std::atomic<std::uint64_t> gDone{0};
}

namespace {
std::atomic<std::uint64_t> gTotal{0};
TProgressDisplay* gDisplay = nullptr;
}  // namespace

void SetProgressDisplay(TProgressDisplay* display) { gDisplay = display; }

TProgressReading ReadProgress() {
  TProgressReading reading;
  reading.Total = gTotal.load(std::memory_order_acquire);
  reading.Done = progress_detail::gDone.load(std::memory_order_relaxed);
  return reading;
}

TSearchProgress::TSearchProgress(std::uint64_t totalUnits) {
  progress_detail::gDone.store(0, std::memory_order_relaxed);
  gTotal.store(totalUnits, std::memory_order_release);
  if (gDisplay != nullptr) gDisplay->SearchStarted();
}

void TSearchProgress::Stop() {
  if (!running_) return;
  running_ = false;
  if (gDisplay != nullptr) gDisplay->SearchStopped();
  gTotal.store(0, std::memory_order_release);
}

}  // namespace tamsel
