// The wheel of 30 that every sieve kernel file works on, as tables built at compile time. Only numbers
// coprime to 30 can be primes above 5: byte b of the range holds 30b + 1, 7, 11, 13, 17, 19, 23 and 29 in its
// bits 0 to 7, and a prime p = 30q + r crosses only its multiples p * m with m coprime to 30, eight to a turn
// of the wheel (cofactors 30j + 1 to 30j + 29).
#pragma once
#include <array>
#include <cstdint>

namespace tamsel {

inline constexpr std::uint32_t kWheelResidues[8] = {1, 7, 11, 13, 17, 19, 23, 29};

inline std::uint64_t PrimeOf(std::uint64_t q, std::uint32_t c) { return 30 * q + kWheelResidues[c]; }

// Modulus 30, or 210 (48 cofactors in 210) for the primes that cross hit by hit, see sieve_hit_primes.h.
constexpr bool Coprime(std::uint32_t modulus, std::uint32_t m) {
  return m % 2 != 0 && m % 3 != 0 && m % 5 != 0 && (modulus == 30 || m % 7 != 0);
}

// For any cofactor modulo 30 or 210: how far up the next one coprime to the modulus lies, and its wheel
// position (for a residue coprime to 30: 0 and its class).
struct TRoundUp {
  std::uint8_t Add, Wheel;
};
template <std::uint32_t Modulus>
inline constexpr auto kRoundUp = [] {
  std::array<TRoundUp, Modulus> table{};
  for (std::uint32_t m = 0, w = 0, next = 1; m < Modulus; ++m) {
    if (m > next) for (++w, ++next; !Coprime(Modulus, next); ++next) {}
    table[m] = {static_cast<std::uint8_t>(next - m), static_cast<std::uint8_t>(w)};
  }
  return table;
}();

// q * 8 + c of a prime above 5.
inline std::uint32_t QClassOf(std::uint64_t p) {
  return static_cast<std::uint32_t>(p / 30 << 3 | kRoundUp<30>[p % 30].Wheel);
}

// For p = 30q + r (r the residue of class c), the multiple with cofactor 30j + kWheelResidues[w] lies in byte
// j * p + q * kWheelResidues[w] + r * kWheelResidues[w] div 30. kSpan[c][w][k]: from a multiple at wheel
// position w, the k-th multiple on lies q * GapSum + CorrectionSum bytes further, and Mask clears its bit.
struct TSpan {
  std::uint8_t GapSum, CorrectionSum, Mask;
};
inline constexpr auto kSpan = [] {
  const auto cofactor = [](std::uint32_t w, std::uint32_t k) {
    return kWheelResidues[(w + k) % 8] + 30 * ((w + k) / 8);
  };
  std::array<std::array<std::array<TSpan, 9>, 8>, 8> span{};
  for (std::uint32_t cw = 0; cw < 64; ++cw) {
    const std::uint32_t r = kWheelResidues[cw / 8], first = cofactor(cw % 8, 0);
    for (std::uint32_t k = 0; k <= 8; ++k) {
      const std::uint32_t m = cofactor(cw % 8, k);
      span[cw / 8][cw % 8][k] = {static_cast<std::uint8_t>(m - first),
                                 static_cast<std::uint8_t>(r * m / 30 - r * first / 30),
                                 static_cast<std::uint8_t>(~(1u << kRoundUp<30>[r * m % 30].Wheel))};
    }
  }
  return span;
}();

// The first multiple p * m >= start with m coprime to the modulus: its byte and m's wheel position.
struct TMultiple {
  std::uint64_t Byte;
  std::uint32_t Wheel;
};
template <std::uint32_t Modulus = 30>
inline TMultiple FirstMultiple(std::uint64_t p, std::uint64_t start) {
  const std::uint64_t cofactor = start / p + (start % p != 0 ? 1 : 0);
  const TRoundUp up = kRoundUp<Modulus>[cofactor % Modulus];
  return {(cofactor + up.Add) * p / 30, up.Wheel};
}

// The block being sieved, as every kind of prime sees it: Bytes holds its Length bytes (the run's last block
// may be shorter than 2^Shift), then the bytes that turns reach past it.
struct TBlock {
  std::uint8_t* Bytes;
  std::uint64_t Length, FirstByte, Index, Last;  // Index and Last from the run's first block
  std::uint32_t Shift;
};

// Crosses the whole turns of a prime of class C that start before `end`, from the one starting at byte b;
// returns the start of the next. The class known at compile time keeps the eight offsets in registers.
template <std::uint32_t C>
inline std::uint64_t CrossTurns(std::uint8_t* bytes, std::uint64_t end, std::uint64_t q, std::uint64_t b) {
  constexpr auto& kTurn = kSpan[C][0];
  std::uint64_t o[8];
  for (int k = 0; k < 8; ++k) o[k] = q * kTurn[k].GapSum + kTurn[k].CorrectionSum;
  for (; b < end; b += 30 * q + kWheelResidues[C]) {
    for (int k = 0; k < 8; ++k) bytes[b + o[k]] &= kTurn[k].Mask;
  }
  return b;
}

// The turn holding the multiple `offset` bytes into a block (cofactor at wheel position `wheel`) starts
// q * (residue - 1) + r * residue div 30 bytes before it. Returns that start; when it lies before the block,
// crosses the rest of the turn now and returns the start of the next turn.
inline std::uint64_t TurnStart(std::uint8_t* bytes, std::uint64_t q, std::uint32_t c, std::uint64_t offset,
                               std::uint32_t wheel) {
  const std::uint32_t residue = kWheelResidues[wheel];
  const std::uint64_t before = q * (residue - 1) + kWheelResidues[c] * residue / 30;
  if (offset >= before) return offset - before;
  for (std::uint32_t k = 0; wheel + k < 8; ++k) {
    const TSpan& span = kSpan[c][wheel][k];
    bytes[offset + q * span.GapSum + span.CorrectionSum] &= span.Mask;
  }
  return offset - before + PrimeOf(q, c);
}

}  // namespace tamsel
