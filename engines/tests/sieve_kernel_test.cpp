#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engines/segmented_sieve.h"
#include "engines/sieve_kernel.h"

namespace tamsel::test {
namespace {

TEST(WordScans, CountAndFindLastMatchAByteLoopAtEveryAlignment) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> buffer(4200);
  for (int round = 0; round < 200; ++round) {
    const int density = round % 5;  // from all zero to mostly ones
    for (auto& b : buffer) b = static_cast<std::uint8_t>(random() % 4 < static_cast<unsigned>(density) ? 1 : 0);
    const std::size_t start = random() % 16;
    const std::size_t count = round < 40 ? static_cast<std::size_t>(round) : random() % 4100;
    std::uint64_t ones = 0;
    std::size_t last = count;
    for (std::size_t i = 0; i < count; ++i) {
      ones += buffer[start + i];
      if (buffer[start + i] != 0) last = i;
    }
    ASSERT_EQ(CountOnes(buffer.data() + start, count), ones) << "round " << round;
    ASSERT_EQ(FindLastOne(buffer.data() + start, count), last) << "round " << round;
  }
}

TEST(WordScans, CountSurvivesMoreThan255WordsOfOnes) {
  const std::vector<std::uint8_t> ones(100003, 1);
  EXPECT_EQ(CountOnes(ones.data(), ones.size()), 100003u);
}

TEST(Presieve, PatternMarksExactlyTheMultiplesOfTheSmallPrimesAtAnyOffset) {
  for (const std::uint64_t maxPrime : {1ULL, 2ULL, 5ULL, 12ULL, 13ULL, 1000ULL}) {
    const TPresieve presieve(maxPrime);
    std::vector<std::uint64_t> used;
    for (const std::uint64_t p : {2ULL, 3ULL, 5ULL, 7ULL, 11ULL, 13ULL}) {
      if (p <= maxPrime) used.push_back(p);
    }
    EXPECT_EQ(presieve.Largest(), used.empty() ? 0 : used.back());
    for (const std::uint64_t first : {0ULL, 1ULL, 29999ULL, 30030ULL * 7 + 5, 18000000000000000000ULL}) {
      std::vector<std::uint8_t> table(70000);
      presieve.Fill(table.data(), first, table.size());
      for (std::size_t i = 0; i < table.size(); ++i) {
        bool candidate = true;
        for (const std::uint64_t p : used) candidate = candidate && (first + i) % p != 0;
        ASSERT_EQ(table[i], candidate ? 1 : 0) << "max " << maxPrime << " at " << first + i;
      }
    }
  }
}

// A worker that skips segments moves its primes on without a division; after
// the presieve, the block must come out as when positioned from scratch.
TEST(CrossingSet, SkippingBlocksEqualsStartingAfresh) {
  using TKinds = TCrossingSet::TKinds;
  const std::uint64_t s = 9973;  // an awkward stride
  const TPrimeFound primes = SmallPrimes(s);
  const TPresieve presieve(s);
  std::vector<std::uint8_t> stepped(s), fresh(s);
  for (std::uint64_t skip = 0; skip <= 9; ++skip) {
    TCrossingSet walker(primes, 13, s, TKinds::VisitedOnly);
    TCrossingSet direct(primes, 13, s, TKinds::VisitedOnly);
    std::uint64_t low = s + 1;
    walker.StartAt(low);
    walker.Cross(stepped.data(), s);  // segment 1
    low += (skip + 1) * s;
    presieve.Fill(stepped.data(), low, s);
    presieve.Fill(fresh.data(), low, s);
    walker.Cross(stepped.data(), s, skip);
    direct.StartAt(low);
    direct.Cross(fresh.data(), s);
    ASSERT_EQ(stepped, fresh) << "skip " << skip;
  }
}

// What crossing a block must leave: position i of the block starting at low
// is crossed exactly when low + i = p * m for a crossing prime p, with
// p * m >= p * p and m coprime to 30 (2, 3 and 5 are left to the presieve).
std::vector<std::uint8_t> ExpectedBlock(const TPrimeFound& crossing, std::uint64_t low,
                                        std::size_t length) {
  std::vector<std::uint8_t> block(length, 1);
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint64_t number = low + i;
    for (const std::uint64_t p : crossing) {
      if (p > number / p) break;  // p * p > number
      if (number % p != 0) continue;
      const std::uint64_t m = number / p;
      if (m % 2 != 0 && m % 3 != 0 && m % 5 != 0) block[i] = 0;
    }
  }
  return block;
}

TPrimeFound PrimesAbove13(const TPrimeFound& primes) {
  TPrimeFound above;
  for (const std::uint64_t p : primes) {
    if (p > 13) above.push_back(p);
  }
  return above;
}

