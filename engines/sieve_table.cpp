#include "engines/sieve_table.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "engines/sieve_bits.h"

namespace tamsel {

// Every byte is 0 or 1, so the bits set are the bytes set.
std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count) {
  return CountBits(table, count);
}

std::size_t FindLastOne(const std::uint8_t* table, std::size_t count) {
  std::size_t i = count;
  for (; i % 8 != 0; --i) {
    if (table[i - 1] != 0) return i - 1;
  }
  for (std::uint64_t word = 0; i >= 8; i -= 8) {
    std::memcpy(&word, table + i - 8, sizeof word);
    if (word != 0) break;
  }
  for (; i > 0; --i) {
    if (table[i - 1] != 0) return i - 1;
  }
  return count;
}

TPrimeFound SmallPrimes(std::uint64_t limit) {
  TPrimeFound primes;
  std::vector<std::uint8_t> composite(limit + 1, 0);
  for (std::uint64_t p = 2; p <= limit; ++p) {
    if (composite[p] != 0) continue;
    primes.push_back(p);
    for (std::uint64_t m = p * p; p <= limit / p && m <= limit; m += p) composite[m] = 1;
  }
  return primes;
}

std::uint64_t TruncatedSqrt(std::uint64_t value) {
  return static_cast<std::uint64_t>(std::sqrt(static_cast<double>(value)));
}

}  // namespace tamsel
