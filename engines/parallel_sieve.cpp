#include "engines/parallel_sieve.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "driver/base/run_state.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"
#include "engines/threads/parallel_threads.h"

namespace tamsel {

namespace {

// Segments a worker may skip by stepping each prime's offset along instead
// of recomputing it with a division.
constexpr std::uint64_t kMaxSteppedSkip = 8;

struct TParallelContext {
  std::uint64_t RunId;
  std::uint64_t S;
  std::uint64_t N;
  const TPrimeFound* Primes;  // read only: each worker carries its own crossing state
  const TPresieve* Presieve;
  TPrimeRecord* Record;
  bool NoCount;
  std::atomic<bool> OutOfMemory{false};
};

// What one worker keeps from segment to segment: its private table and each
// prime's next multiple, so that a worker whose next segment follows closely
// needs no division per prime.
struct TWorkerState {
  std::uint64_t RunId = 0;
  TPrimeCheck Table;
  TCrossingSet Crossing;
  std::uint64_t NextSegment = 0;  // the segment Crossing is positioned at
  bool Positioned = false;
};

std::atomic<std::uint64_t> gNextRunId{1};
thread_local TWorkerState tWorker;

TWorkerState& WorkerFor(const TParallelContext& context) {
  TWorkerState& state = tWorker;
  if (state.RunId != context.RunId) {
    state.Table.clear();
    state.Table.shrink_to_fit();
    state.Table.resize(context.S + 1);
    state.Crossing =
        TCrossingSet(*context.Primes, context.Presieve->Largest(), context.S);
    state.Positioned = false;
    state.RunId = context.RunId;
  }
  return state;
}

void SegmentTask(std::int64_t index, void* data) {
  auto& context = *static_cast<TParallelContext*>(data);
  if (context.OutOfMemory.load(std::memory_order_relaxed)) return;
  const auto k = static_cast<std::uint64_t>(index);
  const std::uint64_t low = k * context.S + 1;
  if (low > context.N) return;
  const std::uint64_t high = std::min(context.N, (k + 1) * context.S);
  TWorkerState* state;
  try {
    state = &WorkerFor(context);
  } catch (const std::bad_alloc&) {
    tWorker.RunId = 0;
    context.OutOfMemory.store(true);
    return;
  }
  std::uint64_t skip = 0;
  if (state->Positioned && k >= state->NextSegment && k - state->NextSegment <= kMaxSteppedSkip) {
    skip = k - state->NextSegment;
  } else {
    state->Crossing.StartAt(low);
  }
  const std::size_t length = static_cast<std::size_t>(high - low + 1);
  std::uint8_t* t = state->Table.data();
  context.Presieve->Fill(t, low, length);
  state->Crossing.Cross(t, length, skip);
  state->NextSegment = k + 1;
  state->Positioned = length == context.S;  // a short last segment spends the offsets

  const std::size_t last = FindLastOne(t, length);
  if (last == length) return;
  RaiseHighest(*context.Record, low + last);
  if (!context.NoCount) AddCount(*context.Record, CountOnes(t, last + 1));
}

}  // namespace

void AddCount(TPrimeRecord& record, std::uint64_t count) {
  std::atomic_ref<std::uint64_t>(record.Count).fetch_add(count, std::memory_order_relaxed);
}

void RaiseHighest(TPrimeRecord& record, std::uint64_t candidate) {
  std::atomic_ref<std::uint64_t> highest(record.Highest);
  std::uint64_t current = highest.load(std::memory_order_relaxed);
  while (candidate > current &&
         !highest.compare_exchange_weak(current, candidate, std::memory_order_relaxed)) {
  }
}

void ParallelSieve(TPrimeCheck& table, TPrimeRecord& record, TTimeStamp& endTime,
                   std::uint64_t n, std::int32_t threadCount) {
  PrepareRecord(record);
  RunOptions.ShowPrimes = false;
  const TSegmentSizes sizes = SegmentSizes(n);
  table = FreshSieveTable(sizes.Size);
  TPrimeFound primes;
  CollectPrimes(primes, record, table, "Parallel");
  const TPresieve presieve(sizes.Size);

  // Near 2^64 the rounded square root can leave the last segment short of n;
  // hand out enough segments to cover it.
  std::uint64_t lastIndex = sizes.LastIndex;
  if (sizes.Size > 0) lastIndex = std::max(lastIndex, (n - 1) / sizes.Size);

  TParallelContext context{gNextRunId.fetch_add(1), sizes.Size, n, &primes, &presieve, &record,
                           RunOptions.NoCount};
  RunWorkers(0, static_cast<std::int64_t>(lastIndex), SegmentTask, &context,
             std::clamp(threadCount, 0, kMaxWorkerThreads));
  if (context.OutOfMemory.load()) throw std::bad_alloc();

  if (!RunOptions.Benchmark) EndPrimeList();
  endTime = Now();
  if (!RunOptions.Benchmark) ReportResults(n, record);
}

}  // namespace tamsel
