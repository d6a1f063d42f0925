#include "mpi/mpi_run_source.h"

#include <algorithm>
#include <chrono>

#include "engines/search_progress.h"
#include "mpi/mpi_job.h"

namespace tamsel {

namespace {

constexpr int kRoot = 0;
constexpr MPI_Aint kLastRunWord = 0;      // the last run handed out
constexpr MPI_Aint kOthersDoneWord = 1;   // segments finished on ranks other than 0
constexpr int kWords = 2;

}  // namespace

TMpiRunSource::TMpiRunSource(MPI_Comm comm, const TRunPlan& plan)
    : TRunSource(plan), comm_(comm) {
  MPI_Comm_rank(comm_, &rank_);
  int size = 1;
  MPI_Comm_size(comm_, &size);
  // Every rank sieves the runs as rank 0 cut them, whatever its own
  // arithmetic would have made of the limit.
  std::uint64_t planWords[3] = {plan_.LastSegment, plan_.RunLength, plan_.Runs};
  MPI_Bcast(planWords, 3, MPI_UINT64_T, kRoot, comm_);
  plan_ = TRunPlan{planWords[0], planWords[1], planWords[2]};

  const MPI_Aint bytes = rank_ == kRoot ? kWords * sizeof(std::uint64_t) : 0;
  MPI_Win_allocate(bytes, sizeof(std::uint64_t), MPI_INFO_NULL, comm_, &words_, &window_);
  if (rank_ == kRoot) {
    // The window's own memory is written under an exclusive lock, and
    // nobody draws before the barrier.
    MPI_Win_lock(MPI_LOCK_EXCLUSIVE, kRoot, 0, window_);
    std::fill(words_, words_ + kWords, 0);
    MPI_Win_unlock(kRoot, window_);
  }
  MPI_Barrier(comm_);
  MPI_Win_lock_all(MPI_MODE_NOCHECK, window_);
  if (rank_ == kRoot && size > 1) {
    serving_.store(true);
    server_ = std::thread([this] {
      while (serving_.load()) {
        {
          const std::lock_guard<std::mutex> lock(calls_);
          int waiting = 0;
          MPI_Iprobe(MPI_ANY_SOURCE, MPI_ANY_TAG, comm_, &waiting, MPI_STATUS_IGNORE);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  }
}

TMpiRunSource::~TMpiRunSource() { StopServing(); }

void TMpiRunSource::StopServing() {
  serving_.store(false);
  if (server_.joinable()) server_.join();
}

bool TMpiRunSource::Take(std::uint64_t& run) {
  const std::uint64_t finished = SegmentsOf(run);
  const std::uint64_t one = 1;
  std::uint64_t lastRun = 0;
  std::uint64_t othersDone = 0;
  {
    const std::lock_guard<std::mutex> lock(calls_);
    if (rank_ != kRoot && finished > 0) {
      MPI_Accumulate(&finished, 1, MPI_UINT64_T, kRoot, kOthersDoneWord, 1, MPI_UINT64_T,
                     MPI_SUM, window_);
    }
    MPI_Fetch_and_op(&one, &lastRun, MPI_UINT64_T, kRoot, kLastRunWord, MPI_SUM, window_);
    if (rank_ == kRoot) {
      MPI_Fetch_and_op(nullptr, &othersDone, MPI_UINT64_T, kRoot, kOthersDoneWord, MPI_NO_OP,
                       window_);
    }
    MPI_Win_flush(kRoot, window_);
  }
  if (rank_ == kRoot) ShowProgressOfOthers(othersDone);
  run = lastRun + 1;
  return run <= plan_.Runs;
}

// The progress shown on rank 0 counts its own segments as it sieves them;
// the other ranks' segments are added as their reports arrive. Whichever
// worker sees a higher total adds the difference, so nothing counts twice.
void TMpiRunSource::ShowProgressOfOthers(std::uint64_t segments) {
  std::uint64_t shown = othersShown_.load(std::memory_order_relaxed);
  while (segments > shown && !othersShown_.compare_exchange_weak(shown, segments)) {
  }
  if (segments > shown) AddProgress(segments - shown);
}

void TMpiRunSource::Stop() {
  const std::uint64_t end = plan_.Runs;
  const std::lock_guard<std::mutex> lock(calls_);
  MPI_Accumulate(&end, 1, MPI_UINT64_T, kRoot, kLastRunWord, 1, MPI_UINT64_T, MPI_REPLACE,
                 window_);
  MPI_Win_flush(kRoot, window_);
}

// A rank that died never joins the reductions, so rank 0 never reports
// without it: the launcher ends the job instead. A rank whose worker failed
// joins them and says so.
bool TMpiRunSource::Finish(TPrimeRecord& record, std::uint64_t basePrimes, bool failedHere) {
  // From here on only this thread calls MPI, and its waits serve the trips.
  StopServing();
  MPI_Win_unlock_all(window_);
  MPI_Request arrived = MPI_REQUEST_NULL;
  MPI_Ibarrier(comm_, &arrived);
  WaitIdly(arrived);

  // Every rank counted the base primes; rank 0's count keeps them.
  const std::uint64_t ownCount =
      rank_ == kRoot ? record.Count : record.Count - std::min(record.Count, basePrimes);
  const std::uint64_t own[2] = {failedHere ? 0 : ownCount, failedHere ? 1u : 0u};
  std::uint64_t job[2] = {0, 0};
  MPI_Reduce(own, job, 2, MPI_UINT64_T, MPI_SUM, kRoot, comm_);
  const std::uint64_t ownHighest = failedHere ? 0 : record.Highest;
  std::uint64_t jobHighest = 0;
  MPI_Reduce(&ownHighest, &jobHighest, 1, MPI_UINT64_T, MPI_MAX, kRoot, comm_);
  MPI_Win_free(&window_);
  if (rank_ != kRoot) return !failedHere;
  record.Count = job[0];
  record.Highest = jobHighest;
  return job[1] == 0;
}

}  // namespace tamsel
