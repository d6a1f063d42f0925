#include "queries/factoring.h"

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "queries/primality.h"

namespace tamsel::test {
namespace {

using TFactors = std::vector<TPrimePower>;

// Large prime factors, equal ones, balanced semiprimes (the slowest case for
// rho) and a strong pseudoprime, besides the trivial numbers.
TEST(FactorInteger, SplitsKnownNumbers) {
  const struct {
    std::uint64_t n;
    TFactors factors;
  } cases[] = {
      {0, {}},
      {1, {}},
      {9223372036854775808ULL, {{2, 63}}},
      {18446744073709551615ULL,
       {{3, 1}, {5, 1}, {17, 1}, {257, 1}, {641, 1}, {65537, 1}, {6700417, 1}}},
      {18446744073709551557ULL, {{18446744073709551557ULL, 1}}},
      {18446744030759878681ULL, {{4294967291ULL, 2}}},
      {18446743979220271189ULL, {{4294967279ULL, 1}, {4294967291ULL, 1}}},
      {4611685975477714963ULL, {{2147483629ULL, 1}, {2147483647ULL, 1}}},
      {9223253290108583207ULL, {{2097143, 3}}},
      {3825123056546413051ULL, {{149491, 1}, {747451, 1}, {34233211, 1}}},
      {17880342505193141569ULL, {{1439047, 1}, {2878093, 1}, {4317139, 1}}},
      {4611686018427387647ULL, {{11, 1}, {419244183493398877ULL, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(FactorInteger(c.n), c.factors) << c.n;
}

TEST(FactorInteger, RandomNumbersFactorIntoIncreasingPrimes) {
  std::mt19937_64 random(20240611);
  for (int k = 0; k < 400; ++k) {
    const std::uint64_t n = random() >> (k % 4 * 16);  // 64, 48, 32 and 16 bits
    std::uint64_t product = 1, last = 0;
    for (const TPrimePower& power : FactorInteger(n)) {
      EXPECT_TRUE(IsPrime(power.Prime) && power.Prime > last) << n;
      for (std::uint32_t e = 0; e < power.Exponent; ++e) product *= power.Prime;
      last = power.Prime;
    }
    EXPECT_EQ(product, n == 0 ? 1 : n);
  }
}

TEST(DivisorsUpTo, MatchesEveryDivisorUpToTheLimit) {
  for (std::uint64_t n = 1; n <= 3000; ++n) {
    for (const std::uint64_t limit : {n / 7, n / 2, n}) {
      std::vector<std::uint64_t> expected;
      for (std::uint64_t d = 1; d <= limit; ++d) {
        if (n % d == 0) expected.push_back(d);
      }
      ASSERT_EQ(DivisorsUpTo(FactorInteger(n), limit), expected) << n << " " << limit;
    }
  }
  // No overflow when the limit is the largest value.
  const auto all = DivisorsUpTo(FactorInteger(UINT64_MAX), UINT64_MAX);
  EXPECT_EQ(all.size(), 128u);
  EXPECT_EQ(all.back(), UINT64_MAX);
}

}  // namespace
}  // namespace tamsel::test
