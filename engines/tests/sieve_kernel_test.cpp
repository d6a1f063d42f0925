#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "driver/base/run_state.h"
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
    ASSERT_EQ(CountBits(buffer.data() + start, count), ones) << "round " << round;
    ASSERT_EQ(FindLastOne(buffer.data() + start, count), last) << "round " << round;
  }
}

TEST(WordScans, CountSurvivesMoreThan255WordsOfOnes) {
  const std::vector<std::uint8_t> ones(100003, 1);
  EXPECT_EQ(CountBits(ones.data(), ones.size()), 100003u);
}

// The numbers low..high that no prime of the list divides, nor 2, 3 or 5
// unless they are the number, found the slow way.
std::vector<std::uint64_t> Survivors(const TPrimeFound& primes, std::uint64_t low,
                                     std::uint64_t high) {
  std::vector<bool> crossed(high - low + 1, false);
  for (std::uint64_t p : primes) {
    for (std::uint64_t m = low + (p - low % p) % p; m >= low && m <= high; m += p) {
      crossed[m - low] = true;
    }
  }
  for (std::uint64_t p : {2, 3, 5}) {
    for (std::uint64_t m = std::max(2 * p, low + (p - low % p) % p); m >= low && m <= high; m += p) {
      crossed[m - low] = true;
    }
  }
  std::vector<std::uint64_t> survivors;
  for (std::uint64_t v = low; v <= high; ++v) {
    if (!crossed[v - low]) survivors.push_back(v);
  }
  return survivors;
}

// What the kernel leaves of low..high, read piece by piece as the engines do.
std::vector<std::uint64_t> Listed(TSegmentSieve& sieve, std::uint64_t low, std::uint64_t high,
                                  std::uint64_t* count = nullptr, std::uint64_t* highest = nullptr) {
  std::vector<std::uint64_t> listed;
  sieve.ForEachPiece(low, high, [&](const TSegmentBits& bits) {
    ForEachSegmentPrime(bits, [&](std::uint64_t p) { listed.push_back(p); });
    if (count != nullptr) *count += CountSegmentPrimes(bits);
    if (highest != nullptr && HighestSegmentPrime(bits) != 0) *highest = HighestSegmentPrime(bits);
  });
  return listed;
}

// Whole turns for primes as long as a block, for longer ones (reaching many
// blocks on), and for none above a piece: then they cross hit by hit.
constexpr std::uint64_t kTurnLimits[] = {TSievingPrimes::kWholeBlock, TSievingPrimes::kTurnBytes, 0};

// Sieves `count` segments of `step` numbers from segment `first` on, in one
// run, with all primes up to maxPrime (every segment above maxPrime, as in a
// search), the last one cut to `lastLength` numbers, and compares each with
// the slow way.
void CheckSegments(std::uint64_t blockBytes, std::uint64_t step, std::uint64_t maxPrime,
                   std::uint64_t first, int count, std::uint64_t lastLength,
                   const TPrimeFound& extra = {}) {
  TPrimeFound primes = SmallPrimes(maxPrime);
  primes.insert(primes.end(), extra.begin(), extra.end());
  const TPresieve presieve(maxPrime, step);
  TPrimeFound crossing;
  for (std::uint64_t p : primes) {
    if (p > 5) crossing.push_back(p);
  }
  const std::uint64_t runLow = first * step + 1;
  const std::uint64_t runHigh = runLow + (count - 1) * step + lastLength - 1;
  for (const std::uint64_t turnBytes : kTurnLimits) {
    const TSievingPrimes sieving(primes, presieve, blockBytes, turnBytes);
    TSegmentSieve sieve(sieving);
    sieve.StartAt(runLow, runHigh);
    for (std::uint64_t low = runLow; low <= runHigh; low += step) {
      const std::uint64_t high = std::min(runHigh, low + step - 1);
      std::uint64_t found = 0, highest = 0;
      const std::vector<std::uint64_t> expected = Survivors(crossing, low, high);
      ASSERT_EQ(Listed(sieve, low, high, &found, &highest), expected)
          << "block " << blockBytes << " step " << step << " segment " << low / step << " length "
          << high - low + 1 << " turn limit " << turnBytes;
      ASSERT_EQ(found, expected.size());
      ASSERT_EQ(highest, expected.empty() ? 0 : expected.back());
    }
  }
}

// Segments of every kind of crossing prime (turns inside a block or reaching
// several blocks on, waiting in buckets for one or two hits), squares of
// primes arriving in the first segments, every cut of the last segment for
// a small step; each in blocks of one byte (every prime waits), of a few
// bytes (block boundaries inside every segment), of 4 KiB (many segments in
// one block, segment boundaries inside blocks), and of 16 MiB (the whole
// run in one block, the last segment far shorter than it).
TEST(SegmentSieve, LeavesExactlyTheNumbersWithoutSmallFactors) {
  const struct {
    std::uint64_t step, first;
    int count;
  } cases[] = {{1, 1, 40},       {2, 1, 30},         {7, 1, 40},      {30, 1, 40},
               {31, 1, 40},      {61, 1, 60},        {97, 1, 120},    {196, 1, 300},
               {1000, 1, 40},    {2999, 1, 12},      {9973, 1, 5},    {9973, 12345, 5},
               {40000, 1, 3},    {31622, 31620, 2}};
  for (const std::uint64_t block : {1ULL, 8ULL, 4096ULL, 1ULL << 24}) {
    for (const auto& c : cases) {
      CheckSegments(block, c.step, c.step, c.first, c.count, c.step);
      CheckSegments(block, c.step, c.step, c.first, c.count, (c.step + 1) / 2);
    }
  }
  for (std::uint64_t last = 1; last <= 97; ++last) CheckSegments(2, 97, 97, 3, 3, last);
  // Primes crossing hit by hit skip the multiples of 7, which a presieve without 7 leaves.
  CheckSegments(1, 30, 5, 1, 40, 30, {7, 11, 13});
}

