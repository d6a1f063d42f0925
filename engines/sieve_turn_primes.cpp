#include "engines/sieve_turn_primes.h"

#include <utility>

namespace tamsel {

namespace {

// One turn from byte b, with the class known at compile time so that the
// eight offsets stay in registers; returns the first byte of the next turn.
template <std::uint32_t C>
inline std::uint64_t CrossTurns(std::uint8_t* bytes, std::uint64_t length, std::uint64_t q,
                                std::uint64_t b) {
  if (b >= length) return b;
  constexpr auto& kTurn = kSpan[C][0];
  const std::uint64_t o[8] = {0,
                              q * 6 + kTurn[1].CorrectionSum,
                              q * 10 + kTurn[2].CorrectionSum,
                              q * 12 + kTurn[3].CorrectionSum,
                              q * 16 + kTurn[4].CorrectionSum,
                              q * 18 + kTurn[5].CorrectionSum,
                              q * 22 + kTurn[6].CorrectionSum,
                              q * 28 + kTurn[7].CorrectionSum};
  const std::uint64_t p = 30 * q + kWheelResidues[C];
  do {
    bytes[b] &= kTurn[0].Mask;
    bytes[b + o[1]] &= kTurn[1].Mask;
    bytes[b + o[2]] &= kTurn[2].Mask;
    bytes[b + o[3]] &= kTurn[3].Mask;
    bytes[b + o[4]] &= kTurn[4].Mask;
    bytes[b + o[5]] &= kTurn[5].Mask;
    bytes[b + o[6]] &= kTurn[6].Mask;
    bytes[b + o[7]] &= kTurn[7].Mask;
  } while ((b += p) < length);
  return b;
}

}  // namespace

void TTurnPrimes::Reset(const TByClass& primes) {
  for (std::uint32_t c = 0; c < 8; ++c) {
    primes_[c].clear();
    for (const std::uint32_t q : primes[c]) primes_[c].push_back({q, 0});
  }
}

// The primes whose squares lie below start go from their first multiple on;
// the others wait for their squares (Activate).
void TTurnPrimes::Place(const TBlock& block, std::uint64_t start) {
  for (std::uint32_t c = 0; c < 8; ++c) {
    for (active_[c] = 0; active_[c] < primes_[c].size(); ++active_[c]) {
      TPrime& prime = primes_[c][active_[c]];
      const std::uint64_t p = PrimeOf(prime.Q, c);
      if (p * p >= start) break;
      const TMultiple m = FirstMultiple(p, start);
      prime.Next = static_cast<std::uint32_t>(TurnStart(block.Bytes, prime.Q, c, m.Byte - block.FirstByte, m.Wheel));
    }
  }
}

// p * p has the cofactor p, at wheel position c.
void TTurnPrimes::Activate(const TBlock& block) {
  for (std::uint32_t c = 0; c < 8; ++c) {
    for (; active_[c] < primes_[c].size(); ++active_[c]) {
      TPrime& prime = primes_[c][active_[c]];
      const std::uint64_t byte = PrimeOf(prime.Q, c) * PrimeOf(prime.Q, c) / 30;
      if (byte >= block.FirstByte + block.Length) break;
      prime.Next = static_cast<std::uint32_t>(TurnStart(block.Bytes, prime.Q, c, byte - block.FirstByte, c));
    }
  }
}

void TTurnPrimes::Cross(const TBlock& block, std::uint64_t end) {
  const std::uint64_t size = end == block.Length ? std::uint64_t{1} << block.Shift : 0;
  [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
    (
        [&] {
          TPrime* primes = primes_[C].data();
          for (std::size_t i = 0; i < active_[C]; ++i) {
            primes[i].Next = static_cast<std::uint32_t>(
                CrossTurns<C>(block.Bytes, end, primes[i].Q, primes[i].Next) - size);
          }
        }(),
        ...);
  }(std::make_integer_sequence<std::uint32_t, 8>());
}

}  // namespace tamsel
