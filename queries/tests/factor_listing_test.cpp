#include "queries/factor_listing.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "queries/tests/plain_queries.h"
#include "core/console/channels_testing.h"

namespace tamsel::test {
namespace {

const std::string kRule = std::string(75, '-') + "\n";
constexpr std::uint64_t kFirstRefused = (1ULL << 62) - 256;

class FactorListing : public ::testing::Test {
 protected:
  void SetUp() override {
    RunOptions = TRunOptions{};
    AssignExitCode(0);
  }
  void TearDown() override { RunOptions = TRunOptions{}; }

  template <typename Show>
  std::string Capture(Show show, std::uint64_t n) {
    capture_.Clear();
    show(n);
    return capture_.Out();
  }
  std::string Ours(std::uint64_t n) { return Capture(ShowFactors, n); }
  std::string Plain(std::uint64_t n) { return Capture(plain::ShowFactors, n); }

  // Both modes against the plain loop.
  void ExpectPlainListing(std::uint64_t n) {
    for (const bool marks : {false, true}) {
      RunOptions.PrimeFactors = marks;
      EXPECT_EQ(Ours(n), Plain(n)) << "n=" << n << " marks=" << marks;
    }
  }

  TChannelCapture capture_;
};

std::uint64_t PowMod(std::uint64_t base, std::uint64_t exponent, std::uint64_t m) {
  unsigned __int128 result = 1, b = base % m;
  for (; exponent != 0; exponent >>= 1, b = b * b % m) {
    if (exponent & 1) result = result * b % m;
  }
  return static_cast<std::uint64_t>(result);
}

// Writes the expected listing of n built from a factorisation given by hand,
// which is checked first: the primes multiply to n and pass a Fermat test.
void WriteListingFromFactors(std::uint64_t n,
                             const std::vector<std::pair<std::uint64_t, int>>& factors) {
  std::vector<std::uint64_t> divisors{1};
  std::set<std::uint64_t> primes;
  for (const auto& [p, e] : factors) {
    for (const std::uint64_t a : {2, 3, 5, 7}) {
      if (a % p == 0) continue;
      EXPECT_EQ(PowMod(a, p - 1, p), 1u) << p;
    }
    primes.insert(p);
    const std::vector<std::uint64_t> known = divisors;
    std::uint64_t power = 1;
    for (int k = 0; k < e; ++k) {
      power *= p;
      for (const std::uint64_t d : known) divisors.push_back(d * power);
    }
  }
  std::sort(divisors.begin(), divisors.end());
  EXPECT_EQ(divisors.back(), n);
  std::erase_if(divisors, [n](std::uint64_t d) { return d > std::uint64_t(plain::LoopBound(n)); });
  plain::WriteListing(
      n, [&](auto visit) { std::for_each(divisors.begin(), divisors.end(), visit); },
      [&](std::uint64_t x) { return primes.count(x) == 1; });
}

TEST_F(FactorListing, ExactTextOfSmallNumbers) {
  EXPECT_EQ(Ours(1), "  1 *   1\n" + kRule + "There are 1 factors of 1\n");
  EXPECT_EQ(Ours(12),
            "   1 *   12\n   2 *    6\n   3 *    4\n" + kRule + "There are 6 factors of 12\n");
  EXPECT_EQ(Ours(100001), "       1 *   100001\n      11 *     9091\n" + kRule +
                              "There are 4 factors of 100,001\n");
  RunOptions.PrimeFactors = true;
  EXPECT_EQ(Ours(12), "   1        *   12       \n   2 Prime! *    6       \n"
                      "   3 Prime! *    4       \n" + kRule +
                          "There are 6 factors of 12 (with 2 total prime factors).\n");
  EXPECT_EQ(Ours(4), "  1        *   4       \n  2 Prime! *   2 Prime!\n" + kRule +
                         "There are 3 factors of 4 (with 2 total prime factors).\n");
  RunOptions.Quiet = true;
  EXPECT_EQ(Ours(12), kRule + "There are 6 factors of 12 (with 2 total prime factors).\n");
  EXPECT_EQ(ExitCode, 0);
}

// No count, or a number whose loop bound reads as zero or negative: only the
// rule and the error line, and exit code 82 replaces the option bits.
TEST_F(FactorListing, FailsWithNoCountAndFromTwoPow62Minus256) {
  const std::string error = "ERROR: Could Not Compute Factors for: ";
  const std::string tail = ".  Please Try a smaller number.\n";
  RunOptions.NoCount = true;
  AssignExitCode(12);
  EXPECT_EQ(Ours(12), kRule + error + "12" + tail);
  EXPECT_EQ(ExitCode, 82);
  RunOptions = TRunOptions{};
  const std::uint64_t refused[] = {kFirstRefused, 1ULL << 62, MaxLimit, UINT64_MAX, 0};
  for (const std::uint64_t n : refused) {
    AssignExitCode(4);
    RunOptions.PrimeFactors = n % 2 == 0;
    EXPECT_EQ(Ours(n), kRule + error + FormatThousands(n) + tail);
    EXPECT_EQ(ExitCode, 82);
  }
  EXPECT_EQ(FactorLoopBound(kFirstRefused - 1), 2147483647);
  EXPECT_EQ(FactorLoopBound(kFirstRefused), INT32_MIN);
  EXPECT_EQ(FactorLoopBound(UINT64_MAX), 0);
}

TEST_F(FactorListing, MatchesThePlainLoopUpTo100000) {
  for (std::uint64_t n = 1; n <= 100000; ++n) {
    ASSERT_EQ(Ours(n), Plain(n)) << "n=" << n;
  }
  RunOptions.PrimeFactors = true;
  for (std::uint64_t n = 1; n <= 100000; n += 7) {
    ASSERT_EQ(Ours(n), Plain(n)) << "n=" << n;
  }
}

// Random numbers, highly composite numbers, squares and prime powers.
TEST_F(FactorListing, MatchesThePlainLoopUpTo10Pow12) {
  std::mt19937_64 random(7919);
  for (int k = 0; k < 30; ++k) ExpectPlainListing(random() % 1000000000000ULL + 1);
  for (const std::uint64_t n : {720720ULL, 963761198400ULL, 999998000001ULL, 1000000000000ULL,
                                847288609443ULL /* 3^25 */, 1099511627776ULL /* 2^40 */}) {
    ExpectPlainListing(n);
  }
  // Roots near 2^31: the double root of each square is exact.
  for (std::uint64_t k = (1ULL << 31) - 2000; k < (1ULL << 31); ++k) {
    ASSERT_EQ(FactorLoopBound(k * k), static_cast<std::int32_t>(k));
  }
}

TEST_F(FactorListing, LargeNumbersListTheDivisorsOfTheirFactorisation) {
  const struct {
    std::uint64_t n;
    std::vector<std::pair<std::uint64_t, int>> factors;
  } cases[] = {
      {kFirstRefused - 1, {{11, 1}, {419244183493398877ULL, 1}}},
      {4611686014132420609ULL, {{2147483647, 2}}},
      {4611685975477714963ULL, {{2147483629, 1}, {2147483647, 1}}},
      {4052555153018976267ULL, {{3, 39}}},
      {3909821048582988049ULL, {{7, 22}}},
      {3066842656354276800ULL,
       {{2, 6}, {3, 3}, {5, 2}, {7, 2}, {11, 1}, {13, 1}, {17, 1}, {19, 1}, {23, 1},
        {29, 1}, {31, 1}, {37, 1}, {41, 1}}},
  };
  for (const auto& c : cases) {
    for (const bool marks : {false, true}) {
      RunOptions.PrimeFactors = marks;
      const auto known = [&](std::uint64_t n) { WriteListingFromFactors(n, c.factors); };
      EXPECT_EQ(Ours(c.n), Capture(known, c.n)) << c.n;
    }
  }
}

}  // namespace
}  // namespace tamsel::test
