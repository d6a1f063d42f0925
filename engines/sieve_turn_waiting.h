// The primes longer than a piece whose turns the level 2 cache still holds wait in buckets, a set per class (so
// that turns are crossed by constants), for the block where their next turn starts, then cross it whole.
#pragma once
#include "engines/sieve_buckets.h"

namespace tamsel {

// A turn longer than the bytes kept after a block goes in two halves of four multiples, each waiting on its
// own, so that the bytes kept need be only as long as a half. The tag and set tell whole turns (kind 0),
// first halves (1) and second halves (2) apart.
class TTurnWaitingPrimes : public TBucketPrimes<TTurnWaitingPrimes, 24, 30> {
 public:
  // A turn or half starts at most two turns (2p bytes) past a block's first byte.
  static std::uint64_t Reach(std::uint64_t p) { return 2 * p; }
  // Waits for the block where the turn or half holding that multiple starts.
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    const std::uint64_t q = qClass >> 3;
    const std::uint32_t c = qClass & 7, half = wheel & 4;
    const bool whole = TurnOffset(q, c, 7) < block.Beyond;
    const std::uint64_t start = TurnStart(block.Bytes, q, c, offset, wheel, whole ? 0 : half, whole ? 8 : half + 4);
    TBucketPrimes::Wait(block, start, whole ? 0 : start > offset ? 2 - half / 4 : 1 + half / 4, qClass);
  }
  // Each crosses the turns or halves that start in the block. A first half may lead to a second in the same
  // block, which comes after it; a second half never does: it is at least 0.43p long, and p > Beyond >= 3 blocks.
  void Cross(const TBlock& block) {
    [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
      ((CrossKind<C, 0>(block), CrossKind<C, 1>(block), CrossKind<C, 2>(block)), ...);
    }(std::make_integer_sequence<std::uint32_t, 8>());
  }

 private:
  template <std::uint32_t C, std::uint32_t Kind>
  void CrossKind(const TBlock& block) {
    buckets_.Drain(C | Kind << 3, block.Index, [&](TWaiting waiting) {
      const std::uint64_t q = waiting.Prime >> 3, start = waiting.OffsetTag >> kTagBits;
      if constexpr (Kind == 0) {
        TBucketPrimes::Wait(block, CrossTurns<C>(block.Bytes, std::uint64_t{1} << block.Shift, q, start), 0, waiting.Prime);
      } else {
        constexpr std::uint32_t first = Kind == 1 ? 0 : 4;
        const std::uint64_t turn = start - TurnOffset(q, C, first);  // may wrap
        for (std::uint32_t k = first; k < first + 4; ++k) block.Bytes[turn + TurnOffset(q, C, k)] &= kTurn[C][k].Mask;
        TBucketPrimes::Wait(block, turn + TurnOffset(q, C, first + 4), 3 - Kind, waiting.Prime);
      }
    });
  }
};

}  // namespace tamsel
