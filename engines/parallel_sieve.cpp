#include "engines/parallel_sieve.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "driver/base/run_state.h"
#include "engines/search_job.h"
#include "engines/search_progress.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"
#include "engines/threads/parallel_threads.h"
#include "engines/parallel_sieve_testing.h"

namespace tamsel {

namespace {

// What one worker keeps from run to run: its private crossing state, which
// holds its table.
struct TWorkerState {
  TSegmentSieve Sieve;
};

// The workers draw runs of consecutive segments, not single segments: a
// worker places every base prime once at the start of a run and then carries
// each prime's next multiple from segment to segment, exactly as the Plus
// engine does. No worker ever waits for another.
struct TParallelContext {
  std::uint64_t RunId;
  std::uint64_t S;
  std::uint64_t N;
  std::uint64_t LastSegment;
  std::uint64_t RunLength;
  const TSievingPrimes* Primes;  // read only
  TPrimeRecord* Record;
  bool NoCount;
  std::vector<TWorkerState>* Workers;  // one for each thread that may work
  TRunSource* Source;                  // hands the runs out
  std::atomic<std::size_t> Claimed{0};
  std::atomic<bool> OutOfMemory{false};
};

std::atomic<std::uint64_t> gNextRunId{1};
std::atomic<std::uint64_t> gFailingSegment{0};
std::atomic<std::uint64_t> gRunLength{0};

// Which worker state a thread took in which run. Plain data only: the
// MinGW runtime fails to destroy thread-local objects reliably when many
// threads end at once.
thread_local std::uint64_t tRunId = 0;
thread_local TWorkerState* tWorker = nullptr;

TWorkerState& WorkerFor(TParallelContext& context) {
  if (tRunId != context.RunId) {
    TWorkerState& state = (*context.Workers)[context.Claimed.fetch_add(1)];
    state.Sieve = TSegmentSieve(*context.Primes);
    tWorker = &state;
    tRunId = context.RunId;
  }
  return *tWorker;
}

// Enough runs that the threads stay balanced when some run slower than
// others, and runs long enough that placing the primes at a run's start
// (a division each) costs a small share of sieving the run: a placement
// costs about as much as sieving 100 / ln s numbers per prime, so runs
// of 4000 / ln s segments keep it near 2 percent.
constexpr std::uint64_t kRunsPerThread = 16;

std::uint64_t RunLengthFor(std::uint64_t segments, std::uint64_t s, std::int32_t threads) {
  const std::uint64_t forced = gRunLength.load();
  if (forced != 0) return forced;
  const auto shortest = static_cast<std::uint64_t>(4000 / std::log(std::max<double>(s, 3)));
  const std::uint64_t wanted = kRunsPerThread * static_cast<std::uint64_t>(std::max(threads, 1));
  return std::max({segments / wanted + (segments % wanted != 0 ? 1 : 0), shortest,
                   std::uint64_t{1}});
}

void SieveRun(TParallelContext& context, std::uint64_t run) {
  const std::uint64_t first = (run - 1) * context.RunLength + 1;
  const std::uint64_t last = std::min(context.LastSegment, first + context.RunLength - 1);
  TWorkerState& state = WorkerFor(context);
  if (first * context.S + 1 <= context.N) {
    state.Sieve.StartAt(first * context.S + 1, std::min(context.N, (last + 1) * context.S));
  }
  std::uint64_t highest = 0;
  std::uint64_t count = 0;
  std::uint64_t k = first;
  for (; k <= last; ++k) {
    if (k == gFailingSegment.load(std::memory_order_relaxed)) throw std::bad_alloc();
    const std::uint64_t low = k * context.S + 1;
    if (low > context.N) break;
    const std::uint64_t high = std::min(context.N, (k + 1) * context.S);
    state.Sieve.ForEachPiece(low, high, [&](const TSegmentBits& bits) {
      highest = std::max(highest, HighestSegmentPrime(bits));
      if (!context.NoCount) count += CountSegmentPrimes(bits);
    });
  }
  RaiseHighest(*context.Record, highest);
  if (!context.NoCount) AddCount(*context.Record, count);
  AddProgress(k - first);
}

// One worker: sieves the runs the job hands it until none is left.
void WorkerTask(std::int64_t /*slot*/, void* data) {
  auto& context = *static_cast<TParallelContext*>(data);
  std::uint64_t run = 0;
  while (!context.OutOfMemory.load(std::memory_order_relaxed) && context.Source->Take(run)) {
    try {
      SieveRun(context, run);
    } catch (const std::bad_alloc&) {
      if (tRunId == context.RunId) *tWorker = TWorkerState{};  // give the memory back early
      context.OutOfMemory.store(true);
      context.Source->Stop();
    }
  }
}

}  // namespace

void SetSegmentFailureForTest(std::uint64_t segment) { gFailingSegment.store(segment); }

void SetRunLengthForTest(std::uint64_t length) { gRunLength.store(length); }

TRunPlan PlanRuns(std::uint64_t n, std::int32_t threads) {
  const TSegmentSizes sizes = SegmentSizes(n);
  TRunPlan plan;
  // Near 2^64 the rounded square root can leave the last segment short of
  // n; sieve enough segments to cover it.
  plan.LastSegment = sizes.LastIndex;
  if (sizes.Size > 0) plan.LastSegment = std::max(plan.LastSegment, (n - 1) / sizes.Size);
  plan.RunLength = RunLengthFor(plan.LastSegment, sizes.Size, threads);
  plan.Runs = plan.LastSegment / plan.RunLength + (plan.LastSegment % plan.RunLength != 0 ? 1 : 0);
  return plan;
}

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

// The plan is made first and the job started before anything is allocated:
// in a job of several processes every one of them must reach the end of the
// search, so that a failure anywhere is known everywhere.
void SearchInParallel(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                      std::int32_t threadCount) {
  PrepareRecord(record);
  RunOptions.ShowPrimes = false;
  const TSegmentSizes sizes = SegmentSizes(n);
  const std::int32_t threads = std::clamp(threadCount, 0, kMaxWorkerThreads);
  TSearchJob& job = SearchJob();
  const std::unique_ptr<TRunSource> source =
      job.Start(n, threads, RunOptions.NoCount, PlanRuns(n, job.Workers(threads)));
  std::uint64_t basePrimes = 0;
  std::exception_ptr failure;
  // Kept until the job's results are in: other processes may still sieve.
  std::optional<TSearchProgress> progress;
  try {
    table = FreshSieveTable(sizes.Size);
    TPrimeFound primes;
    CollectPrimes(primes, record, table, "Parallel");
    basePrimes = record.Count;
    // Neither is read again (the kernel keeps the primes in a byte or four
    // each); each goes before the next takes room.
    TPrimeCheck().swap(table);
    const TPresieve presieve(sizes.Size, n / 30);
    const TSievingPrimes sieving(primes, presieve);
    TPrimeFound().swap(primes);

    const TRunPlan& plan = source->Plan();
    // Each thread that works takes one state; the calling thread works only
    // when no thread starts.
    std::vector<TWorkerState> workers(static_cast<std::size_t>(std::max(threads, 1)));
    TParallelContext context{gNextRunId.fetch_add(1), sizes.Size, n,       plan.LastSegment,
                             plan.RunLength,          &sieving,   &record,
                             RunOptions.NoCount,      &workers,   source.get()};
    progress.emplace(SegmentCount(n, sizes.Size));
    const auto slots = std::min<std::uint64_t>(static_cast<std::uint64_t>(threads), plan.Runs);
    RunWorkers(0, static_cast<std::int64_t>(slots), WorkerTask, &context, threads);
    if (context.OutOfMemory.load()) failure = std::make_exception_ptr(std::bad_alloc());
  } catch (...) {
    failure = std::current_exception();
    source->Stop();  // the other processes of a job need not go on
  }
  const bool succeeded = source->Finish(record, basePrimes, failure != nullptr);
  progress.reset();
  if (!succeeded) {
    if (failure) std::rethrow_exception(failure);
    throw std::bad_alloc();  // a worker of another process ran out of memory
  }
}

void ParallelSieve(TPrimeCheck& table, TPrimeRecord& record, TTimeStamp& endTime,
                   std::uint64_t n, std::int32_t threadCount) {
  SearchInParallel(table, record, n, threadCount);
  if (!RunOptions.Benchmark) EndPrimeList();
  endTime = Now();
  if (!RunOptions.Benchmark) ReportResults(n, record);
}

}  // namespace tamsel
