#include "engines/parallel_sieve.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

#include "driver/base/run_state.h"
#include "engines/search_progress.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"
#include "engines/threads/parallel_threads.h"

namespace tamsel {

namespace {

// Segments a worker may skip by moving its primes on block by block
// instead of placing each afresh with a division.
constexpr std::uint64_t kMaxSteppedSkip = 8;

// Pauses before a worker sleeps while another one still crosses a group for
// the segment before its own: usually a few microseconds.
constexpr int kSpinsBeforeSleep = 4096;

// A group's Done once a worker failed: nobody waits for the others any more.
constexpr std::uint64_t kAbandoned = UINT64_MAX;

// The crossing primes come in two kinds. The smaller ones hit every
// segment: each worker keeps its own positions for them and moves them past
// the segments the others took without a division. The larger ones (from
// about s / 6) hit a segment only now and then and wait in buckets for the
// segment with their next multiple; carrying those through every skipped
// segment would cost each worker nearly what crossing all the segments
// costs. So all workers share them, split into a few groups that each cross
// the segments strictly in order: a worker crosses a group as soon as the
// segment before its own is done with it, and its smaller primes while
// waiting. The next worker trails by at most one group, and since each
// group takes a small share of a segment's work, many workers can follow
// each other closely.
constexpr std::uint32_t kMinWaitingGroups = 8;
constexpr std::uint32_t kMaxWaitingGroups = 2 * kMaxWorkerThreads;

std::uint32_t WaitingGroupsFor(std::int32_t threads) {
  return std::clamp<std::uint32_t>(2 * static_cast<std::uint32_t>(std::max(threads, 0)),
                                   kMinWaitingGroups, kMaxWaitingGroups);
}

// The waiting worker polls Done while the holder works on Primes: each on
// a cache line of its own, so that the polling does not slow the holder.
constexpr std::size_t kCacheLine = 64;

struct alignas(kCacheLine) TWaitingGroup {
  TCrossingSet Primes;  // used by one worker at a time
  // The last segment this group has crossed (segment 0 is the base range),
  // or kAbandoned.
  alignas(kCacheLine) std::atomic<std::uint64_t> Done{0};
  char Padding[kCacheLine - sizeof(std::atomic<std::uint64_t>)];
};

struct TParallelContext {
  std::uint64_t RunId;
  std::uint64_t S;
  std::uint64_t N;
  const TPrimeFound* Primes;  // read only
  const TPresieve* Presieve;
  TPrimeRecord* Record;
  bool NoCount;
  TWaitingGroup* Waiting;
  std::uint32_t Groups;
  std::atomic<bool> OutOfMemory{false};
  std::atomic<std::uint32_t> Workers{0};  // numbers the workers
};

// What one worker keeps from segment to segment: its private table and the
// positions of the smaller primes, so that a worker whose next segment
// follows closely needs no division per prime.
struct TWorkerState {
  std::uint64_t RunId = 0;
  TPrimeCheck Table;
  TCrossingSet Visited;
  std::uint64_t NextSegment = 0;  // the segment Visited is positioned at
  bool Positioned = false;
  std::uint32_t Number = 0;  // among the workers of the run, from 0
};

std::atomic<std::uint64_t> gNextRunId{1};
std::atomic<std::uint64_t> gFailingSegment{0};
thread_local TWorkerState tWorker;

TWorkerState& WorkerFor(TParallelContext& context) {
  TWorkerState& state = tWorker;
  if (state.RunId != context.RunId) {
    state.RunId = 0;
    state.Table.clear();
    state.Table.shrink_to_fit();
    state.Table.resize(context.S + 1);
    state.Visited = TCrossingSet(*context.Primes, context.Presieve->Largest(), context.S,
                                 TCrossingSet::TKinds::VisitedOnly);
    state.Positioned = false;
    state.Number = context.Workers.fetch_add(1, std::memory_order_relaxed);
    state.RunId = context.RunId;
  }
  return state;
}

void PauseBriefly() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

bool ReadyFor(const TWaitingGroup& group, std::uint64_t k) {
  const std::uint64_t done = group.Done.load(std::memory_order_acquire);
  return done != kAbandoned && done + 1 == k;
}

// Waits until segment k may cross the group; false once the run was
// abandoned.
bool Await(TWaitingGroup& group, std::uint64_t k) {
  for (int spin = 0; spin < kSpinsBeforeSleep; ++spin) {
    if (ReadyFor(group, k)) return true;
    if (group.Done.load(std::memory_order_relaxed) == kAbandoned) return false;
    PauseBriefly();
  }
  for (;;) {
    const std::uint64_t done = group.Done.load(std::memory_order_acquire);
    if (done == kAbandoned) return false;
    if (done + 1 == k) return true;
    group.Done.wait(done, std::memory_order_acquire);
  }
}

void CrossGroup(TWaitingGroup& group, std::uint8_t* table, std::size_t length,
                std::uint64_t k, std::uint32_t worker) {
  group.Primes.Cross(table, length, 0, worker);
  group.Done.store(k, std::memory_order_release);
  group.Done.notify_all();
}

// Releases the workers waiting for a segment that will never be crossed.
void Abandon(TParallelContext& context) {
  for (std::uint32_t g = 0; g < context.Groups; ++g) {
    context.Waiting[g].Done.store(kAbandoned, std::memory_order_release);
    context.Waiting[g].Done.notify_all();
  }
}

void CrossVisited(TWorkerState& state, std::uint8_t* table, std::size_t length,
                  std::uint64_t k, std::uint64_t low, std::uint64_t s) {
  std::uint64_t skip = 0;
  if (state.Positioned && k >= state.NextSegment && k - state.NextSegment <= kMaxSteppedSkip) {
    skip = k - state.NextSegment;
  } else {
    state.Visited.StartAt(low);
  }
  state.Visited.Cross(table, length, skip);
  state.NextSegment = k + 1;
  state.Positioned = length == s;  // a short last segment spends the positions
}

void SieveOneSegment(TParallelContext& context, std::uint64_t k) {
  if (k == gFailingSegment.load(std::memory_order_relaxed)) throw std::bad_alloc();
  const std::uint64_t low = k * context.S + 1;
  if (low > context.N) return;
  const std::uint64_t high = std::min(context.N, (k + 1) * context.S);
  const std::size_t length = static_cast<std::size_t>(high - low + 1);
  TWorkerState& state = WorkerFor(context);
  std::uint8_t* t = state.Table.data();
  context.Presieve->Fill(t, low, length);
  // Hand the shared groups on as early as possible.
  bool crossed[kMaxWaitingGroups] = {};
  for (std::uint32_t g = 0; g < context.Groups; ++g) {
    if (!ReadyFor(context.Waiting[g], k)) break;  // the next ones are not ready either
    CrossGroup(context.Waiting[g], t, length, k, state.Number);
    crossed[g] = true;
  }
  CrossVisited(state, t, length, k, low, context.S);
  for (std::uint32_t g = 0; g < context.Groups; ++g) {
    if (crossed[g]) continue;
    if (!Await(context.Waiting[g], k)) return;
    CrossGroup(context.Waiting[g], t, length, k, state.Number);
  }

  const std::size_t last = FindLastOne(t, length);
  if (last == length) return;
  RaiseHighest(*context.Record, low + last);
  if (!context.NoCount) AddCount(*context.Record, CountOnes(t, last + 1));
}

void SieveCountedSegment(TParallelContext& context, std::uint64_t k) {
  SieveOneSegment(context, k);
  AddProgress(1);
}

void SegmentTask(std::int64_t index, void* data) {
  auto& context = *static_cast<TParallelContext*>(data);
  if (context.OutOfMemory.load(std::memory_order_relaxed)) return;
  try {
    SieveCountedSegment(context, static_cast<std::uint64_t>(index));
  } catch (const std::bad_alloc&) {
    tWorker.RunId = 0;
    context.OutOfMemory.store(true);
    Abandon(context);
  } catch (...) {
    Abandon(context);
    throw;
  }
}

}  // namespace

void SetSegmentFailureForTest(std::uint64_t segment) { gFailingSegment.store(segment); }

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

  const std::int32_t threads = std::clamp(threadCount, 0, kMaxWorkerThreads);
  const std::uint32_t groups = WaitingGroupsFor(threads);
  std::vector<TWaitingGroup> waiting(groups);
  for (std::uint32_t g = 0; g < groups; ++g) {
    waiting[g].Primes = TCrossingSet(primes, presieve.Largest(), sizes.Size,
                                     TCrossingSet::TKinds::WaitingOnly, g, groups);
    waiting[g].Primes.StartAt(sizes.FirstLow);
  }
  TParallelContext context{gNextRunId.fetch_add(1), sizes.Size, n, &primes, &presieve, &record,
                           RunOptions.NoCount, waiting.data(), groups};
  TSearchProgress progress(SegmentCount(n, sizes.Size));
  RunWorkers(0, static_cast<std::int64_t>(lastIndex), SegmentTask, &context, threads);
  progress.Stop();
  if (context.OutOfMemory.load()) throw std::bad_alloc();

  if (!RunOptions.Benchmark) EndPrimeList();
  endTime = Now();
  if (!RunOptions.Benchmark) ReportResults(n, record);
}

}  // namespace tamsel