// Crosses `blocks` consecutive blocks from low (the last one `lastLength`
// long) and compares each with the brute-force expectation.
void CheckConsecutiveBlocks(const TPrimeFound& primes, std::uint64_t stride, std::uint64_t low,
                            int blocks, std::size_t lastLength) {
  const TPrimeFound crossing = PrimesAbove13(primes);
  TCrossingSet set(primes, 13, stride);
  ASSERT_EQ(set.Size(), crossing.size());
  set.StartAt(low);
  constexpr std::size_t kGuard = 64;  // bytes after the block that must stay untouched
  for (int b = 0; b < blocks; ++b) {
    const std::size_t length = b + 1 == blocks ? lastLength : static_cast<std::size_t>(stride);
    std::vector<std::uint8_t> table(length + kGuard, 1);
    set.Cross(table.data(), length);
    std::vector<std::uint8_t> expected = ExpectedBlock(crossing, low, length);
    expected.resize(length + kGuard, 1);
    ASSERT_EQ(table, expected) << "stride " << stride << " block " << b << " at " << low;
    low += stride;
  }
}

// Strides that leave every kind of prime: those crossed in chunks, those with
// many or few hits per block, those waiting in buckets for a block with a
// hit, and primes above the stride.
TEST(CrossingSet, CrossesExactlyTheMultiplesWithCofactorsCoprimeTo30) {
  const TPrimeFound primes = SmallPrimes(3000);
  const struct {
    std::uint64_t stride, low;
    int blocks;
  } cases[] = {{1, 0, 40},          {7, 1, 30},           {30, 17 * 17 - 30, 30},
               {97, 0, 120},        {256, 1000003, 20},   {1000, 0, 12},
               {2999, 2999 + 1, 8}, {9973, 123456789, 5}, {20000, 9000000, 4},
               {40000, 0, 3},
               // 196 * (1.0 / 196) rounds below 1 in double precision: a
               // bucket's next block must not come out one short when a
               // multiple lands exactly on a block start (an odd one).
               {196, 1, 600}};
  for (const auto& c : cases) {
    CheckConsecutiveBlocks(primes, c.stride, c.low, c.blocks, c.stride);
    // A short last block.
    CheckConsecutiveBlocks(primes, c.stride, c.low, c.blocks, (c.stride + 1) / 2);
  }
}

// The last block of a search may have any length: multiples then lie just
// inside, on or just beyond its end.
TEST(CrossingSet, LastBlockOfEveryLength) {
  const TPrimeFound primes = SmallPrimes(300);
  for (const std::uint64_t stride : {60ULL, 299ULL}) {
    for (std::size_t last = 1; last <= stride; ++last) {
      CheckConsecutiveBlocks(primes, stride, 90001, 3, last);
    }
  }
}

// Squares of primes start their crossing; the first blocks of a segmented
// search hold many of them, above and below the bucket bounds.
TEST(CrossingSet, StartsEachPrimeAtItsSquare) {
  const TPrimeFound primes = SmallPrimes(997);
  CheckConsecutiveBlocks(primes, 997, 998, 200, 997);
  CheckConsecutiveBlocks(primes, 500, 0, 400, 123);
  for (const std::uint64_t p : {17ULL, 499ULL, 503ULL, 997ULL}) {
    for (const std::uint64_t shift : {0ULL, 1ULL, 250ULL}) {
      CheckConsecutiveBlocks(primes, 500, p * p - shift, 3, 500);
    }
  }
}

TEST(CrossingSet, HandlesNumbersNearTheTopOf64Bits) {
  const TPrimeFound primes = SmallPrimes(4999);
  const std::uint64_t top = 18446744073709551615ULL;
  // The last block ends at 2^64 - 1; multiples p * m beyond it overflow.
  CheckConsecutiveBlocks(primes, 4096, top - 3 * 4096 + 1, 3, 4096);
  CheckConsecutiveBlocks(primes, 4999, top - 4999 - 1000 + 1, 2, 1000);
}

// The largest strides, with primes close to them: the last block of a
// search near 2^64 (s = 2^32 - 1) holds the squares of the largest base
// primes.
TEST(CrossingSet, LargestStridesAndPrimes) {
  TPrimeFound primes = SmallPrimes(5000);
  for (const std::uint64_t p : {999999937ULL, 1000000007ULL, 2147483647ULL, 4294967279ULL,
                                4294967291ULL}) {
    primes.push_back(p);
  }
  const std::uint64_t top = 4294967291ULL * 4294967291ULL;
  for (const std::uint64_t stride : {1ULL << 30, 4294967295ULL}) {
    CheckConsecutiveBlocks(primes, stride, 1000000000000ULL, 1, 30000);
    CheckConsecutiveBlocks(primes, stride, top - 500, 1, 1000);
    CheckConsecutiveBlocks(primes, stride, 4294967279ULL * 4294967279ULL - 20, 1, 1000);
    CheckConsecutiveBlocks(primes, stride, 2147483647ULL * 2147483647ULL - 1000, 1, 3000);
  }
}

