// The inner loops shared by every sieve.
//
// A segment is sieved as bits: only numbers coprime to 30 can be primes above
// 5, and there are eight of them in every 30 numbers, so byte b of the whole
// range holds 30b + 1, 7, 11, 13, 17, 19, 23 and 29 in its bits 0 to 7. A
// segment of s numbers then takes s / 30 bytes and stays in the level 1
// cache while its primes are crossed out. The smallest primes are crossed out
// by copying repeating patterns; the others cross only their multiples p * m
// with m coprime to 30, eight per 30p numbers.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engines/prime_records.h"

namespace tamsel {

inline constexpr std::uint32_t kWheelResidues[8] = {1, 7, 11, 13, 17, 19, 23, 29};

// The primes 7 and up that are cheaper to copy as patterns than to cross:
// those that do not exceed maxPrime, in groups whose patterns are small next
// to the work, workBytes bytes of segments in all.
class TPresieve {
 public:
  TPresieve(std::uint64_t maxPrime, std::uint64_t workBytes);
  // Clears in bytes[i] the bits of the multiples of the presieved primes
  // (the primes themselves too) in byte firstByte + i.
  void Fill(std::uint8_t* bytes, std::uint64_t firstByte, std::size_t count) const;
  // Largest presieved prime, at least 5: the wheel takes 2, 3 and 5.
  std::uint64_t Largest() const { return largest_; }

 private:
  std::vector<std::vector<std::uint8_t>> patterns_;  // one period each
  std::uint64_t largest_ = 5;
};

// y div divisor for every y below 2^40 (64 * divisor, divisor below 2^34), by a
// multiplication: the reciprocal's quotient is exact or one too large.
class TSmallQuotient {
 public:
  TSmallQuotient() = default;
  explicit TSmallQuotient(std::uint64_t divisor)
      : divisor_(divisor), reciprocal_(((std::uint64_t{1} << 40) + divisor - 1) / divisor) {}
  std::uint64_t Of(std::uint64_t y) const {
    const std::uint64_t guess = y * reciprocal_ >> 40;
    return guess - (guess * divisor_ > y ? 1 : 0);
  }

 private:
  std::uint64_t divisor_ = 1;
  std::uint64_t reciprocal_ = std::uint64_t{1} << 40;
};

// One segment's bits: Bytes[i] is byte FirstByte + i of the whole range,
// with every bit outside Low..High cleared. The primes 2, 3 and 5, which
// have no bits, count as found when they lie inside Low..High.
struct TSegmentBits {
  const std::uint8_t* Bytes = nullptr;
  std::size_t Length = 0;
  std::uint64_t FirstByte = 0;
  std::uint64_t Low = 0;
  std::uint64_t High = 0;
};

// Crosses out the multiples of base primes in consecutive segments of `step`
// numbers: segment k holds k * step + 1 .. (k + 1) * step. Each prime keeps
// its next multiple from one segment to the next. Most primes cross whole
// turns of the wheel (8 multiples in p bytes) that start in the segment; a
// turn may reach past its end, into the bytes the sieve keeps for the
// segments after it. Those below the segment's length start turns in every
// segment and are visited in each; those above it wait in a bucket for the
// segment where their next turn starts. The largest primes, with at most two
// hits, wait in a bucket for the segment that holds their next multiple, so
// that a segment costs them only their hits. The numbers of a segment and of
// the 64 after it must lie below 2^64.
class TSegmentSieve {
 public:
  TSegmentSieve() = default;
  // Primes cross whole turns when they hit a segment more than twice, or when
  // a turn takes at most this many bytes, which the level 2 cache still holds
  // (fastest from 10^10 to 10^13 with 2 MiB of it); the others wait per hit.
  static constexpr std::uint64_t kTurnBytes = 1 << 20;

  // Takes the primes (ascending, at most step) above the presieve; presieve
  // must outlive the sieve.
  TSegmentSieve(const TPrimeFound& primes, const TPresieve& presieve, std::uint64_t step,
                std::uint64_t turnBytes = kTurnBytes);

  // Positions every prime at its first multiple in segment k, or later.
  void StartAt(std::uint64_t segment);

  // Sieves the positioned segment, low..high (high at most its end; only the
  // last segment may be shorter), and moves on to the next segment. The
  // bits stay valid until the next call.
  TSegmentBits Sieve(std::uint64_t low, std::uint64_t high);

