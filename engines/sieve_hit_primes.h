// The primes above the whole-turn limit cross one multiple at a time, each waiting in a bucket for the block of
// its next multiple; those that hit a block at most once or twice are kinds of their own, spared the loop.
#pragma once
#include "engines/sieve_buckets.h"

namespace tamsel {

// They turn on the wheel of 210, skipping also the cofactors divisible by 7, whose multiples the presieve has
// crossed: a seventh fewer hits. Step 48c + w, from p * m at position w (p = 30q + r of class c): the masks of
// it and the next multiple, the next two q * GapSum + CorrectionSum bytes on (byte(p * m) = q * m + r * m div
// 30), and how far on their steps lie. A waiting hit prime keeps its step as its tag and q as its prime.
struct THitStep {
  std::uint8_t Mask[2], GapSum[2], CorrectionSum[2];
  std::int8_t Next[2];
};
inline constexpr auto kHitSteps = [] {
  std::uint32_t m[50] = {}, n = 0;  // the cofactors coprime to 210 from 1 to 223
  for (std::uint32_t x = 1; n < 50; ++x) if (Coprime(210, x)) m[n++] = x;
  std::array<THitStep, 8 * 48> steps{};
  for (std::uint32_t cw = 0; cw < steps.size(); ++cw) {
    const std::uint32_t r = kWheelResidues[cw / 48], w = cw % 48;
    const auto u8 = [](std::uint32_t x) { return static_cast<std::uint8_t>(x); };
    const auto mask = [&](std::uint32_t k) { return u8(~(1u << kRoundUp<30>[r * m[w + k] % 30].Wheel)); };
    const auto bytes = [&](std::uint32_t k) { return u8(r * m[w + k] / 30 - r * m[w] / 30); };
    steps[cw] = {{mask(0), mask(1)}, {u8(m[w + 1] - m[w]), u8(m[w + 2] - m[w])}, {bytes(1), bytes(2)},
                 {static_cast<std::int8_t>((w + 1) % 48 - w), static_cast<std::int8_t>((w + 2) % 48 - w)}};
  }
  return steps;
}();

template <int Hits>  // the most hits in one block: 1, 2, or 0 for any number
class THitPrimes : public TBucketPrimes<THitPrimes<Hits>, 1, 210> {
 public:
  // A pass ends at most 10(q + 1) bytes past the block (20(q + 1) for two hits), a first multiple 11p / 30 + 1.
  static std::uint64_t Reach(std::uint64_t p) { return 20 * (p / 30 + 1); }
  // Each crosses its hit (the first lies inside the block), with two hits the second too when it lies inside
  // (no branch, which would mispredict every other time: one past the block clears no bit of the first's
  // byte, in the cache), then waits for its next block.
  void Cross(const TBlock& block) {
    // In locals: stores through bytes could alias the block and the buckets, which forced reloads per hit.
    const std::uint64_t shift = block.Shift, size = std::uint64_t{1} << shift, index = block.Index, last = block.Last;
    std::uint8_t* const bytes = block.Bytes;
    const auto lists = this->buckets_.View();
    this->buckets_.Drain(0, index, [&](TWaiting waiting) {
      std::uint64_t b = waiting.OffsetTag >> kTagBits;
      std::uint32_t step = waiting.OffsetTag & ((1u << kTagBits) - 1);
      const std::uint64_t q = waiting.Prime;
      const THitStep& steps = kHitSteps[step];
      const std::uint64_t second = b + q * steps.GapSum[0] + steps.CorrectionSum[0];
      if constexpr (Hits != 0) bytes[b] &= steps.Mask[0];
      if constexpr (Hits == 0) {
        for (; b < size; step += kHitSteps[step].Next[0]) {
          bytes[b] &= kHitSteps[step].Mask[0];
          b += q * kHitSteps[step].GapSum[0] + kHitSteps[step].CorrectionSum[0];
        }
      } else if constexpr (Hits == 1) {
        b = second;
        step += steps.Next[0];
      } else {
        const auto inside = static_cast<std::uint32_t>((second - size) >> 63);
        const std::uint64_t insideMask = 0 - std::uint64_t{inside};
        bytes[b + ((second - b) & insideMask)] &= static_cast<std::uint8_t>(steps.Mask[1] | ~insideMask);
        b = second + ((b + q * steps.GapSum[1] + steps.CorrectionSum[1] - second) & insideMask);
        step += steps.Next[inside];
      }
      const auto within = static_cast<std::uint32_t>(b & (size - 1));
      if (index + (b >> shift) <= last) lists.Push(0, index + (b >> shift), {within << kTagBits | step, waiting.Prime});
    });
  }
  // Placed: the step of its class and wheel position.
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    TBucketPrimes<THitPrimes<Hits>, 1, 210>::Wait(block, offset, (qClass & 7) * 48 + wheel, qClass >> 3);
  }
};

}  // namespace tamsel
