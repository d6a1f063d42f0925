#include "engines/sieve_hit_primes.h"

#include <algorithm>
#include <array>

namespace tamsel {

namespace {

// kSpan[c][w] cut to what a waiting prime needs, in eight bytes: the masks
// of its next two multiples and the distances to the second and third.
struct TWaitingStep {
  std::uint8_t Mask[2];
  std::uint8_t GapSum[2];
  std::uint8_t CorrectionSum[2];
  std::uint8_t Unused[2];
};
constexpr auto kWaitingSteps = [] {
  std::array<TWaitingStep, 64> steps{};
  for (std::uint32_t cw = 0; cw < 64; ++cw) {
    const auto& span = kSpan[cw / 8][cw % 8];
    steps[cw] = {{span[0].Mask, span[1].Mask},
                 {span[1].GapSum, span[2].GapSum},
                 {span[1].CorrectionSum, span[2].CorrectionSum},
                 {0, 0}};
  }
  return steps;
}();

// Clears the mask's bit in bytes[at], or in the spare byte when at lies
// beyond it, and tells whether at lies inside the block: no branch, which
// would mispredict about every other time here. A multiple crossed past
// the block is crossed early, which does no harm.
inline std::uint32_t CrossIfInside(std::uint8_t* bytes, std::uint64_t at, std::uint64_t size,
                                   std::uint64_t spare, std::uint8_t mask) {
  bytes[std::min(at, spare)] &= mask;
  return static_cast<std::uint32_t>((at - size) >> 63);
}

}  // namespace

template <int Hits>
void THitPrimes<Hits>::Reset(const TPrimeList& primes, std::uint32_t shift) {
  primes_ = &primes;
  // A pass moves a prime on by a gap (6 at most) or by two (10), 10(q + 1)
  // bytes; a first multiple lies at most 7p / 30 + 1 bytes on: below p / 2.
  const std::uint64_t longest = primes.Largest();
  buckets_.Reset(3 + (longest / 2 >> shift));
}

template <int Hits>
void THitPrimes<Hits>::Place(const TBlock& block, std::uint64_t start) {
  PlaceBefore(*primes_, active_, start, [&](std::uint64_t p, TMultiple m) {
    Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(p));
  });
}

template <int Hits>
void THitPrimes<Hits>::Activate(const TBlock& block) {
  ActivateUpTo(*primes_, active_, block.FirstByte + block.Length - 1, [&](std::uint64_t p, TMultiple m) {
    Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(p));
  });
}

// Each prime crosses its hit (the first lies inside the block), and with
// two hits the second if it lies inside too, then waits for the block of
// its next multiple; none waits beyond the run.
template <int Hits>
void THitPrimes<Hits>::Cross(const TBlock& block) {
  const std::uint64_t size = std::uint64_t{1} << block.Shift;
  std::uint8_t* bytes = block.Bytes;
  buckets_.Drain(block.Index, [&](const TWaiting* waiting, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint64_t b = waiting[i].OffsetWheel >> 3;
      std::uint32_t w = waiting[i].OffsetWheel & 7;
      const std::uint32_t qClass = waiting[i].QClass;
      const std::uint64_t q = qClass >> 3;
      const TWaitingStep& steps = kWaitingSteps[(qClass & 7) << 3 | w];
      const std::uint64_t second = b + q * steps.GapSum[0] + steps.CorrectionSum[0];
      bytes[b] &= steps.Mask[0];
      if constexpr (Hits == 1) {
        b = second;
        w = (w + 1) & 7;
      } else {
        const std::uint32_t inside = CrossIfInside(bytes, second, size, block.Spare, steps.Mask[1]);
        const std::uint64_t third = b + q * steps.GapSum[1] + steps.CorrectionSum[1];
        b = second + ((third - second) & (0 - std::uint64_t{inside}));  // no branch
        w = (w + 1 + inside) & 7;
      }
      const std::uint64_t target = block.Index + (b >> block.Shift);
      if (target <= block.Last) {
        buckets_.Push(target, {static_cast<std::uint32_t>((b & (size - 1)) << 3 | w), qClass});
      }
    }
  });
}

template class THitPrimes<1>;
template class THitPrimes<2>;

}  // namespace tamsel
