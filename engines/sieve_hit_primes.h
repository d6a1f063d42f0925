// The largest primes hit a block at most once or twice: each waits in a
// bucket for the block that holds its next multiple, so that a block costs
// it only its hits. The two kinds differ by type, not at run time.
#pragma once
#include <cstdint>
#include <vector>

#include "engines/sieve_buckets.h"
#include "engines/sieve_wheel.h"

namespace tamsel {

template <int Hits>  // the most hits in one block: 1 or 2
class THitPrimes {
 public:
  void Reset(const TPrimeList& primes, std::uint32_t shift);  // which outlives this
  void Place(const TBlock& block, std::uint64_t start);
  void Activate(const TBlock& block);
  void Cross(const TBlock& block);

 private:
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    const std::uint64_t target = block.Index + (offset >> block.Shift);
    if (target > block.Last) return;  // beyond the run
    const std::uint64_t within = offset & ((std::uint64_t{1} << block.Shift) - 1);
    buckets_.Push(target, {static_cast<std::uint32_t>(within << 3 | wheel), qClass});
  }
  const TPrimeList* primes_ = nullptr;
  TPrimeList::TCursor active_;  // the first prime still waiting for its square
  TBuckets buckets_;
};

extern template class THitPrimes<1>;
extern template class THitPrimes<2>;

}  // namespace tamsel
