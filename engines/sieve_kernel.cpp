#include "engines/sieve_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tamsel {

namespace {

constexpr std::uint64_t kPresievePrimes[] = {2, 3, 5, 7, 11, 13};

std::uint64_t LoadWord(const std::uint8_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Sum of the eight byte lanes of a word whose lanes hold at most 255 each.
std::uint64_t SumLanes(std::uint64_t word) {
  const std::uint64_t pairs = (word & 0x00FF00FF00FF00FFULL) + ((word >> 8) & 0x00FF00FF00FF00FFULL);
  return (pairs * 0x0001000100010001ULL) >> 48;
}

}  // namespace

std::uint64_t TruncatedSqrt(std::uint64_t value) {
  return static_cast<std::uint64_t>(std::sqrt(static_cast<double>(value)));
}

TPresieve::TPresieve(std::uint64_t maxPrime) {
  for (const std::uint64_t p : kPresievePrimes) {
    if (p > maxPrime) break;
    period_ *= p;
    largest_ = p;
  }
  pattern_.assign(period_, 1);
  for (const std::uint64_t p : kPresievePrimes) {
    if (p > largest_) break;
    for (std::uint64_t i = 0; i < period_; i += p) pattern_[i] = 0;
  }
}

void TPresieve::Fill(std::uint8_t* table, std::uint64_t first, std::size_t count) const {
  std::size_t phase = static_cast<std::size_t>(first % period_);
  while (count > 0) {
    const std::size_t piece = std::min<std::size_t>(count, period_ - phase);
    std::memcpy(table, pattern_.data() + phase, piece);
    table += piece;
    count -= piece;
    phase = 0;
  }
}

TCrossingSet::TCrossingSet(const TPrimeFound& primes, std::uint64_t presievedUpTo,
                           std::uint64_t stride)
    : stride_(stride) {
  for (const std::uint64_t p : primes) {
    if (p <= presievedUpTo) continue;
    prime_.push_back(p);
    step_.push_back(2 * p);
    strideMod_.push_back(stride % (2 * p));
  }
  next_.assign(prime_.size(), 0);
  // A step of at least stride / hits leaves room for at most `hits` hits.
  for (std::size_t m = 0; m < 4; ++m) {
    const std::uint64_t hits = 4 - m;
    const std::uint64_t minStep = (stride + hits - 1) / hits;
    classStart_[m] = static_cast<std::size_t>(
        std::lower_bound(step_.begin(), step_.end(), minStep) - step_.begin());
  }
}

void TCrossingSet::StartAt(std::uint64_t low) {
  for (std::size_t i = 0; i < prime_.size(); ++i) {
    const std::uint64_t p = prime_[i];
    std::uint64_t m = std::max(low, p * p);
    const std::uint64_t r = m % p;
    if (r != 0) m += p - r;
    if ((m & 1) == 0) m += p;
    next_[i] = m - low;
  }
}

namespace {

// Moves one block on: keeps j when it lies beyond the block, else wraps it
// to the same residue modulo the step.
inline std::uint64_t SkipBlock(std::uint64_t j, std::uint64_t stride, std::uint64_t step,
                               std::uint64_t strideMod) {
  if (j >= stride) return j - stride;
  j += step - strideMod;
  // Only a first multiple p * p still ahead leaves j beyond one step.
  if (j >= step) {
    j -= step;
    if (j >= step) j %= step;
  }
  return j;
}

// Crosses out up to Hits multiples without branching: a multiple beyond the
// block is written into a scratch byte instead.
template <int Hits>
inline std::uint64_t CrossFewHits(std::uint8_t* table, std::size_t length, std::uint64_t j,
                                  std::uint64_t step) {
  std::uint8_t scratch;
  for (int h = 0; h < Hits; ++h) {
    const bool inside = j < length;
    std::uint8_t* target = inside ? table + j : &scratch;
    *target = 0;
    j += inside ? step : 0;
  }
  (void)scratch;
  return j;
}

inline std::uint64_t CrossManyHits(std::uint8_t* table, std::size_t length, std::uint64_t j,
                                   std::uint64_t step) {
  for (; j + 3 * step < length; j += 4 * step) {
    table[j] = 0;
    table[j + step] = 0;
    table[j + 2 * step] = 0;
    table[j + 3 * step] = 0;
  }
  for (; j < length; j += step) table[j] = 0;
  return j;
}

}  // namespace

void TCrossingSet::Cross(std::uint8_t* table, std::size_t length, std::uint64_t skipBlocks) {
  const std::uint64_t stride = stride_;
  const std::uint64_t* step = step_.data();
  const std::uint64_t* strideMod = strideMod_.data();
  std::uint64_t* next = next_.data();
  const auto crossRange = [&](std::size_t from, std::size_t to, auto crossOne) {
    for (std::size_t i = from; i < to; ++i) {
      std::uint64_t j = next[i];
      for (std::uint64_t k = 0; k < skipBlocks; ++k) j = SkipBlock(j, stride, step[i], strideMod[i]);
      j = crossOne(table, length, j, step[i]);
      next[i] = j - stride;  // wraps only after a short (final) block
    }
  };
  crossRange(0, classStart_[0], CrossManyHits);
  crossRange(classStart_[0], classStart_[1], CrossFewHits<4>);
  crossRange(classStart_[1], classStart_[2], CrossFewHits<3>);
  crossRange(classStart_[2], classStart_[3], CrossFewHits<2>);
  crossRange(classStart_[3], step_.size(), CrossFewHits<1>);
}

std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  // Byte lanes may add up at most 255 words before they could overflow.
  while (count - i >= 8) {
    const std::size_t words = std::min<std::size_t>((count - i) / 8, 255);
    std::uint64_t lanes = 0;
    for (std::size_t w = 0; w < words; ++w, i += 8) lanes += LoadWord(table + i);
    total += SumLanes(lanes);
  }
  for (; i < count; ++i) total += table[i];
  return total;
}

std::size_t FindLastOne(const std::uint8_t* table, std::size_t count) {
  std::size_t i = count;
  while (i % 8 != 0) {
    --i;
    if (table[i] != 0) return i;
  }
  while (i >= 8 && LoadWord(table + i - 8) == 0) i -= 8;
  while (i > 0) {
    --i;
    if (table[i] != 0) return i;
  }
  return count;
}

TPrimeFound SmallPrimes(std::uint64_t limit) {
  TPrimeFound primes;
  if (limit < 2) return primes;
  std::vector<std::uint8_t> composite(limit + 1, 0);
  for (std::uint64_t p = 2; p <= limit; ++p) {
    if (composite[p] != 0) continue;
    primes.push_back(p);
    if (p > limit / p) continue;
    for (std::uint64_t m = p * p; m <= limit; m += p) composite[m] = 1;
  }
  return primes;
}

}  // namespace tamsel
