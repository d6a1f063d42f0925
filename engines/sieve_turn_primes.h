// The primes shorter than a block start turns of the wheel in every block:
// each crosses the whole turns (8 multiples in p bytes) that start in the
// block, the last ones reaching past its end into the bytes kept for the
// blocks after it, so that no turn is cut in two.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/sieve_wheel.h"

namespace tamsel {

class TTurnPrimes {
 public:
  // q = p div 30 of each prime, by class, ascending.
  using TByClass = std::array<std::vector<std::uint32_t>, 8>;
  void Reset(const TByClass& primes);
  void Place(const TBlock& block, std::uint64_t start);
  void Activate(const TBlock& block);
  // Crosses the turns that start before byte `end` of the block; at the
  // block's end, moves on to the next block.
  void Cross(const TBlock& block, std::uint64_t end);

 private:
  struct TPrime {
    std::uint32_t Q;
    std::uint32_t Next;  // the first byte of its next turn, from the block's first
  };
  std::vector<TPrime> primes_[8];
  std::size_t active_[8] = {};  // the others wait for their squares
};

}  // namespace tamsel
