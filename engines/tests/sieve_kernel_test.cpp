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

// A worker that skips segments steps each prime's offset along; the result
// must equal positioning from scratch with a division.
TEST(CrossingSet, SkippingBlocksEqualsStartingAfresh) {
  const std::uint64_t s = 9973;  // an awkward stride
  const TPrimeFound primes = SmallPrimes(s);
  std::vector<std::uint8_t> stepped(s), fresh(s);
  for (std::uint64_t skip = 0; skip <= 9; ++skip) {
    TCrossingSet walker(primes, 13, s);
    TCrossingSet direct(primes, 13, s);
    std::uint64_t low = s + 1;
    walker.StartAt(low);
    walker.Cross(stepped.data(), s);  // segment 1
    low += (skip + 1) * s;
    std::fill(stepped.begin(), stepped.end(), 1);
    std::fill(fresh.begin(), fresh.end(), 1);
    walker.Cross(stepped.data(), s, skip);
    direct.StartAt(low);
    direct.Cross(fresh.data(), s);
    ASSERT_EQ(stepped, fresh) << "skip " << skip;
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