// Near the largest limit: segments of a large step with primes close to it,
// whose multiples jump the furthest, and the start of the last segment of
// the largest search, with the largest base primes.
TEST(SegmentSieve, HandlesTheTopOfTheRange) {
  for (const std::uint64_t block : {std::uint64_t{4096}, ChooseBlockBytes()}) {
    CheckSegments(block, 1 << 20, 5000, MaxLimit / (1 << 20) - 3, 3, 1000, {1048573});
    const std::uint64_t s = 4242640687;  // the root of the largest limit
    CheckSegments(block, s, 5000, MaxLimit / s - 1, 1, 4000, {999999937, 2147483647, 4242640687});
  }
}

// The parallel engine starts runs at any segment: a segment sieved at the
// start of a run must equal the same segment reached from the ones before,
// with blocks shorter and longer than a segment, also where the sieve left
// a run unfinished before.
TEST(SegmentSieve, StartingAtAnySegmentEqualsGoingOn) {
  for (const std::uint64_t step : {600ULL, 4999ULL, 31622ULL}) {
    const TPrimeFound primes = SmallPrimes(step);
    const TPresieve presieve(step, step * step / 30);
    for (const std::uint64_t block : {16ULL, 512ULL, 65536ULL}) {
      for (const std::uint64_t turnBytes : kTurnLimits) {
        const TSievingPrimes sieving(primes, presieve, block, turnBytes);
        TSegmentSieve walker(sieving);
        walker.StartAt(step + 1, 60 * step);
        for (std::uint64_t k = 1; k < 60; ++k) {
          const std::uint64_t low = k * step + 1;
          // A sieve that left a run unfinished, as one that failed does.
          TSegmentSieve direct(sieving);
          direct.StartAt(step + 1, 100 * step);
          Listed(direct, step + 1, step + 1 + (k % 7) * step);
          direct.StartAt(low, low + step - 1 + (k % 3) * step);
          ASSERT_EQ(Listed(walker, low, low + step - 1), Listed(direct, low, low + step - 1))
              << "step " << step << " segment " << k << " block " << block << " turn limit "
              << turnBytes;
        }
      }
    }
  }
}

// The limits of the packed fields are checked where the sizes are chosen.
TEST(SegmentSieve, RefusesSizesBeyondItsPackedFields) {
  const TPresieve presieve(97, 1000);
  EXPECT_EQ(TSievingPrimes(TPrimeFound{}, presieve, UINT64_MAX).BlockBytes(), kMaxBlockBytes);
  EXPECT_EQ(TSievingPrimes(TPrimeFound{}, presieve, 0).BlockBytes(), 1u);
  EXPECT_EQ(TSievingPrimes(TPrimeFound{}, presieve, 5000).BlockBytes(), 4096u);
  EXPECT_THROW(TSievingPrimes(std::vector<std::uint64_t>{kMaxSievingPrime + 2}, presieve), std::length_error);
  const TSievingPrimes sieving(TPrimeFound{101}, presieve, 64);
  TSegmentSieve sieve(sieving);
  EXPECT_THROW(sieve.StartAt(kMaxSievedNumber - 10, kMaxSievedNumber + 1), std::length_error);
  EXPECT_NO_THROW(sieve.StartAt(MaxLimit - 1000, MaxLimit));
}

TEST(Presieve, PatternClearsExactlyTheMultiplesOfItsPrimes) {
  for (const std::uint64_t maxPrime : {5ULL, 12ULL, 13ULL, 20ULL, 1000ULL}) {
    for (const std::uint64_t work : {1ULL, 1ULL << 40}) {
      const TPresieve presieve(maxPrime, work);
      TPrimeFound used;
      for (std::uint64_t p : SmallPrimes(presieve.Largest())) {
        if (p > 5) used.push_back(p);
      }
      EXPECT_LE(presieve.Largest(), std::max<std::uint64_t>(maxPrime, 5));
      for (const std::uint64_t firstByte : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{17017 * 5 + 3}, MaxLimit / 30 - 3000}) {
        std::vector<std::uint8_t> bytes(3000, 0xFF);
        presieve.Fill(bytes.data(), firstByte, bytes.size());
        const TSegmentBits bits{bytes.data(), bytes.size(), firstByte, 30 * firstByte + 1,
                                30 * (firstByte + bytes.size()) - 1};
        const std::vector<std::uint64_t> expected =
            Survivors(used, 30 * firstByte + 1, 30 * (firstByte + bytes.size()) - 1);
        std::vector<std::uint64_t> listed;
        ForEachSegmentPrime(bits, [&](std::uint64_t p) { listed.push_back(p); });
        std::sort(listed.begin(), listed.end());  // 2, 3 and 5 come first
        ASSERT_EQ(listed, expected) << "max " << maxPrime << " work " << work << " at byte "
                                    << firstByte;
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
