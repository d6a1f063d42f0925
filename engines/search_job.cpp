#include "engines/search_job.h"

#include <algorithm>
#include <atomic>

namespace tamsel {

namespace {

// The runs of one process, from one atomic counter. The progress is counted
// where the segments are sieved, so the finished run is not needed here.
class TLocalRunSource final : public TRunSource {
 public:
  using TRunSource::TRunSource;

  bool Take(std::uint64_t& run) override {
    run = lastTaken_.fetch_add(1, std::memory_order_relaxed) + 1;
    return run <= plan_.Runs;
  }

  // Past the end, so that every later Take finds nothing.
  void Stop() override { lastTaken_.store(plan_.Runs, std::memory_order_relaxed); }

  bool Finish(TPrimeRecord& /*record*/, std::uint64_t /*basePrimes*/, bool failedHere) override {
    return !failedHere;
  }

 private:
  std::atomic<std::uint64_t> lastTaken_{0};
};

class TLocalJob final : public TSearchJob {
 public:
  std::int32_t Workers(std::int32_t threads) const override { return threads; }
  std::unique_ptr<TRunSource> Start(std::uint64_t /*n*/, std::int32_t /*threads*/,
                                    bool /*noCount*/, const TRunPlan& plan) override {
    return std::make_unique<TLocalRunSource>(plan);
  }
};

TLocalJob gLocalJob;
TSearchJob* gJob = &gLocalJob;

}  // namespace

std::uint64_t TRunSource::SegmentsOf(std::uint64_t run) const {
  if (run == 0 || run > plan_.Runs) return 0;
  const std::uint64_t first = (run - 1) * plan_.RunLength + 1;
  return std::min(plan_.LastSegment, first + plan_.RunLength - 1) - first + 1;
}

TSearchJob& SearchJob() { return *gJob; }

void SetSearchJob(TSearchJob* job) { gJob = job != nullptr ? job : &gLocalJob; }

}  // namespace tamsel
