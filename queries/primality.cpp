#include "queries/primality.h"

#include <cstddef>

#include "queries/montgomery.h"
#include "queries/small_primes.h"

namespace tamsel {
namespace {

// Trial division settles every number below 67^2 and rejects most composites
// before the costlier strong-prime tests.
constexpr auto kTrialPrimes = PrimesBelow<64>();
constexpr std::uint64_t kTrialSettled = 67 * 67;

// The first twelve primes as bases decide every 64-bit number. Fewer suffice
// below the smallest number that is a strong pseudoprime to all of them:
// 3,215,031,751 for the bases up to 7, 3,825,123,056,546,413,051 for those
// up to 23.
constexpr std::uint64_t kBases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

std::size_t BaseCount(std::uint64_t n) {
  if (n < 3215031751ULL) return 4;
  if (n < 3825123056546413051ULL) return 9;
  return 12;
}

// Strong probable-prime test of odd n = odd * 2^twos + 1 to one base. Every
// base is below n here, since n has passed trial division by all of them.
bool IsStrongProbablePrime(const TMontgomery& field, std::uint64_t odd, int twos,
                           std::uint64_t base) {
  std::uint64_t x = field.Power(field.ToForm(base), odd);
  if (x == field.One() || x == field.MinusOne()) return true;
  for (int i = 1; i < twos; ++i) {
    x = field.Multiply(x, x);
    if (x == field.MinusOne()) return true;
  }
  return false;
}

bool PassesMillerRabin(std::uint64_t n) {
  const TMontgomery field(n);
  std::uint64_t odd = n - 1;
  int twos = 0;
  for (; (odd & 1) == 0; odd >>= 1) ++twos;
  const std::size_t count = BaseCount(n);
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsStrongProbablePrime(field, odd, twos, kBases[i])) return false;
  }
  return true;
}

}  // namespace

bool IsPrime(std::uint64_t n) {
  if (n < 2) return false;
  for (const std::uint64_t p : kTrialPrimes) {
    if (n % p == 0) return n == p;
  }
  if (n < kTrialSettled) return true;
  return PassesMillerRabin(n);
}

}  // namespace tamsel
