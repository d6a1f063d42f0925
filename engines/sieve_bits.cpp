#include "engines/sieve_bits.h"

#include <array>
#include <cstring>

namespace tamsel {

namespace {

// The bits of the numbers 30b + r with r >= t (first row) and r <= t.
constexpr auto kKeep = [] {
  std::array<std::array<std::uint8_t, 30>, 2> keep{};
  for (std::uint32_t t = 0; t < 30; ++t) {
    for (int b = 0; b < 8; ++b) {
      keep[0][t] |= static_cast<std::uint8_t>(kWheelResidues[b] >= t ? 1 << b : 0);
      keep[1][t] |= static_cast<std::uint8_t>(kWheelResidues[b] <= t ? 1 << b : 0);
    }
  }
  return keep;
}();

std::uint64_t CountBitsPortably(const std::uint8_t* bytes, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    total += static_cast<std::uint64_t>(std::popcount(word));
  }
  for (; i < count; ++i) total += static_cast<std::uint64_t>(std::popcount(bytes[i]));
  return total;
}

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
// Portable builds count bits without the processor's instruction for it,
// several times slower; this compiler can use it where the processor has it.
__attribute__((target("popcnt"))) std::uint64_t CountBitsByInstruction(const std::uint8_t* bytes,
                                                                        std::size_t count) {
  return CountBitsPortably(bytes, count);
}
#endif

}  // namespace

std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count) {
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
  static const bool hasInstruction = __builtin_cpu_supports("popcnt");
  if (hasInstruction) return CountBitsByInstruction(bytes, count);
#endif
  return CountBitsPortably(bytes, count);
}

std::uint8_t TSegmentBits::Masked(std::size_t i) const {
  std::uint8_t byte = Bytes[i];
  if (i == 0) byte &= kKeep[0][Low - 30 * FirstByte];
  if (i + 1 == Length) byte &= kKeep[1][High - 30 * (FirstByte + i)];
  return byte;
}

// The edge bytes once more, masked, in place of their whole counts.
std::uint64_t CountSegmentPrimes(const TSegmentBits& bits) {
  std::uint64_t count = CountBits(bits.Bytes, bits.Length);
  for (const std::uint64_t p : {2, 3, 5}) count += p >= bits.Low && p <= bits.High ? 1 : 0;
  for (const std::size_t i : {std::size_t{0}, bits.Length - 1}) {
    count += static_cast<std::uint64_t>(std::popcount(bits.Masked(i)) - std::popcount(bits.Bytes[i]));
    if (bits.Length == 1) break;
  }
  return count;
}

std::uint64_t HighestSegmentPrime(const TSegmentBits& bits) {
  for (std::size_t i = bits.Length; i-- > 0;) {
    if (const std::uint8_t byte = bits.Masked(i); byte != 0) {
      return 30 * (bits.FirstByte + i) + kWheelResidues[std::bit_width(byte) - 1];
    }
  }
  std::uint64_t highest = 0;
  ForEachSegmentPrime(bits, [&](std::uint64_t p) { highest = p; });
  return highest;
}

void ExpandSegment(const TSegmentBits& bits, std::uint8_t* table) {
  std::memset(table + bits.Low, 0, bits.High - bits.Low + 1);
  ForEachSegmentPrime(bits, [&](std::uint64_t p) { table[p] = 1; });
}

}  // namespace tamsel
