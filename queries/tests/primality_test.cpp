#include "queries/primality.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "queries/tests/plain_queries.h"

namespace tamsel::test {
namespace {

TEST(IsPrime, AgreesWithTrialDivisionBelowOneMillion) {
  std::uint64_t primes = 0;
  for (std::uint64_t n = 0; n < 1000000; ++n) {
    const bool prime = IsPrime(n);
    ASSERT_EQ(prime, plain::IsPrime(n)) << "n=" << n;
    primes += prime ? 1 : 0;
  }
  EXPECT_EQ(primes, 78498u);
}

// Strong pseudoprimes to growing sets of prime bases, Carmichael numbers,
// squares and products of primes near 2^32, and 2^64 - 1.
TEST(IsPrime, RejectsCompositesThatFoolWeakerTests) {
  for (const std::uint64_t n :
       {2047ULL, 1373653ULL, 25326001ULL, 3215031751ULL, 4759123141ULL, 1122004669633ULL,
        2152302898747ULL, 3474749660383ULL, 341550071728321ULL, 3825123056546413051ULL,
        561ULL, 1729ULL, 41041ULL, 5394826801ULL, 17880342505193141569ULL,
        18446744030759878681ULL /* 4294967291^2 */, 18446743979220271189ULL /* x 4294967279 */,
        4611686014132420609ULL /* (2^31 - 1)^2 */, 18446744073709551615ULL}) {
    EXPECT_FALSE(IsPrime(n)) << n;
  }
}

// The largest primes below 2^64 and below the largest accepted number, with
// every number between them and those bounds composite; primes just beside
// powers of ten check the larger base sets too.
TEST(IsPrime, FindsTheLargestPrimesAndNothingAbove) {
  for (std::uint64_t n = 18446744073709551557ULL + 1; n != 0; ++n) EXPECT_FALSE(IsPrime(n)) << n;
  for (std::uint64_t n = 17999999999999999921ULL + 1; n <= 18000000000000000000ULL; ++n) {
    EXPECT_FALSE(IsPrime(n)) << n;
  }
  for (const std::uint64_t n :
       {18446744073709551557ULL, 17999999999999999921ULL, 9999999999999999961ULL,
        10000000000000000051ULL, 999999999999999989ULL, 1000000000000000003ULL,
        9999999999999937ULL, 4294967291ULL, 2305843009213693951ULL /* 2^61 - 1 */,
        419244183493398877ULL, 4317139ULL}) {
    EXPECT_TRUE(IsPrime(n)) << n;
  }
}

}  // namespace
}  // namespace tamsel::test
