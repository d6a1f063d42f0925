// The primes longer than a block whose turns the level 2 cache still holds
// wait in buckets for the block where their next turn starts, then cross
// that turn whole, reaching into the bytes kept after the block.
#pragma once
#include <cstdint>
#include <vector>

#include "engines/sieve_buckets.h"
#include "engines/sieve_wheel.h"

namespace tamsel {

class TTurnWaitingPrimes {
 public:
  void Reset(const TPrimeList& primes, std::uint32_t shift);  // which outlives this
  void Place(const TBlock& block, std::uint64_t start);
  void Activate(const TBlock& block);
  void Cross(const TBlock& block);

 private:
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass);
  const TPrimeList* primes_ = nullptr;
  TPrimeList::TCursor active_;  // the first prime still waiting for its square
  TBuckets buckets_;
};

}  // namespace tamsel
