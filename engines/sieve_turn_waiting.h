// The primes longer than a piece whose turns the level 2 cache still holds wait in buckets for the block
// where their next turn starts, then cross their turns whole, reaching into the bytes kept after the block.
// Each class waits in buckets of its own, so that its turns are crossed by constants.
#pragma once
#include "engines/sieve_buckets.h"

namespace tamsel {

class TTurnWaitingPrimes : public TBucketPrimes<TTurnWaitingPrimes, 8, 30> {
 public:
  // A turn start lies at most two turns (2p bytes) past a block's first byte.
  static std::uint64_t Reach(std::uint64_t p) { return 2 * p; }
  // Waits for the block where the turn holding that multiple starts.
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    TBucketPrimes::Wait(block, TurnStart(block.Bytes, qClass >> 3, qClass & 7, offset, wheel), 0, qClass);
  }
  // Each crosses the turns that start in the block.
  void Cross(const TBlock& block) {
    [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
      (buckets_[C].Drain(block.Index, [&](TWaiting waiting) {
        TBucketPrimes::Wait(block, CrossTurns<C>(block.Bytes, std::uint64_t{1} << block.Shift, waiting.Prime >> 3,
                                                 waiting.OffsetTag >> kTagBits), 0, waiting.Prime);
      }), ...);
    }(std::make_integer_sequence<std::uint32_t, 8>());
  }
};

}  // namespace tamsel
