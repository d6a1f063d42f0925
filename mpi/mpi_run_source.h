// One search's run counter for a whole MPI job: two 64-bit words in a
// window on rank 0, the last run handed out and the segments finished on
// the other ranks. A worker's only message per run is one trip to rank 0
// that reports the run it finished and takes the next one.
//
// The calls of one rank are made one at a time (MPI_THREAD_SERIALIZED):
// as fast as letting every thread call at will (measured), and the only
// level at which Open MPI's window over plain TCP works at all.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include <mpi.h>

#include "engines/search_job.h"

namespace tamsel {

class TMpiRunSource final : public TRunSource {
 public:
  // Collective: every rank of comm constructs its source for the search;
  // the plan of rank 0 is the job's.
  TMpiRunSource(MPI_Comm comm, const TRunPlan& plan);
  ~TMpiRunSource() override;

  bool Take(std::uint64_t& run) override;
  void Stop() override;
  bool Finish(TPrimeRecord& record, std::uint64_t basePrimes, bool failedHere) override;

 private:
  void ShowProgressOfOthers(std::uint64_t segments);
  void StopServing();

  MPI_Comm comm_;
  int rank_ = 0;
  std::mutex calls_;  // one MPI call of this rank at a time
  MPI_Win window_ = MPI_WIN_NULL;
  std::uint64_t* words_ = nullptr;
  std::atomic<std::uint64_t> othersShown_{0};  // rank 0: the other ranks' segments shown
  // Rank 0: transports without remote atomics (TCP) serve the other ranks'
  // trips only while rank 0 is inside an MPI call, and its workers may
  // sieve for minutes between calls; this thread enters one every
  // millisecond until the search ends.
  std::thread server_;
  std::atomic<bool> serving_{false};
};

}  // namespace tamsel
