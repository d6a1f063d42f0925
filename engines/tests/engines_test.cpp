#include <algorithm>
#include <new>
#include <random>
#include <vector>

#include "engines/tests/engine_test_support.h"
#include "engines/parallel_sieve_testing.h"

namespace tamsel::test {
namespace {

// Reference primes from a plain sieve.
std::vector<std::uint64_t> PlainPrimes(std::uint64_t limit) {
  std::vector<bool> composite(limit + 1);
  std::vector<std::uint64_t> primes;
  for (std::uint64_t i = 2; i <= limit; ++i) {
    if (composite[i]) continue;
    primes.push_back(i);
    for (std::uint64_t m = i * i; m <= limit; m += i) composite[m] = true;
  }
  return primes;
}

using KnownCount = EngineTest;

TEST_F(KnownCount, PowersOfTenOnEveryEngine) {
  const struct {
    std::uint64_t n, count, highest;
  } known[] = {{10, 4, 7},
               {100, 25, 97},
               {1000, 168, 997},
               {10000, 1229, 9973},
               {100000, 9592, 99991},
               {1000000, 78498, 999983},
               {10000000, 664579, 9999991},
               {100000000, 5761455, 99999989},
               {1000000000, 50847534, 999999937}};
  for (const auto& k : known) {
    for (const TEngine engine :
         {TEngine::Simple, TEngine::Segmented, TEngine::Plus, TEngine::Parallel}) {
      const TFound found = RunEngine(engine, k.n);
      EXPECT_EQ(found.Count, k.count) << "n=" << k.n << " engine=" << static_cast<int>(engine);
      EXPECT_EQ(found.Highest, k.highest) << "n=" << k.n << " engine=" << static_cast<int>(engine);
    }
  }
}

TEST_F(KnownCount, SmallLimitsAndTheSimpleSegmentedSwitch) {
  const struct {
    std::uint64_t n, count, highest;
  } known[] = {{2, 1, 2},       {3, 2, 3},       {4, 2, 3},          {27, 9, 23},
               {121, 30, 113},  {20000, 2262, 19997}, {20001, 2262, 19997}};
  for (const auto& k : known) {
    for (const TEngine engine :
         {TEngine::Simple, TEngine::Segmented, TEngine::Plus, TEngine::Parallel}) {
      const TFound found = RunEngine(engine, k.n, 4);
      EXPECT_EQ(found.Count, k.count) << "n=" << k.n << " engine=" << static_cast<int>(engine);
      EXPECT_EQ(found.Highest, k.highest) << "n=" << k.n << " engine=" << static_cast<int>(engine);
    }
  }
}

TEST_F(KnownCount, MethodLabels) {
  EXPECT_EQ(RunEngine(TEngine::Segmented, 1000).Method, "Segmented");
  EXPECT_EQ(RunEngine(TEngine::Plus, 1000).Method, "Plus");
  EXPECT_EQ(RunEngine(TEngine::Parallel, 1000).Method, "Parallel");
}

using CrossEngine = EngineTest;

// Every limit up to 3,000 covers all the small shapes: perfect squares,
// short last segments, segments without primes, s below the presieved primes.
TEST_F(CrossEngine, EveryLimitUpTo3000MatchesPlainSieve) {
  const std::vector<std::uint64_t> primes = PlainPrimes(3000);
  for (std::uint64_t n = 2; n <= 3000; ++n) {
    const auto end = std::upper_bound(primes.begin(), primes.end(), n);
    const TFound expected{static_cast<std::uint64_t>(end - primes.begin()), *(end - 1), ""};
    for (const TEngine engine :
         {TEngine::Simple, TEngine::Segmented, TEngine::Plus, TEngine::Parallel}) {
      TFound found = RunEngine(engine, n, 3);
      found.Method.clear();
      ASSERT_EQ(found, expected) << "n=" << n << " engine=" << static_cast<int>(engine);
    }
  }
}

// Squares of primes and their neighbours put a composite or a prime on a
// segment's very edge.
TEST_F(CrossEngine, LimitsAroundPrimeSquaresAndRandomLimits) {
  std::vector<std::uint64_t> limits;
  for (const std::uint64_t p : {17ULL, 101ULL, 997ULL, 7919ULL}) {
    for (const std::uint64_t d : {0ULL, 1ULL, 2ULL}) {
      limits.push_back(p * p - d);
      limits.push_back(p * p + d);
    }
  }
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 40; ++i) limits.push_back(20000 + random() % 30000000);
  for (const std::uint64_t n : limits) {
    const TFound simple = RunEngine(TEngine::Simple, n);
    for (const TEngine engine : {TEngine::Segmented, TEngine::Plus, TEngine::Parallel}) {
      const TFound found = RunEngine(engine, n, 2);
      EXPECT_EQ(found.Count, simple.Count) << "n=" << n << " engine=" << static_cast<int>(engine);
      EXPECT_EQ(found.Highest, simple.Highest) << "n=" << n;
    }
  }
}

TEST_F(CrossEngine, ParallelResultDoesNotDependOnThreadCount) {
  for (const std::uint64_t n : {2ULL, 100ULL, 110ULL, 115ULL, 1000ULL, 999999ULL, 12345678ULL}) {
    const TFound plus = RunEngine(TEngine::Plus, n);
    for (const std::int32_t threads : {1, 2, 3, 64, 100}) {
      const TFound parallel = RunEngine(TEngine::Parallel, n, threads);
      EXPECT_EQ(parallel.Count, plus.Count) << "n=" << n << " threads=" << threads;
      EXPECT_EQ(parallel.Highest, plus.Highest) << "n=" << n << " threads=" << threads;
    }
  }
}

// Workers draw runs of consecutive segments: runs of one and two segments,
// a last run holding only the short last segment, a single run for all,
// and more threads than runs must all find what Plus finds.
TEST_F(CrossEngine, ParallelResultDoesNotDependOnTheRuns) {
  for (const std::uint64_t n : {1000ULL, 999999ULL, 12345678ULL}) {
    const TFound plus = RunEngine(TEngine::Plus, n);
    const std::uint64_t last = PlanRuns(n, 2).LastSegment;
    for (const std::uint64_t length : {std::uint64_t{1}, std::uint64_t{2}, last - 1, last / 3, last}) {
      SetRunLengthForTest(length);
      for (const std::int32_t threads : {1, 3, 64}) {
        const TFound parallel = RunEngine(TEngine::Parallel, n, threads);
        EXPECT_EQ(parallel.Count, plus.Count) << "n=" << n << " run " << length << " threads " << threads;
        EXPECT_EQ(parallel.Highest, plus.Highest) << "n=" << n << " run " << length;
      }
    }
  }
  SetRunLengthForTest(0);
}

// The runs cover every segment up to n, also where the rounded square root
// leaves the last segment short of n near 2^64, without overflowing.
TEST_F(CrossEngine, RunsCoverTheRangeUpToTheLargestLimits) {
  for (const std::uint64_t n : {std::uint64_t{2}, std::uint64_t{27}, std::uint64_t{1000000}, MaxLimit, UINT64_MAX}) {
    for (const std::int32_t threads : {1, 2, 64}) {
      const TRunPlan plan = PlanRuns(n, threads);
      const std::uint64_t s = SegmentSizes(n).Size;
      EXPECT_GE(plan.LastSegment, (n - 1) / s) << n;  // the segment holding n
      EXPECT_GE(plan.Runs * plan.RunLength, plan.LastSegment) << n;
      EXPECT_LT((plan.Runs - 1) * plan.RunLength, plan.LastSegment) << n;
    }
  }
}

using NoCountRun = EngineTest;

// A worker that runs out of memory stops the hand-out, and the run reports
// the shortage once every worker has ended.
TEST_F(CrossEngine, FailingWorkerEndsTheRunWithoutHanging) {
  for (const std::uint64_t segment : {1ULL, 5ULL, 999ULL}) {
    for (const std::int32_t threads : {1, 2, 3, 64}) {
      SetSegmentFailureForTest(segment);
      EXPECT_THROW(RunEngine(TEngine::Parallel, 1000000, threads), std::bad_alloc)
          << "segment " << segment << " threads " << threads;
    }
  }
  SetSegmentFailureForTest(0);
  EXPECT_EQ(RunEngine(TEngine::Parallel, 1000000, 2), (TFound{78498, 999983, "Parallel"}));
}

TEST_F(NoCountRun, CountHoldsOnlyBasePrimesButHighestIsFound) {
  RunOptions.NoCount = true;
  // s = 31 for 1,000: the 11 primes up to 31 are counted while collecting.
  EXPECT_EQ(RunEngine(TEngine::Segmented, 1000), (TFound{11, 997, "Segmented"}));
  EXPECT_EQ(RunEngine(TEngine::Plus, 1000), (TFound{11, 997, "Plus"}));
  EXPECT_EQ(RunEngine(TEngine::Parallel, 1000, 3), (TFound{11, 997, "Parallel"}));
  EXPECT_EQ(RunEngine(TEngine::Simple, 1000), (TFound{0, 997, "Simple"}));
}

TEST_F(NoCountRun, ReportHasNoTotalLine) {
  RunOptions.NoCount = true;
  RunEngine(TEngine::Plus, 1000);
  EXPECT_EQ(capture_.Out(),
            "\nSearch up to ....... 1,000 (0x3E8)\nHighest Prime ......   997 (0x3E5)\n");
}

}  // namespace
}  // namespace tamsel::test
