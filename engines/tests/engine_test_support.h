// Shared set-up for the engine tests: a clean run state and small runners
// that return what an engine found.
#pragma once
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "driver/base/run_state.h"
#include "engines/parallel_sieve.h"
#include "engines/prime_records.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"
#include "core/console/channels_testing.h"

namespace tamsel::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunOptions = TRunOptions{};
    AssignExitCode(0);
  }
  void TearDown() override { RunOptions = TRunOptions{}; }
  TChannelCapture capture_;
};

enum class TEngine { Simple, Segmented, Plus, Parallel };

struct TFound {
  std::uint64_t Count = 0;
  std::uint64_t Highest = 0;
  std::string Method;
  bool operator==(const TFound&) const = default;
};

inline TFound RunEngine(TEngine engine, std::uint64_t n, std::int32_t threads = 2) {
  TPrimeRecord record;
  TPrimeCheck table;
  TTimeStamp end;
  switch (engine) {
    case TEngine::Simple:
      SieveTable(table, n, end);
      record.Method = "Simple";
      CountPrimes(table, record);
      break;
    case TEngine::Segmented:
      SegmentedSieve(table, record, n, end);
      break;
    case TEngine::Plus:
      SegmentedSievePlus(table, record, n, end);
      break;
    case TEngine::Parallel: {
      const bool show = RunOptions.ShowPrimes;
      ParallelSieve(table, record, end, n, threads);
      RunOptions.ShowPrimes = show;  // the engine turns it off for the run
      break;
    }
  }
  return {record.Count, record.Highest, record.Method};
}

}  // namespace tamsel::test