// Parallel workers skip irregular runs of segments: every run of skips must
// leave the set where starting afresh would.
TEST(CrossingSet, IrregularSkipsEqualStartingAfresh) {
  using TKinds = TCrossingSet::TKinds;
  for (const std::uint64_t s : {600ULL, 4999ULL, 31622ULL}) {
    const TPrimeFound primes = SmallPrimes(s);
    const TPresieve presieve(s);
    std::mt19937 random(static_cast<std::uint32_t>(s));
    TCrossingSet walker(primes, 13, s, TKinds::VisitedOnly);
    std::uint64_t low = s + 1;
    walker.StartAt(low);
    std::vector<std::uint8_t> stepped(s), fresh(s);
    for (int round = 0; round < 60; ++round) {
      const std::uint64_t skip = round < 10 ? static_cast<std::uint64_t>(round) : random() % 10;
      low += skip * s;
      presieve.Fill(stepped.data(), low, s);
      walker.Cross(stepped.data(), s, skip);
      TCrossingSet direct(primes, 13, s, TKinds::VisitedOnly);
      direct.StartAt(low);
      presieve.Fill(fresh.data(), low, s);
      direct.Cross(fresh.data(), s);
      ASSERT_EQ(stepped, fresh) << "s " << s << " round " << round << " skip " << skip;
      low += s;
    }
  }
}

// The parallel engine splits the crossing primes: each worker carries the
// smaller ones through the blocks it skips, and shared groups of the larger
// ones cross every block in order, whoever takes it. After the presieve the
// pieces must leave each block as one whole set does, also near 2^64 and for
// a short last block.
TEST(CrossingSet, WorkersAndSharedGroupsCrossLikeOneSet) {
  using TKinds = TCrossingSet::TKinds;
  for (const std::uint64_t s : {600ULL, 4999ULL, 31622ULL}) {
    for (const std::uint64_t firstLow : {s + 1, UINT64_MAX - 41 * s}) {
      const TPrimeFound primes = SmallPrimes(s);
      const TPresieve presieve(s);
      TCrossingSet whole(primes, presieve.Largest(), s);
      whole.StartAt(firstLow);
      constexpr std::uint32_t kGroups = 3;
      std::vector<TCrossingSet> groups;
      for (std::uint32_t g = 0; g < kGroups; ++g) {
        groups.emplace_back(primes, presieve.Largest(), s, TKinds::WaitingOnly, g, kGroups);
        groups.back().StartAt(firstLow);
      }
      struct TWorker {
        TCrossingSet Visited;
        std::uint64_t NextBlock = 0;
        bool Started = false;
      };
      std::vector<TWorker> workers(3);
      for (auto& worker : workers) {
        worker.Visited = TCrossingSet(primes, presieve.Largest(), s, TKinds::VisitedOnly);
      }
      std::mt19937 random(static_cast<std::uint32_t>(s));
      std::vector<std::uint8_t> expected(s), split(s);
      constexpr std::uint64_t kBlocks = 40;
      for (std::uint64_t b = 0; b < kBlocks; ++b) {
        const std::uint64_t low = firstLow + b * s;
        const std::size_t length = b + 1 == kBlocks ? s / 3 : s;
        presieve.Fill(expected.data(), low, length);
        whole.Cross(expected.data(), length);

        // Mostly taking turns, sometimes one worker twice in a row.
        const std::size_t w = random() % 4 == 0 ? random() % workers.size() : b % 2;
        TWorker& worker = workers[w];
        std::uint64_t skip = 0;
        if (worker.Started) {
          skip = b - worker.NextBlock;
        } else {
          worker.Visited.StartAt(low);
          worker.Started = true;
        }
        presieve.Fill(split.data(), low, length);
        worker.Visited.Cross(split.data(), length, skip);
        worker.NextBlock = b + 1;
        for (auto& group : groups) group.Cross(split.data(), length, 0, static_cast<std::uint32_t>(w));
        ASSERT_TRUE(std::equal(split.begin(), split.begin() + length, expected.begin()))
            << "s " << s << " block " << b << " at " << low << " worker " << w;
      }
    }
  }
}

TEST(SegmentSizesTest, SquaresRoundingAndHugeLimits) {
  const struct {
    std::uint64_t n, s, last;
  } cases[] = {{2, 1, 1},     {3, 1, 2},      {27, 5, 5},    {100, 10, 9},
               {110, 10, 10}, {115, 10, 11},  {1000, 31, 32}, {1000000000000000000ULL, 1000000000, 999999999}};
  for (const auto& c : cases) {
    const TSegmentSizes sizes = SegmentSizes(c.n);
    EXPECT_EQ(sizes.Size, c.s) << c.n;
    EXPECT_EQ(sizes.FirstLow, c.s + 1) << c.n;
    EXPECT_EQ(sizes.FirstHigh, 2 * c.s) << c.n;
    EXPECT_EQ(sizes.LastIndex, c.last) << c.n;
  }
  // Above 2^53 the root is taken of the limit rounded to a double: 2^64 - 1
  // rounds to 2^64, whose root 2^32 is exact.
  const TSegmentSizes top = SegmentSizes(18446744073709551615ULL);
  EXPECT_EQ(top.Size, 4294967296ULL);
  EXPECT_EQ(top.LastIndex, 4294967295ULL);
  // (2^32 - 1)^2 + 1 is not a square but rounds to a double whose root is
  // 2^32 - 1 exactly.
  const std::uint64_t nearSquare = 18446744065119617025ULL + 1;
  EXPECT_EQ(SegmentSizes(nearSquare).Size, 4294967295ULL);
}

}  // namespace
}  // namespace tamsel::test
