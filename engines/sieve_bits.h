// Reading sieved bits: count, highest prime and listing of the numbers
// Low..High of a piece of a block. A block may hold several segments and a
// segment several blocks, so the bits outside Low..High in the first and
// last byte belong to neighbours: the readers mask them, never clear them.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engines/sieve_wheel.h"

namespace tamsel {

// Bytes[i] is byte FirstByte + i of the range (Low / 30 and High / 30 are
// its first and last). The primes 2, 3 and 5, which have no bits, count as
// found when they lie inside Low..High.
struct TSegmentBits {
  const std::uint8_t* Bytes = nullptr;
  std::size_t Length = 0;
  std::uint64_t FirstByte = 0, Low = 0, High = 0;
  // Byte i without the bits of numbers outside Low..High.
  std::uint8_t Masked(std::size_t i) const;
};

std::uint64_t CountSegmentPrimes(const TSegmentBits& bits);
// 0 when there is none.
std::uint64_t HighestSegmentPrime(const TSegmentBits& bits);

// Calls found(prime) for every prime of the piece in ascending order.
template <typename F>
void ForEachSegmentPrime(const TSegmentBits& bits, F&& found) {
  for (const std::uint64_t p : {2, 3, 5}) {
    if (p >= bits.Low && p <= bits.High) found(p);
  }
  for (std::size_t i = 0; i < bits.Length; ++i) {
    unsigned byte = i == 0 || i + 1 == bits.Length ? bits.Masked(i) : bits.Bytes[i];
    for (; byte != 0; byte &= byte - 1) {
      found(30 * (bits.FirstByte + i) + kWheelResidues[std::countr_zero(byte)]);
    }
  }
}

// table[v] := 1 for every prime v of the piece and 0 for the other numbers
// Low..High; table is indexed by the number itself.
void ExpandSegment(const TSegmentBits& bits, std::uint8_t* table);

// Bits set in bytes[0, count), with the processor's instruction where it has one.
std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count);

}  // namespace tamsel
