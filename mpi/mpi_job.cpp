#include "mpi/mpi_job.h"

#include <chrono>
#include <exception>
#include <thread>

#include "driver/base/run_state.h"
#include "engines/parallel_sieve.h"
#include "mpi/mpi_run_source.h"

namespace tamsel {

namespace {

constexpr int kRoot = 0;

// What rank 0 tells the others: end, or join a search.
enum : std::uint64_t { kEnd = 0, kSearch = 1 };
struct TCommand {
  std::uint64_t Kind = kEnd;
  std::uint64_t N = 0;
  std::uint64_t Threads = 0;
  std::uint64_t NoCount = 0;
};
constexpr int kCommandWords = sizeof(TCommand) / sizeof(std::uint64_t);

// The other ranks wait for commands with a nonblocking broadcast, which only
// a nonblocking broadcast matches.
void BroadcastCommand(TCommand& command, MPI_Comm comm) {
  MPI_Request request = MPI_REQUEST_NULL;
  MPI_Ibcast(&command, kCommandWords, MPI_UINT64_T, kRoot, comm, &request);
  WaitIdly(request);
}

}  // namespace

// Short naps at first, so that a search that follows at once starts at once;
// then longer ones, so that a rank waiting through rank 0's other work (a
// one-thread benchmark pass, a key wait) takes almost no processor time.
void WaitIdly(MPI_Request& request) {
  auto nap = std::chrono::microseconds(20);
  constexpr auto kLongestNap = std::chrono::milliseconds(5);
  int done = 0;
  MPI_Test(&request, &done, MPI_STATUS_IGNORE);
  while (!done) {
    std::this_thread::sleep_for(nap);
    nap = std::min<std::chrono::microseconds>(nap * 2, kLongestNap);
    MPI_Test(&request, &done, MPI_STATUS_IGNORE);
  }
}

TMpiJob::TMpiJob(MPI_Comm comm) : comm_(comm) {
  MPI_Comm_rank(comm_, &rank_);
  MPI_Comm_size(comm_, &size_);
}

// Every rank runs as many workers as rank 0.
std::int32_t TMpiJob::Workers(std::int32_t threads) const { return threads * size_; }

std::unique_ptr<TRunSource> TMpiJob::Start(std::uint64_t n, std::int32_t threads, bool noCount,
                                           const TRunPlan& plan) {
  if (rank_ == kRoot) {
    TCommand command{kSearch, n, static_cast<std::uint64_t>(threads), noCount ? 1u : 0u};
    BroadcastCommand(command, comm_);
  }
  return std::make_unique<TMpiRunSource>(comm_, plan);
}

void TMpiJob::ServeSearches() {
  TPrimeCheck table;
  TPrimeRecord record;
  for (;;) {
    TCommand command;
    BroadcastCommand(command, comm_);
    if (command.Kind != kSearch) return;
    RunOptions.NoCount = command.NoCount != 0;
    try {
      SearchInParallel(table, record, command.N, static_cast<std::int32_t>(command.Threads));
    } catch (...) {
      // Rank 0 has learnt of the failure in the search's last step and
      // reports it; this rank stays ready for what comes next.
    }
    table = TPrimeCheck();
  }
}

void TMpiJob::EndSearches() {
  if (rank_ != kRoot) return;
  TCommand command;
  BroadcastCommand(command, comm_);
}

}  // namespace tamsel
