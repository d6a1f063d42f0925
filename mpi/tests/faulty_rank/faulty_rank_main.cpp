// Test aid: tamsel-mpi whose rank TAMSEL_FAULT_RANK fails at its second run
// of every search, as TAMSEL_FAULT says: "memory" (the worker runs out of
// memory) or "exit" (the process ends with exit code 3).
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "mpi/mpi_job.h"
#include "mpi/mpi_program.h"

namespace tamsel {
namespace {

bool gExit = false;

class TFaultySource final : public TRunSource {
 public:
  explicit TFaultySource(std::unique_ptr<TRunSource> inner)
      : TRunSource(inner->Plan()), inner_(std::move(inner)) {}
  bool Take(std::uint64_t& run) override {
    if (draws_.fetch_add(1) == 1) {
      if (gExit) std::_Exit(3);
      throw std::bad_alloc();
    }
    return inner_->Take(run);
  }
  void Stop() override { inner_->Stop(); }
  bool Finish(TPrimeRecord& record, std::uint64_t basePrimes, bool failedHere) override {
    return inner_->Finish(record, basePrimes, failedHere);
  }

 private:
  std::unique_ptr<TRunSource> inner_;
  std::atomic<int> draws_{0};
};

class TFaultyJob final : public TSearchJob {
 public:
  explicit TFaultyJob(TMpiJob& job) : job_(job) {}
  std::int32_t Workers(std::int32_t threads) const override { return job_.Workers(threads); }
  std::unique_ptr<TRunSource> Start(std::uint64_t n, std::int32_t threads, bool noCount,
                                    const TRunPlan& plan) override {
    return std::make_unique<TFaultySource>(job_.Start(n, threads, noCount, plan));
  }

 private:
  TMpiJob& job_;
};

TSearchJob* JobFor(TMpiJob& job) {
  const char* rank = std::getenv("TAMSEL_FAULT_RANK");
  const char* fault = std::getenv("TAMSEL_FAULT");
  if (rank == nullptr || fault == nullptr || std::atoi(rank) != job.Rank()) return &job;
  gExit = std::strcmp(fault, "exit") == 0;
  static TFaultyJob faulty(job);
  return &faulty;
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) { return tamsel::RunMpiProgram(argc, argv, tamsel::JobFor); }
