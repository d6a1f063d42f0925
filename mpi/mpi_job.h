// The parallel search across the processes of an MPI launch. Rank 0 runs
// the program; every other rank only waits for the searches rank 0 starts
// in the parallel engine and joins them with its own workers. One counter
// in an MPI window on rank 0 hands the runs out to every worker of the job,
// and the counts and highest primes meet on rank 0 in one reduction each.
#pragma once
#include <cstdint>
#include <memory>

#include <mpi.h>

#include "engines/search_job.h"

namespace tamsel {

class TMpiJob final : public TSearchJob {
 public:
  explicit TMpiJob(MPI_Comm comm);

  int Rank() const { return rank_; }
  int Size() const { return size_; }

  std::int32_t Workers(std::int32_t threads) const override;
  std::unique_ptr<TRunSource> Start(std::uint64_t n, std::int32_t threads, bool noCount,
                                    const TRunPlan& plan) override;

  // Ranks other than 0: join every search rank 0 starts, until it ends.
  void ServeSearches();
  // Rank 0, when the program is done: lets the other ranks end.
  void EndSearches();

 private:
  MPI_Comm comm_;
  int rank_ = 0;
  int size_ = 1;
};

// Waits for a nonblocking MPI call without keeping a processor busy: a
// rank that waits must leave the processors to the ranks that still work.
void WaitIdly(MPI_Request& request);

}  // namespace tamsel
