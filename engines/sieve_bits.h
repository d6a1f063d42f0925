// Reading sieved bits: count, highest prime and listing of the numbers
// Low..High of a piece of a block. A block may hold several segments and a
// segment several blocks, so the bits outside Low..High in the first and
// last byte belong to neighbours: the readers mask them, never clear them.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// Calls found(prime) for every prime of the piece in ascending order, the
// bytes inside eight at a time (a loop exit per word, not per byte).
template <typename F>
void ForEachSegmentPrime(const TSegmentBits& bits, F&& found) {
  for (const std::uint64_t p : {2, 3, 5}) {
    if (p >= bits.Low && p <= bits.High) found(p);
  }
  const auto each = [&](std::uint64_t byte, std::uint64_t word) {
    for (; word != 0; word &= word - 1) {
      const int bit = std::countr_zero(word);
      found(30 * (byte + static_cast<std::uint64_t>(bit / 8)) + kWheelResidues[bit % 8]);
    }
  };
  if (bits.Length == 0) return;
  each(bits.FirstByte, bits.Masked(0));
  std::size_t i = 1;
  for (std::uint64_t word; i + 8 < bits.Length; i += 8) {
    std::memcpy(&word, bits.Bytes + i, sizeof word);
    each(bits.FirstByte + i, word);
  }
  for (; i + 1 < bits.Length; ++i) each(bits.FirstByte + i, bits.Bytes[i]);
  if (bits.Length > 1) each(bits.FirstByte + bits.Length - 1, bits.Masked(bits.Length - 1));
}

// table[v] := 1 for every prime v of the piece and 0 for the other numbers
// Low..High; table is indexed by the number itself.
void ExpandSegment(const TSegmentBits& bits, std::uint8_t* table);

// Bits set in bytes[0, count), with the processor's instruction where it has one.
std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count);

}  // namespace tamsel
