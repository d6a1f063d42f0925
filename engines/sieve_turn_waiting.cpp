#include "engines/sieve_turn_waiting.h"

namespace tamsel {

void TTurnWaitingPrimes::Reset(const TPrimeList& primes, std::uint32_t shift) {
  primes_ = &primes;
  // A turn start lies at most two turns (2p bytes) past a block's first byte.
  const std::uint64_t longest = primes.Largest();
  buckets_.Reset(3 + (2 * longest >> shift));
}

void TTurnWaitingPrimes::Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel,
                              std::uint32_t qClass) {
  const std::uint64_t b = TurnStart(block.Bytes, qClass >> 3, qClass & 7, offset, wheel);
  const std::uint64_t target = block.Index + (b >> block.Shift);
  if (target > block.Last) return;  // beyond the run
  buckets_.Push(target, {static_cast<std::uint32_t>(b & ((std::uint64_t{1} << block.Shift) - 1)) << 3, qClass});
}

void TTurnWaitingPrimes::Place(const TBlock& block, std::uint64_t start) {
  PlaceBefore(*primes_, active_, start, [&](std::uint64_t p, TMultiple m) {
    Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(p));
  });
}

void TTurnWaitingPrimes::Activate(const TBlock& block) {
  ActivateUpTo(*primes_, active_, block.FirstByte + block.Length - 1, [&](std::uint64_t p, TMultiple m) {
    Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(p));
  });
}

void TTurnWaitingPrimes::Cross(const TBlock& block) {
  const std::uint64_t size = std::uint64_t{1} << block.Shift;
  buckets_.Drain(block.Index, [&](const TWaiting* waiting, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t qClass = waiting[i].QClass;
      const std::uint64_t b =
          CrossTurn(block.Bytes, size, qClass >> 3, qClass & 7, waiting[i].OffsetWheel >> 3);
      const std::uint64_t target = block.Index + (b >> block.Shift);
      if (target <= block.Last) buckets_.Push(target, {static_cast<std::uint32_t>(b & (size - 1)) << 3, qClass});
    }
  });
}

}  // namespace tamsel
