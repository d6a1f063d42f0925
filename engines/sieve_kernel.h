// The inner loops shared by every sieve: a pre-sieved pattern for the
// smallest primes, crossing out odd multiples with each prime's next
// multiple carried from one block to the next, and word-at-a-time scans.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/prime_records.h"

namespace tamsel {

// The primes 2 to 13 that do not exceed maxPrime, crossed out by copying a
// repeating pattern instead of one write per multiple.
class TPresieve {
 public:
  explicit TPresieve(std::uint64_t maxPrime);
  // table[i] := 0 when first + i is a multiple of a presieved prime, else 1.
  void Fill(std::uint8_t* table, std::uint64_t first, std::size_t count) const;
  // Largest presieved prime, 0 when none.
  std::uint64_t Largest() const { return largest_; }

 private:
  std::vector<std::uint8_t> pattern_;
  std::uint64_t period_ = 1;
  std::uint64_t largest_ = 0;
};

// Crossing-out state for consecutive blocks of `stride` numbers: for each
// odd prime above the presieved ones, the offset of its next odd multiple
// from the start of the current block. Requires 2 to be presieved.
class TCrossingSet {
 public:
  TCrossingSet() = default;
  TCrossingSet(const TPrimeFound& primes, std::uint64_t presievedUpTo, std::uint64_t stride);

  // Positions every prime at its first odd multiple at or above
  // max(low, p * p) (one division per prime).
  void StartAt(std::uint64_t low);

  // Crosses out the multiples inside table[0, length) after skipping
  // `skipBlocks` whole blocks, then moves on to the next block. A block
  // shorter than the stride must be the last one crossed.
  void Cross(std::uint8_t* table, std::size_t length, std::uint64_t skipBlocks = 0);

  std::size_t Size() const { return step_.size(); }

 private:
  std::uint64_t stride_ = 0;
  // Primes from classStart_[m] on hit a block at most 4 - m times (m = 0..3):
  // they are crossed without a loop, so no branch mispredicts per prime.
  std::size_t classStart_[4] = {0, 0, 0, 0};
  std::vector<std::uint64_t> prime_;
  std::vector<std::uint64_t> step_;      // 2p: odd multiples only
  std::vector<std::uint64_t> strideMod_; // stride mod 2p, for skipping blocks
  std::vector<std::uint64_t> next_;
};

// Number of nonzero bytes in table[0, count); every byte is 0 or 1.
std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count);

// Index of the last nonzero byte in table[0, count), or count when none.
std::size_t FindLastOne(const std::uint8_t* table, std::size_t count);

// Every prime up to limit (a plain sieve; for base primes of a few thousand).
TPrimeFound SmallPrimes(std::uint64_t limit);

// floor(sqrt(value)) computed in double precision, as the engines size
// their tables (above 2^53 the value is first rounded to a double).
std::uint64_t TruncatedSqrt(std::uint64_t value);

}  // namespace tamsel
