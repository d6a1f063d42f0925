// The primes longer than a piece whose turns the level 2 cache still holds
// wait in buckets for the block where their next turn starts, then cross
// their turns whole, reaching into the bytes kept after the block.
#pragma once
#include <cstdint>

#include "engines/sieve_buckets.h"
#include "engines/sieve_wheel.h"

namespace tamsel {

class TTurnWaitingPrimes : public TBucketPrimes<TTurnWaitingPrimes> {
 public:
  // A turn start lies at most two turns (2p bytes) past a block's first byte.
  void Reset(const TPrimeList& primes, std::uint32_t shift) {
    TBucketPrimes::Reset(primes, 3 + (2 * primes.Largest() >> shift));
  }
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    WaitAt(block, TurnStart(block.Bytes, qClass >> 3, qClass & 7, offset, wheel), qClass);
  }
  void Cross(const TBlock& block) {
    buckets_.Drain(block.Index, [&](const TWaiting* waiting, std::uint32_t count) {
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t qClass = waiting[i].QClass;
        WaitAt(block, CrossTurn(block.Bytes, std::uint64_t{1} << block.Shift, qClass >> 3, qClass & 7,
                                waiting[i].OffsetWheel >> 3), qClass);
      }
    });
  }

 private:
  // In the bucket of the block where the turn starting at b lies; none
  // waits beyond the run.
  void WaitAt(const TBlock& block, std::uint64_t b, std::uint32_t qClass) {
    const std::uint64_t target = block.Index + (b >> block.Shift);
    const std::uint64_t within = b & ((std::uint64_t{1} << block.Shift) - 1);
    if (target <= block.Last) buckets_.Push(target, {static_cast<std::uint32_t>(within << 3), qClass});
  }
};

}  // namespace tamsel
