#include <algorithm>
#include <random>
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
    ASSERT_EQ(CountOnes(buffer.data() + start, count), ones) << "round " << round;
    ASSERT_EQ(FindLastOne(buffer.data() + start, count), last) << "round " << round;
  }
}

TEST(WordScans, CountSurvivesMoreThan255WordsOfOnes) {
  const std::vector<std::uint8_t> ones(100003, 1);
  EXPECT_EQ(CountOnes(ones.data(), ones.size()), 100003u);
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

std::vector<std::uint64_t> Listed(const TSegmentBits& bits) {
  std::vector<std::uint64_t> listed;
  ForEachSegmentPrime(bits, [&](std::uint64_t p) { listed.push_back(p); });
  return listed;
}

// Whole turns for as many primes as the sieve allows, and for as few: then
// the largest wait in buckets even with small steps.
constexpr std::uint64_t kTurnLimits[] = {TSegmentSieve::kTurnBytes, 0};

// Sieves `count` segments from `first` on with all primes up to maxPrime
// (every segment above maxPrime, as in a search), the last one cut to
// `lastLength` numbers, and compares each with the slow way.
void CheckSegments(std::uint64_t step, std::uint64_t maxPrime, std::uint64_t first, int count,
                   std::uint64_t lastLength, const TPrimeFound& extra = {}) {
  TPrimeFound primes = SmallPrimes(maxPrime);
  primes.insert(primes.end(), extra.begin(), extra.end());
  const TPresieve presieve(maxPrime, step);
  for (const std::uint64_t turnBytes : kTurnLimits) {
  TSegmentSieve sieve(primes, presieve, step, turnBytes);
  sieve.StartAt(first);
  TPrimeFound crossing;
  for (std::uint64_t p : primes) {
    if (p > 5) crossing.push_back(p);
  }
  for (int i = 0; i < count; ++i) {
    const std::uint64_t k = first + static_cast<std::uint64_t>(i);
    const std::uint64_t low = k * step + 1;
    const std::uint64_t high = i + 1 == count ? low + lastLength - 1 : low + step - 1;
    const TSegmentBits bits = sieve.Sieve(low, high);
    const std::vector<std::uint64_t> expected = Survivors(crossing, low, high);
    ASSERT_EQ(Listed(bits), expected) << "step " << step << " segment " << k << " length "
                                      << high - low + 1 << " turn limit " << turnBytes;
    ASSERT_EQ(CountSegmentPrimes(bits), expected.size());
    ASSERT_EQ(HighestSegmentPrime(bits), expected.empty() ? 0 : expected.back());
  }
  }
}

// Steps that leave every kind of crossing prime (turns inside the segment
// or reaching several segments on, waiting in buckets for one or two hits,
// none above the step), consecutive segments that
// share a byte or not, squares of primes arriving in the first segments,
// and every cut of the last segment for a small step.
TEST(SegmentSieve, LeavesExactlyTheNumbersWithoutSmallFactors) {
  const struct {
    std::uint64_t step, first;
    int count;
  } cases[] = {{1, 1, 40},       {2, 1, 30},         {7, 1, 40},      {30, 1, 40},
               {31, 1, 40},      {61, 1, 60},        {97, 1, 120},    {196, 1, 300},
               {1000, 1, 40},    {2999, 1, 12},      {9973, 1, 5},    {9973, 12345, 5},
               {40000, 1, 3},    {31622, 31620, 2}};
  for (const auto& c : cases) {
    CheckSegments(c.step, c.step, c.first, c.count, c.step);
    CheckSegments(c.step, c.step, c.first, c.count, (c.step + 1) / 2);
  }
  for (std::uint64_t last = 1; last <= 97; ++last) CheckSegments(97, 97, 3, 3, last);
}

// Near the largest limit: segments of a large step with primes close to it,
// whose multiples jump the furthest, and the start of the last segment of
// the largest search, with the largest base primes.
TEST(SegmentSieve, HandlesTheTopOfTheRange) {
  CheckSegments(1 << 20, 5000, MaxLimit / (1 << 20) - 3, 3, 1000, {1048573});
  const std::uint64_t s = 4242640687;  // the root of the largest limit
  CheckSegments(s, 5000, MaxLimit / s - 1, 1, 4000, {999999937, 2147483647, 4242640687});
}

// The parallel engine starts runs anywhere: a segment sieved after a fresh
// start must equal the same segment reached from the one before.
TEST(SegmentSieve, StartingAtAnySegmentEqualsGoingOn) {
  for (const std::uint64_t step : {600ULL, 4999ULL, 31622ULL}) {
    const TPrimeFound primes = SmallPrimes(step);
    const TPresieve presieve(step, step * step / 30);
    for (const std::uint64_t turnBytes : kTurnLimits) {
      TSegmentSieve walker(primes, presieve, step, turnBytes);
      walker.StartAt(1);
      for (std::uint64_t k = 1; k < 60; ++k) {
        const std::uint64_t low = k * step + 1;
        const TSegmentBits a = walker.Sieve(low, low + step - 1);
        TSegmentSieve direct(primes, presieve, step, turnBytes);
        direct.StartAt(k);
        const TSegmentBits b = direct.Sieve(low, low + step - 1);
        ASSERT_EQ(Listed(a), Listed(b)) << "step " << step << " segment " << k << " turn limit "
                                        << turnBytes;
      }
    }
  }
}

// Buckets find the segment of a prime's next multiple by a multiplication;
// with the largest segments its first guess is often one too large.
TEST(SmallQuotient, EqualsTheDivisionBelow64TimesTheDivisor) {
  std::mt19937_64 random(5);
  for (const std::uint64_t divisor : {1ULL, 2ULL, 7ULL, 1000ULL, 1ULL << 20, 4242640687ULL, 4294967291ULL}) {
    const TSmallQuotient quotient(divisor);
    for (std::uint64_t k = 0; k <= 64; ++k) {
      for (const std::uint64_t y : {k * divisor, k * divisor + 1, k * divisor - 1}) {
        if (y < 64 * divisor) {
          ASSERT_EQ(quotient.Of(y), y / divisor) << y << " / " << divisor;
        }
      }
    }
    for (int i = 0; i < 100000; ++i) {
      const std::uint64_t y = random() % (64 * divisor);
      ASSERT_EQ(quotient.Of(y), y / divisor) << y << " / " << divisor;
    }
  }
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
        std::vector<std::uint64_t> listed = Listed(bits);
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
