// The primes shorter than a piece cross, in every piece, the whole turns of the wheel (8 multiples in p bytes)
// that start in it, the last ones reaching past its end into the bytes kept after it: no turn is cut in two.
#pragma once
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "engines/sieve_buckets.h"

namespace tamsel {

class TTurnPrimes {
 public:
  struct TPrime { std::uint32_t Q, Next; };  // p div 30; the first byte of its next turn, from the block's first
  void Reset(const TPrimeList& primes, std::uint32_t /*shift*/) {
    for (auto at = primes.Begin(); at.Prime != 0; at = primes.Advanced(at))
      primes_[QClassOf(at.Prime) & 7].push_back({QClassOf(at.Prime) >> 3, 0});
  }
  // From the run's start on: primes whose squares lie below it go from their first multiple, the others from
  // their squares as their blocks come.
  void Place(const TBlock& block, std::uint64_t start) { active_ = {}; start_ = start; Activate(block); }
  void Activate(const TBlock& block) {
    const std::uint64_t start = start_, end = 30 * (block.FirstByte + block.Length);
    for (std::uint32_t c = 0; c < 8; ++c) {
      for (; active_[c] < primes_[c].size(); ++active_[c]) {
        TPrime& prime = primes_[c][active_[c]];
        const std::uint64_t p = PrimeOf(prime.Q, c);
        if (p * p >= end) break;
        const TMultiple m = p * p >= start ? TMultiple{p * p / 30, c} : FirstMultiple(p, start);
        prime.Next = static_cast<std::uint32_t>(TurnStart(block.Bytes, prime.Q, c, m.Byte - block.FirstByte, m.Wheel));
      }
    }
  }
  void Cross(const TBlock&) {}  // they cross piece by piece:
  // Crosses the turns that start before byte `end` of the block; at its end, moves on to the next block.
  void CrossPiece(const TBlock& block, std::uint64_t end) {
    const std::uint64_t shift = end == block.Length ? std::uint64_t{1} << block.Shift : 0;
    [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
      ((std::ranges::for_each(std::span(primes_[C].data(), active_[C]), [&](TPrime& p) {
         p.Next = static_cast<std::uint32_t>(CrossTurns<C>(block.Bytes, end, p.Q, p.Next) - shift);
       })), ...);
    }(std::make_integer_sequence<std::uint32_t, 8>());
  }

 private:
  std::array<std::vector<TPrime>, 8> primes_;  // by class, ascending
  std::array<std::size_t, 8> active_{};        // the others wait for their squares
  std::uint64_t start_ = 0;
};

}  // namespace tamsel
