// How far the running search has come, for a display that shows it.
//
// An engine announces its whole work in units (segments, runs of segments,
// or blocks of a whole-range table) when it starts sieving; whoever finishes
// a unit adds it with one relaxed atomic add. Nothing here draws: a display
// registers itself and is told, on the main thread, when a search starts and
// when it stops, always before the engine writes anything.
#pragma once
#include <atomic>
#include <cstdint>

namespace tamsel {

class TProgressDisplay {
 public:
  virtual ~TProgressDisplay() = default;
  virtual void SearchStarted() = 0;
  virtual void SearchStopped() = 0;
};

// The display told about every search from now on; nullptr for none.
void SetProgressDisplay(TProgressDisplay* display);

struct TProgressReading {
  std::uint64_t Done = 0;
  std::uint64_t Total = 0;  // 0 while no search runs
};
TProgressReading ReadProgress();

namespace progress_detail {
extern std::atomic<std::uint64_t> gDone;
}

// Any thread, once per finished unit (or a few units at once).
inline void AddProgress(std::uint64_t units) {
  progress_detail::gDone.fetch_add(units, std::memory_order_relaxed);
}

// One search's progress from construction to Stop or destruction (also when
// an exception leaves the engine). Main thread only.
class TSearchProgress {
 public:
  explicit TSearchProgress(std::uint64_t totalUnits);
  ~TSearchProgress() { Stop(); }
  TSearchProgress(const TSearchProgress&) = delete;
  TSearchProgress& operator=(const TSearchProgress&) = delete;
  void Stop();

 private:
  bool running_ = true;
};

}  // namespace tamsel
