#include "queries/factoring.h"

#include <algorithm>
#include <numeric>

#include "queries/montgomery.h"
#include "queries/primality.h"
#include "queries/small_primes.h"

namespace tamsel {
namespace {

// Trial division removes the factors below 1024; Pollard's rho finds the
// larger ones in about the square root of the factor's size in steps.
constexpr auto kTrialPrimes = PrimesBelow<1024>();
constexpr std::uint64_t kRhoBatch = 128;  // steps per gcd

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

// Pollard's rho with Brent's cycle finding on x -> x^2 + c (Montgomery form,
// which only changes the constant). Returns a divisor of the modulus above 1;
// the modulus itself when this constant fails.
std::uint64_t BrentRho(const TMontgomery& field, std::uint64_t c) {
  const std::uint64_t n = field.Modulus();
  const auto step = [&](std::uint64_t x) { return field.Add(field.Multiply(x, x), c); };
  std::uint64_t x = field.One(), y = x, saved = x, product = field.One(), g = 1;
  for (std::uint64_t run = 1; g == 1; run <<= 1) {
    x = y;
    for (std::uint64_t i = 0; i < run; ++i) y = step(y);
    for (std::uint64_t done = 0; done < run && g == 1; done += kRhoBatch) {
      saved = y;
      const std::uint64_t steps = std::min(kRhoBatch, run - done);
      for (std::uint64_t i = 0; i < steps; ++i) {
        y = step(y);
        product = field.Multiply(product, Distance(x, y));
      }
      g = std::gcd(product, n);
    }
  }
  // The batch holds the factor but may have collected all of n: retrace it
  // one step at a time.
  if (g == n) {
    do {
      saved = step(saved);
      g = std::gcd(Distance(x, saved), n);
    } while (g == 1);
  }
  return g;
}

// n is odd, composite and free of factors below 1024.
std::uint64_t FindFactor(std::uint64_t n) {
  const TMontgomery field(n);
  for (std::uint64_t c = 1;; ++c) {
    const std::uint64_t d = BrentRho(field, c);
    if (d != n) return d;
  }
}

void SplitLargeFactors(std::uint64_t n, std::vector<std::uint64_t>& primes) {
  if (n == 1) return;
  if (IsPrime(n)) {
    primes.push_back(n);
    return;
  }
  const std::uint64_t d = FindFactor(n);
  SplitLargeFactors(d, primes);
  SplitLargeFactors(n / d, primes);
}

// Removes the small prime factors from n and returns them.
std::vector<TPrimePower> TrialDivide(std::uint64_t& n) {
  std::vector<TPrimePower> factors;
  for (const std::uint64_t p : kTrialPrimes) {
    if (p * p > n) break;
    if (n % p != 0) continue;
    TPrimePower power{p, 0};
    for (; n % p == 0; n /= p) ++power.Exponent;
    factors.push_back(power);
  }
  return factors;
}

}  // namespace

std::vector<TPrimePower> FactorInteger(std::uint64_t n) {
  if (n == 0) return {};
  std::vector<TPrimePower> factors = TrialDivide(n);
  std::vector<std::uint64_t> large;
  SplitLargeFactors(n, large);
  std::sort(large.begin(), large.end());
  for (const std::uint64_t p : large) {
    if (!factors.empty() && factors.back().Prime == p) {
      ++factors.back().Exponent;
    } else {
      factors.push_back({p, 1});
    }
  }
  return factors;
}

std::vector<std::uint64_t> DivisorsUpTo(const std::vector<TPrimePower>& factors,
                                        std::uint64_t limit) {
  if (limit == 0) return {};
  std::vector<std::uint64_t> divisors{1};
  for (const TPrimePower& power : factors) {
    const std::size_t known = divisors.size();
    for (std::size_t k = 0; k < known; ++k) {
      std::uint64_t d = divisors[k];
      for (std::uint32_t e = 0; e < power.Exponent && d <= limit / power.Prime; ++e) {
        d *= power.Prime;
        divisors.push_back(d);
      }
    }
  }
  std::sort(divisors.begin(), divisors.end());
  return divisors;
}

}  // namespace tamsel