  // A prime is kept as q = p div 30 and its class c, the position of p mod
  // 30 among the residues (so p = 30q + kWheelResidues[c]). One that
  // crosses whole turns keeps the first byte of its next turn (see
  // CrossTurns); one that waits keeps the byte of its next multiple and the
  // wheel position of that multiple's cofactor.
  struct TVisited {
    std::uint32_t Q;
    std::uint32_t Next;  // from the current segment's first byte
  };
  // Eight bytes, since buckets are mostly memory traffic.
  struct TWaiting {
    std::uint32_t OffsetWheel;  // byte from its segment's first * 8 + wheel position
    std::uint32_t QClass;       // q * 8 + c
  };

  // Rings of buckets: ring h < kTurnRing holds the primes that hit a
  // segment at most h + 1 times; ring kTurnRing those that cross whole
  // turns but at most one per segment.
  static constexpr int kTurnRing = 2;

 private:
  static constexpr std::uint32_t kBuckets = 64;  // a power of two above the longest jump

  // A bucket grows only now and then: its size is the most primes it held.
  struct TBucket {
    std::unique_ptr<TWaiting[]> Data;
    std::uint32_t Filled = 0;
    std::uint32_t Capacity = 0;
    void Add(const TWaiting& waiting) {
      if (Filled == Capacity) Reserve(1);
      Data[Filled++] = waiting;
    }
    void Reserve(std::uint32_t more);
  };
  struct TBucketRing {
    std::vector<std::uint32_t> Primes;  // q * 8 + c, ascending primes
    std::size_t Active = 0;             // the others wait for their squares
    TBucket Buckets[kBuckets];
    std::uint32_t Ahead = 1;  // the most segments a pass moves a prime on
  };

  std::uint64_t FirstByteOf(std::uint64_t segment) const { return (segment * step_ + 1) / 30; }
  // Puts a prime at its multiple in byte `byte` (offset bytes from the
  // segment's first byte), whose cofactor has the given wheel position, in
  // the bucket of the segment whose bytes reach it; one of the turn ring at
  // the start of its turn.
  void Wait(TBucketRing& ring, std::uint64_t byte, std::uint64_t offset, std::uint32_t wheel,
            std::uint32_t qClass);
  // The offset of the turn holding a multiple `offset` bytes from the
  // segment's first byte, or of the next when that one starts before it.
  std::uint64_t TurnStart(std::uint64_t q, std::uint32_t c, std::uint64_t offset,
                          std::uint32_t wheel);
  void Activate(std::uint64_t firstByte, std::uint64_t lastByte);
  void CrossVisited(std::size_t length, std::uint32_t shift);
  template <int Ring>
  void EmptyBucket(TBucketRing& ring, std::size_t length);
  void CrossLastBucket(TBucketRing& ring, std::size_t length);

  const TPresieve* presieve_ = nullptr;
  std::uint64_t step_ = 0;
  std::vector<TVisited> visited_[8];  // those below the segment's length, by class, ascending
  std::size_t activeVisited_[8] = {};  // the others wait for their squares
  TBucketRing rings_[kTurnRing + 1];
  std::uint64_t segment_ = 0;
  // For the current segment: the bytes from its first byte to the first of
  // each following segment, and what finds the segment of a byte ahead.
  std::uint32_t aheadFirst_[kBuckets] = {};
  std::uint64_t aheadBase_ = 0;
  TSmallQuotient aheadQuotient_;  // by step
  std::uint64_t sharedByte_ = UINT64_MAX;  // the last segment's last byte
  std::uint8_t sharedBits_ = 0;            // and its bits, fully sieved
  // From window_[start_]: the segment's bytes, then those that turns reached
  // beyond it (reach_ in all at most). Each segment starts where the one
  // before ends, the bytes moving back to the start when the end comes too
  // near. The last byte is a spare that takes the crossings that miss.
  std::vector<std::uint8_t> window_;
  std::size_t start_ = 0;
  std::size_t reach_ = 0;
  std::size_t dropBytes_ = 0;
};

// The primes in a sieved segment.
std::uint64_t CountSegmentPrimes(const TSegmentBits& bits);
// 0 when there is none.
std::uint64_t HighestSegmentPrime(const TSegmentBits& bits);

// Calls found(prime) for every prime of the segment in ascending order.
template <typename F>
void ForEachSegmentPrime(const TSegmentBits& bits, F&& found) {
  for (const std::uint64_t p : {2, 3, 5}) {
    if (p >= bits.Low && p <= bits.High) found(p);
  }
  for (std::size_t i = 0; i < bits.Length; ++i) {
    for (unsigned byte = bits.Bytes[i]; byte != 0; byte &= byte - 1) {
      found(30 * (bits.FirstByte + i) + kWheelResidues[std::countr_zero(byte)]);
    }
  }
}

// table[v] := 1 for every prime v of the segment and 0 for the other numbers
// Low..High; table is indexed by the number itself.
void ExpandSegment(const TSegmentBits& bits, std::uint8_t* table);

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
