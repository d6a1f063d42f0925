// The parallel segmented sieve: the segments of the normal segmented sieve,
// handed out one at a time to up to 64 worker threads.
#pragma once
#include <cstdint>

#include "core/console/datetime.h"
#include "engines/prime_records.h"

namespace tamsel {

inline constexpr std::int32_t kMaxWorkerThreads = 64;

// Label "Parallel". Switches ShowPrimes off for the rest of the run.
void ParallelSieve(TPrimeCheck& table, TPrimeRecord& record, TTimeStamp& endTime,
                   std::uint64_t n, std::int32_t threadCount);

// Test aid: from now on the worker that takes segment `segment` fails as if
// its memory had run out (0 lifts it).
void SetSegmentFailureForTest(std::uint64_t segment);

// Atomic updates of a record shared by the workers.
void AddCount(TPrimeRecord& record, std::uint64_t count);
void RaiseHighest(TPrimeRecord& record, std::uint64_t candidate);

}  // namespace tamsel
