#include <string>

#include "core/console/text_helpers.h"
#include "engines/tests/engine_test_support.h"

namespace tamsel::test {
namespace {

const std::string kRule = std::string(75, '=') + "\n";

using ShownPrimes = EngineTest;

TEST_F(ShownPrimes, ListUpToTwentyInDecimalHexAndDebugHex) {
  RunOptions.ShowPrimes = true;
  RunEngine(TEngine::Simple, 20);
  EXPECT_EQ(capture_.Err(), "Prime Numbers: 2 3 5 7 11 13 17 19 \n" + kRule);
  capture_.Clear();
  RunOptions.Hexadecimal = true;
  RunEngine(TEngine::Simple, 20);
  EXPECT_EQ(capture_.Err(), "Prime Numbers: 2 3 5 7 B D 11 13 \n" + kRule);
  capture_.Clear();
  RunOptions.Debug = true;
  RunEngine(TEngine::Simple, 20);
  EXPECT_EQ(capture_.Err(), "Prime Numbers: 1=2 2=3 3=5 4=7 5=B 6=D 7=11 8=13 \n" + kRule);
}

// The segmented engines show the base primes and then the segment primes
// as one list, identical to the simple sieve's, in every notation.
TEST_F(ShownPrimes, SegmentedListsEqualTheSimpleList) {
  RunOptions.ShowPrimes = true;
  for (const bool hex : {false, true}) {
    for (const bool debug : {false, true}) {
      RunOptions.Hexadecimal = hex;
      RunOptions.Debug = debug;
      for (const std::uint64_t n : {2ULL, 3ULL, 27ULL, 100ULL, 1000ULL, 65537ULL}) {
        capture_.Clear();
        RunEngine(TEngine::Simple, n);
        const std::string simple = capture_.Err();
        capture_.Clear();
        RunEngine(TEngine::Segmented, n);
        EXPECT_EQ(capture_.Err(), simple) << "n=" << n;
        capture_.Clear();
        RunEngine(TEngine::Plus, n);
        EXPECT_EQ(capture_.Err(), simple) << "n=" << n;
      }
    }
  }
}

TEST_F(ShownPrimes, ParallelShowsNothingAndSwitchesTheOptionOff) {
  RunOptions.ShowPrimes = true;
  TPrimeRecord record;
  TPrimeCheck table;
  TTimeStamp end;
  ParallelSieve(table, record, end, 1000, 2);
  EXPECT_FALSE(RunOptions.ShowPrimes);
  EXPECT_EQ(capture_.Err(), "");
  EXPECT_EQ(record.Count, 168u);
}

TEST_F(ShownPrimes, NoCountShowsNoList) {
  RunOptions.ShowPrimes = true;
  RunOptions.NoCount = true;
  RunEngine(TEngine::Simple, 100);
  EXPECT_EQ(capture_.Err(), "Prime Numbers: \n" + kRule);
}

using ResultReport = EngineTest;

TEST_F(ResultReport, ThreeLinesAlignedUnderTheLimit) {
  TPrimeRecord record;
  record.Count = 168;
  record.Highest = 997;
  ReportResults(1000, record);
  EXPECT_EQ(capture_.Out(),
            "Search up to ....... 1,000 (0x3E8)\n"
            "Total Primes .......   168 (0xA8)\n"
            "Highest Prime ......   997 (0x3E5)\n");
}

TEST_F(ResultReport, ZeroShowsAsZeroInBothNotations) {
  ReportResults(1, TPrimeRecord{});
  EXPECT_EQ(capture_.Out(),
            "Search up to ....... 1 (0x1)\n"
            "Total Primes ....... 0 (0x0)\n"
            "Highest Prime ...... 0 (0x0)\n");
}

TEST_F(ResultReport, EmptyLineBeforeReportUnlessBannerOrDefaultUsed) {
  EndPrimeList();
  EXPECT_EQ(capture_.Out(), "\n");
  capture_.Clear();
  RunOptions.Banner = true;
  EndPrimeList();
  EXPECT_EQ(capture_.Out(), "");
  RunOptions.Banner = false;
  AssignExitCode(89);
  EndPrimeList();
  EXPECT_EQ(capture_.Out(), "");
  AssignExitCode(0);
}

TEST_F(ResultReport, BenchmarkSuppressesListEndAndReport) {
  RunOptions.Benchmark = true;
  RunOptions.ShowPrimes = true;
  const TFound found = RunEngine(TEngine::Plus, 30);
  EXPECT_EQ(found.Count, 10u);
  EXPECT_EQ(capture_.Out(), "");
  EXPECT_EQ(capture_.Err(), "Prime Numbers: 2 3 5 7 11 13 17 19 23 29 ");
}

using Collect = EngineTest;

TEST_F(Collect, CapacityFollowsThreeQuarterPowerAndGrowsBy2500) {
  TPrimeFound found;
  TPrimeRecord record;
  CollectPrimes(found, record, FreshSieveTable(1), "Plus");
  EXPECT_EQ(record.Capacity, 1u);
  EXPECT_EQ(record.Count, 0u);
  EXPECT_EQ(record.Highest, 0u);
  EXPECT_TRUE(found.empty());

  CollectPrimes(found, record, FreshSieveTable(1000), "Plus");
  EXPECT_EQ(record.Capacity, 177u);
  EXPECT_EQ(record.Count, 168u);
  EXPECT_EQ(found.size(), 168u);
  EXPECT_EQ(found.front(), 2u);
  EXPECT_EQ(found.back(), 997u);

  CollectPrimes(found, record, FreshSieveTable(10), "Plus");
  EXPECT_EQ(record.Capacity, 6u);  // 11^0.75 = 6.03
  EXPECT_EQ(found, (TPrimeFound{2, 3, 5, 7}));
}

TEST_F(Collect, GrowsInStepsWhenThePrimesOutnumberTheFirstGuess) {
  TPrimeFound found;
  TPrimeRecord record;
  // 10001^0.75 gives 1000 slots for 1,229 primes: one step of 2,500 more.
  CollectPrimes(found, record, FreshSieveTable(10000), "Plus");
  EXPECT_EQ(record.Capacity, 3500u);
  EXPECT_EQ(record.Count, 1229u);
  EXPECT_EQ(found.size(), 1229u);
  EXPECT_EQ(found[999], 7919u);   // the last prime of the first guess survives growth
  EXPECT_EQ(found[1000], 7927u);
  EXPECT_EQ(record.Highest, 9973u);
}

// The list takes its room once: a step past the room reserved would move it into twice as much (at 10^6, where
// the bound on the prime count lies 0.1 percent above it, the last step went past a bound of 78,581).
TEST_F(Collect, TakesItsRoomOnceForEveryStepThePrimesReach) {
  for (const std::uint64_t s : {10000u, 1000000u, 3000000u}) {
    TPrimeFound found;
    TPrimeRecord record;
    CollectPrimes(found, record, FreshSieveTable(s), "Plus");
    EXPECT_LE(found.capacity(), record.Capacity + 2500) << s;
  }
}

}  // namespace
}  // namespace tamsel::test
