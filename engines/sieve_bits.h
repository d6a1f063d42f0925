// Reading sieved bits: count, highest prime and listing of the numbers Low..High of a piece of a block. The bits
// outside Low..High in its first and last byte belong to neighbouring segments: readers mask, never clear them.
#pragma once
#include <bit>
#include <cstring>

#include "engines/sieve_wheel.h"

namespace tamsel {

// The bits of the numbers 30b + r with r >= t (first row) and r <= t.
inline constexpr auto kEdgeKeep = [] {
  std::array<std::array<std::uint8_t, 30>, 2> keep{};
  for (std::uint32_t tb = 0; tb < 30 * 8; ++tb) {
    keep[0][tb / 8] |= static_cast<std::uint8_t>(kWheelResidues[tb % 8] >= tb / 8 ? 1 << tb % 8 : 0);
    keep[1][tb / 8] |= static_cast<std::uint8_t>(kWheelResidues[tb % 8] <= tb / 8 ? 1 << tb % 8 : 0);
  }
  return keep;
}();

inline std::uint64_t LoadWord(const std::uint8_t* bytes) { std::uint64_t word; std::memcpy(&word, bytes, 8); return word; }

inline std::uint64_t CountBitsPortably(const std::uint8_t* bytes, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) total += static_cast<std::uint64_t>(std::popcount(LoadWord(bytes + i)));
  for (; i < count; ++i) total += static_cast<std::uint64_t>(std::popcount(bytes[i]));
  return total;
}
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
[[gnu::target("popcnt")]] inline std::uint64_t CountBitsByInstruction(const std::uint8_t* bytes, std::size_t count) {
  return CountBitsPortably(bytes, count);
}
#endif

// Bits set in bytes[0, count), with the processor's instruction where it has one: portable builds would count
// without it, several times slower.
inline std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count) {
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
  static const bool hasInstruction = __builtin_cpu_supports("popcnt");
  if (hasInstruction) return CountBitsByInstruction(bytes, count);
#endif
  return CountBitsPortably(bytes, count);
}

// Bytes[i] is byte FirstByte + i of the range (Low / 30 and High / 30 are its first and last). The primes 2,
// 3 and 5, which have no bits, count as found when they lie inside Low..High.
struct TSegmentBits {
  const std::uint8_t* Bytes = nullptr;
  std::size_t Length = 0;
  std::uint64_t FirstByte = 0, Low = 0, High = 0;
  // Byte i without the bits of numbers outside Low..High.
  std::uint8_t Masked(std::size_t i) const {
    std::uint8_t byte = Bytes[i];
    if (i == 0) byte &= kEdgeKeep[0][Low - 30 * FirstByte];
    if (i + 1 == Length) byte &= kEdgeKeep[1][High - 30 * (FirstByte + i)];
    return byte;
  }
};

// Calls found(prime) for each prime of the piece in ascending order, eight bytes at a time inside (a loop
// exit per word, not per byte).
template <typename F>
void ForEachSegmentPrime(const TSegmentBits& bits, F&& found) {
  for (const std::uint64_t p : {2, 3, 5}) if (p >= bits.Low && p <= bits.High) found(p);
  const auto each = [&](std::uint64_t byte, std::uint64_t word) {
    for (; word != 0; word &= word - 1) {
      const int bit = std::countr_zero(word);
      found(30 * (byte + static_cast<std::uint64_t>(bit / 8)) + kWheelResidues[bit % 8]);
    }
  };
  if (bits.Length == 0) return;
  each(bits.FirstByte, bits.Masked(0));
  std::size_t i = 1;
  for (; i + 8 < bits.Length; i += 8) each(bits.FirstByte + i, LoadWord(bits.Bytes + i));
  for (; i + 1 < bits.Length; ++i) each(bits.FirstByte + i, bits.Bytes[i]);
  if (bits.Length > 1) each(bits.FirstByte + i, bits.Masked(i));
}

// The edge bytes once more, masked, in place of their whole counts.
inline std::uint64_t CountSegmentPrimes(const TSegmentBits& bits) {
  std::uint64_t count = CountBits(bits.Bytes, bits.Length);
  for (const std::uint64_t p : {2, 3, 5}) count += p >= bits.Low && p <= bits.High ? 1 : 0;
  for (const std::size_t i : {std::size_t{0}, bits.Length - 1}) {
    count += static_cast<std::uint64_t>(std::popcount(bits.Masked(i)) - std::popcount(bits.Bytes[i]));
    if (bits.Length == 1) break;
  }
  return count;
}

// The highest prime of the piece, 0 when there is none.
inline std::uint64_t HighestSegmentPrime(const TSegmentBits& bits) {
  for (std::size_t i = bits.Length; i-- > 0;) {
    if (const std::uint8_t byte = bits.Masked(i); byte != 0) {
      return 30 * (bits.FirstByte + i) + kWheelResidues[std::bit_width(byte) - 1];
    }
  }
  for (const std::uint64_t p : {5, 3, 2}) if (p >= bits.Low && p <= bits.High) return p;
  return 0;
}

}  // namespace tamsel
