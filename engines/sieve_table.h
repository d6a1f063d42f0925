// Helpers for tables of a byte per number (the simple sieve's and the base range's), and the small plain
// sieve for the primes below a square root.
#pragma once
#include "engines/prime_records.h"
#include "engines/sieve_bits.h"

namespace tamsel {

// Index of the last nonzero byte in table[0, count), or count when none.
inline std::size_t FindLastOne(const std::uint8_t* table, std::size_t count) {
  std::size_t i = count;
  while (i >= 8 && LoadWord(table + i - 8) == 0) i -= 8;
  while (i > 0 && table[i - 1] == 0) --i;
  return i > 0 ? i - 1 : count;
}

// Every prime up to limit (a plain sieve; for base primes of a few thousand).
inline TPrimeFound SmallPrimes(std::uint64_t limit) {
  TPrimeFound primes;
  std::vector<std::uint8_t> composite(limit + 1, 0);
  for (std::uint64_t p = 2; p <= limit; ++p) {
    if (composite[p] != 0) continue;
    primes.push_back(p);
    for (std::uint64_t m = p * p; p <= limit / p && m <= limit; m += p) composite[m] = 1;
  }
  return primes;
}

}  // namespace tamsel
