// The parallel segmented sieve: the segments of the normal segmented sieve,
// handed out in runs of consecutive segments to up to 64 worker threads.
#pragma once
#include <cstdint>

#include "core/console/datetime.h"
#include "engines/prime_records.h"

namespace tamsel {

inline constexpr std::int32_t kMaxWorkerThreads = 64;

// Label "Parallel". Switches ShowPrimes off for the rest of the run.
void ParallelSieve(TPrimeCheck& table, TPrimeRecord& record, TTimeStamp& endTime,
                   std::uint64_t n, std::int32_t threadCount);

// The search of ParallelSieve without its report: the part every process of
// a search job runs (see search_job.h).
void SearchInParallel(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                      std::int32_t threadCount);

// How a search up to n is cut into runs: segments 1 to LastSegment, in Runs
// runs of RunLength segments (the last run may be shorter).
struct TRunPlan {
  std::uint64_t LastSegment = 0;
  std::uint64_t RunLength = 1;
  std::uint64_t Runs = 0;
};
TRunPlan PlanRuns(std::uint64_t n, std::int32_t threads);

// Atomic updates of a record shared by the workers.
void AddCount(TPrimeRecord& record, std::uint64_t count);
void RaiseHighest(TPrimeRecord& record, std::uint64_t candidate);

}  // namespace tamsel
