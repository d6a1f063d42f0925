// The primes longer than a piece whose turns the level 2 cache still holds wait in buckets for the block
// where their next turn starts, then cross their turns whole, reaching into the bytes kept after the block.
#pragma once
#include "engines/sieve_buckets.h"

namespace tamsel {

class TTurnWaitingPrimes : public TBucketPrimes<TTurnWaitingPrimes> {
 public:
  // A turn start lies at most two turns (2p bytes) past a block's first byte.
  static std::uint64_t Reach(std::uint64_t p) { return 2 * p; }
  // Waits for the block where the turn holding that multiple starts.
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    TBucketPrimes::Wait(block, TurnStart(block.Bytes, qClass >> 3, qClass & 7, offset, wheel), 0, qClass);
  }
  // Each crosses the turns that start in the block.
  void Cross(const TBlock& block) {
    std::uint8_t* bytes = block.Bytes;
    const std::uint64_t size = std::uint64_t{1} << block.Shift;
    buckets_.Drain(block.Index, [&](TWaiting waiting) {
      const std::uint32_t c = waiting.QClass & 7;
      const std::uint64_t q = waiting.QClass >> 3;
      const auto& turn = kSpan[c][0];
      std::uint64_t b = waiting.OffsetWheel >> 3;
      for (; b < size; b += PrimeOf(q, c)) {
        for (int k = 0; k < 8; ++k) bytes[b + q * turn[k].GapSum + turn[k].CorrectionSum] &= turn[k].Mask;
      }
      TBucketPrimes::Wait(block, b, 0, waiting.QClass);
    });
  }
};

}  // namespace tamsel
