// Tables of the small primes, built at compile time, for trial division.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace tamsel {

constexpr bool IsSmallPrime(std::uint32_t n) {
  if (n < 2) return false;
  for (std::uint32_t d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return true;
}

constexpr std::size_t SmallPrimeCount(std::uint32_t bound) {
  std::size_t count = 0;
  for (std::uint32_t n = 2; n < bound; ++n) count += IsSmallPrime(n) ? 1 : 0;
  return count;
}

// The primes below Bound in increasing order.
template <std::uint32_t Bound>
constexpr auto PrimesBelow() {
  std::array<std::uint32_t, SmallPrimeCount(Bound)> primes{};
  std::size_t next = 0;
  for (std::uint32_t n = 2; n < Bound; ++n) {
    if (IsSmallPrime(n)) primes[next++] = n;
  }
  return primes;
}

}  // namespace tamsel
