// The primes above the whole-turn limit cross one multiple at a time: each waits in a bucket for the block
// that holds its next multiple, so that a block costs it only its hits. The largest hit a block at most once
// or twice, which spares them the loop; the kinds differ by type.
#pragma once
#include "engines/sieve_buckets.h"

namespace tamsel {

// kSpan[c][w] cut to what a waiting prime needs, in eight bytes: masks of its next two multiples, distances
// to the second and third.
struct THitStep {
  std::uint8_t Mask[2], GapSum[2], CorrectionSum[2], Unused[2];
};
inline constexpr auto kHitSteps = [] {
  std::array<THitStep, 64> steps{};
  for (std::uint32_t cw = 0; cw < 64; ++cw) {
    const auto& span = kSpan[cw / 8][cw % 8];
    steps[cw] = {{span[0].Mask, span[1].Mask}, {span[1].GapSum, span[2].GapSum},
                 {span[1].CorrectionSum, span[2].CorrectionSum}, {0, 0}};
  }
  return steps;
}();

template <int Hits>  // the most hits in one block: 1, 2, or 0 for any number
class THitPrimes : public TBucketPrimes<THitPrimes<Hits>> {
 public:
  // A pass ends at most 6(q + 1) bytes past the block (10(q + 1) for two hits), a first multiple 7p / 30 + 1.
  static std::uint64_t Reach(std::uint64_t p) { return p / 2; }
  // Each crosses its hit (the first lies inside the block), with two hits the second too when it lies inside
  // (no branch, which would mispredict about every other time: one past the block goes to the spare byte or
  // is crossed early, which does no harm), then waits for its next block.
  void Cross(const TBlock& block) {
    const std::uint64_t size = std::uint64_t{1} << block.Shift;
    std::uint8_t* bytes = block.Bytes;
    this->buckets_.Drain(block.Index, [&](TWaiting waiting) {
      std::uint64_t b = waiting.OffsetWheel >> 3;
      std::uint32_t w = waiting.OffsetWheel & 7;
      const std::uint32_t c = waiting.QClass & 7;
      const std::uint64_t q = waiting.QClass >> 3;
      const THitStep& steps = kHitSteps[c << 3 | w];
      const std::uint64_t second = b + q * steps.GapSum[0] + steps.CorrectionSum[0];
      if constexpr (Hits != 0) bytes[b] &= steps.Mask[0];
      if constexpr (Hits == 0) {
        do {
          bytes[b] &= kSpan[c][w][0].Mask;
          b += q * kSpan[c][w][1].GapSum + kSpan[c][w][1].CorrectionSum;
          w = (w + 1) & 7;
        } while (b < size);
      } else if constexpr (Hits == 1) {
        b = second;
        w = (w + 1) & 7;
      } else {
        bytes[std::min(second, block.Spare)] &= steps.Mask[1];
        const auto inside = static_cast<std::uint32_t>((second - size) >> 63);
        const std::uint64_t third = b + q * steps.GapSum[1] + steps.CorrectionSum[1];
        b = second + ((third - second) & (0 - std::uint64_t{inside}));
        w = (w + 1 + inside) & 7;
      }
      this->Wait(block, b, w, waiting.QClass);
    });
  }
};

}  // namespace tamsel
