// The wheel of 30 the kernel works on, in tables built at compile time: byte b holds 30b + 1, 7, 11, 13, 17, 19,
// 23 and 29 in bits 0 to 7, and p = 30q + r crosses only its multiples p * m with m coprime to 30, eight to a
// turn of the wheel (cofactors 30j + 1 to 30j + 29).
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

// For any cofactor modulo 30 or 210: how far up the next one coprime to the modulus lies, and its wheel position.
struct TRoundUp { std::uint8_t Add, Wheel; };
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
inline std::uint32_t QClassOf(std::uint64_t p) { return static_cast<std::uint32_t>(p / 30 << 3 | kRoundUp<30>[p % 30].Wheel); }

// For p = 30q + r (r the residue of class c), the multiple with cofactor 30j + kWheelResidues[k] lies in byte
// j * p + q * kWheelResidues[k] + r * kWheelResidues[k] div 30: kTurn[c][k] has it q * GapSum + CorrectionSum
// bytes after the turn's first (cofactor 30j + 1), and Mask clears its bit.
struct TSpan { std::uint8_t GapSum, CorrectionSum, Mask; };
inline constexpr auto kTurn = [] {
  std::array<std::array<TSpan, 8>, 8> turn{};
  for (std::uint32_t ck = 0; ck < 64; ++ck) {
    const std::uint32_t r = kWheelResidues[ck / 8], m = kWheelResidues[ck % 8];
    turn[ck / 8][ck % 8] = {static_cast<std::uint8_t>(m - 1), static_cast<std::uint8_t>(r * m / 30),
                            static_cast<std::uint8_t>(~(1u << kRoundUp<30>[r * m % 30].Wheel))};
  }
  return turn;
}();
// Multiple k of a turn, 8 for the next turn's first, in bytes from the turn's first.
inline std::uint64_t TurnOffset(std::uint64_t q, std::uint32_t c, std::uint32_t k) {
  return k == 8 ? PrimeOf(q, c) : q * kTurn[c][k].GapSum + kTurn[c][k].CorrectionSum;
}

// The first multiple p * m >= start with m coprime to the modulus: its byte and m's wheel position.
struct TMultiple { std::uint64_t Byte; std::uint32_t Wheel; };
template <std::uint32_t Modulus = 30>
inline TMultiple FirstMultiple(std::uint64_t p, std::uint64_t start) {
  const std::uint64_t cofactor = start / p + (start % p != 0 ? 1 : 0);
  return {(cofactor + kRoundUp<Modulus>[cofactor % Modulus].Add) * p / 30, kRoundUp<Modulus>[cofactor % Modulus].Wheel};
}

// The block being sieved, as every kind of prime sees it: Bytes holds its Length bytes (the run's last block
// may be shorter than 2^Shift), then 2^Shift - Length + Beyond bytes that turns may reach past it.
struct TBlock {
  std::uint8_t* Bytes;
  std::uint64_t Length, FirstByte, Index, Last, Beyond;  // Index and Last from the run's first block
  std::uint32_t Shift;
};

// Crosses the whole turns of a prime of class C that start before `end`, from the one starting at byte b;
// returns the start of the next. The class known at compile time keeps the eight offsets in registers.
template <std::uint32_t C>
inline std::uint64_t CrossTurns(std::uint8_t* bytes, std::uint64_t end, std::uint64_t q, std::uint64_t b) {
  std::uint64_t o[8];
  for (std::uint32_t k = 0; k < 8; ++k) o[k] = TurnOffset(q, C, k);
  for (; b < end; b += PrimeOf(q, C)) for (std::uint32_t k = 0; k < 8; ++k) bytes[b + o[k]] &= kTurn[C][k].Mask;
  return b;
}

// The multiple `offset` bytes into a block (cofactor at wheel position `wheel`) lies in the part of its turn
// made of multiples first to last - 1 (all eight by default). Returns that part's first byte; when it lies
// before the block, crosses the rest of the part now and returns the next part's first byte, beyond offset.
inline std::uint64_t TurnStart(std::uint8_t* bytes, std::uint64_t q, std::uint32_t c, std::uint64_t offset,
                               std::uint32_t wheel, std::uint32_t first = 0, std::uint32_t last = 8) {
  const std::uint64_t turn = offset - TurnOffset(q, c, wheel);  // may wrap
  if (turn + TurnOffset(q, c, first) <= offset) return turn + TurnOffset(q, c, first);
  for (std::uint32_t k = wheel; k < last; ++k) bytes[turn + TurnOffset(q, c, k)] &= kTurn[c][k].Mask;
  return turn + TurnOffset(q, c, last);
}

}  // namespace tamsel
