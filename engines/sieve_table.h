// Helpers for tables of a byte per number (the simple sieve's and the base
// range's), and the small plain sieve and square root every engine sizes by.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engines/prime_records.h"

namespace tamsel {

// Number of nonzero bytes in table[0, count); every byte is 0 or 1.
std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count);

// Index of the last nonzero byte in table[0, count), or count when none.
std::size_t FindLastOne(const std::uint8_t* table, std::size_t count);

// Every prime up to limit (a plain sieve; for base primes of a few thousand).
TPrimeFound SmallPrimes(std::uint64_t limit);

// floor(sqrt(value)) computed in double precision, as the engines size
// their tables (above 2^53 the value is first rounded to a double).
std::uint64_t TruncatedSqrt(std::uint64_t value);

}  // namespace tamsel
