// Where the parallel engine's workers draw their runs and where their
// results meet. tamsel searches in this process alone; tamsel-mpi installs a
// job that spans every process of an MPI launch, so that one counter hands
// the runs out to the workers of all machines and the counts and highest
// primes meet on the first process.
#pragma once
#include <cstdint>
#include <memory>

#include "engines/parallel_sieve.h"
#include "engines/prime_records.h"

namespace tamsel {

// The hand-out and the meeting of the results of one search.
class TRunSource {
 public:
  explicit TRunSource(const TRunPlan& plan) : plan_(plan) {}
  virtual ~TRunSource() = default;
  TRunSource(const TRunSource&) = delete;
  TRunSource& operator=(const TRunSource&) = delete;

  // The plan every worker of the job follows.
  const TRunPlan& Plan() const { return plan_; }

  // Any worker thread: run holds the run the worker has just finished (0 at
  // its first call), for the job's progress, and becomes the next run to
  // sieve (1 to Plan().Runs); false when none is left.
  virtual bool Take(std::uint64_t& run) = 0;

  // The segments of a run, the last run possibly short.
  std::uint64_t SegmentsOf(std::uint64_t run) const;

  // Any worker thread: nothing more is handed out, anywhere in the job.
  virtual void Stop() = 0;

  // Main thread, once every worker of this process has ended: combines the
  // record's count and highest prime across the job (basePrimes, counted by
  // every process, count once). Returns false when a worker failed anywhere
  // in the job, failedHere telling whether one failed in this process; the
  // record is then not to be reported.
  virtual bool Finish(TPrimeRecord& record, std::uint64_t basePrimes, bool failedHere) = 0;

 protected:
  TRunPlan plan_;
};

class TSearchJob {
 public:
  virtual ~TSearchJob() = default;

  // The workers of the whole job when each process runs `threads`.
  virtual std::int32_t Workers(std::int32_t threads) const = 0;

  // Main thread: starts one search up to n with `threads` workers in each
  // process, planned as `plan` (made for Workers(threads) workers).
  virtual std::unique_ptr<TRunSource> Start(std::uint64_t n, std::int32_t threads, bool noCount,
                                            const TRunPlan& plan) = 0;
};

// The job searches run in: this process alone unless another was installed.
TSearchJob& SearchJob();
// nullptr goes back to this process alone.
void SetSearchJob(TSearchJob* job);

}  // namespace tamsel
