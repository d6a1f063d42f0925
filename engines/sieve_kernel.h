// The inner loops shared by every sieve: a pre-sieved pattern for the
// smallest primes, crossing out the multiples on a modulo-30 wheel with each
// prime's next multiple carried from one block to the next, and
// word-at-a-time scans.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
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

// Crossing-out state for consecutive blocks of `stride` numbers. Every
// crossing prime p lies above 5, and 2, 3 and 5 are always presieved when
// one exists, so only the multiples p * m with m coprime to 30 need a write:
// 8 writes per 30p numbers, a turn of the modulo-30 wheel. Each prime keeps
// the offset of its next such multiple and the wheel position of its
// cofactor m.
//
// Primes below stride / 6 are visited in every block: the smallest chunk by
// chunk, so that the chunk stays in the level 1 cache; those with many hits
// eight writes (a whole turn of the wheel) at a time; those with at most
// kFewHitClasses hits without a loop. Primes from stride / 6 to the stride
// hit a block at most twice, and many blocks not at all: each waits in a
// bucket for the block that holds its next multiple, so that a block costs
// them only their hits.
//
// A set may hold only one of the two kinds, as the parallel engine needs:
// each worker keeps a set of visited primes (VisitedOnly) and skips the
// blocks the others take, and groups of waiting primes (WaitingOnly),
// shared by all workers, cross every block in order. A VisitedOnly set
// also tracks each prime's first multiple from block to block without a
// division, so that skipping blocks costs little; its blocks must start
// above every prime it holds (it crosses multiples below p * p too, which
// are composites only then).
class TCrossingSet {
 public:
  enum class TKinds { All, VisitedOnly, WaitingOnly };

  TCrossingSet() = default;
  // Takes the primes above presievedUpTo, which must be at least 5 when any
  // such prime exists, of the given kinds; of the waiting primes, only every
  // parts-th one from the part-th on (in ascending order, from 0).
  TCrossingSet(const TPrimeFound& primes, std::uint64_t presievedUpTo, std::uint64_t stride,
               TKinds kinds = TKinds::All, std::uint32_t part = 0, std::uint32_t parts = 1);

  // Positions every prime at its first multiple p * m at or above
  // max(low, p * p) with m coprime to 30 (one division per prime).
  void StartAt(std::uint64_t low);

  // Crosses out the multiples inside table[0, length) after skipping
  // `skipBlocks` whole blocks (VisitedOnly sets only), then moves on to the
  // next block. A block shorter than the stride must be the last one
  // crossed.
  // `writer` tells which lanes the primes passed on go to (see kWriters).
  void Cross(std::uint8_t* table, std::size_t length, std::uint64_t skipBlocks = 0,
             std::uint32_t writer = 0);

  std::size_t Size() const;

  // Classes of visited primes crossed without a loop: class c holds the
  // primes that hit a block at most kFewHitClasses - c times. Up to 8 such
  // writes cost less than a turn loop's mispredicted exit.
  static constexpr int kFewHitClasses = 8;
  // Rings of buckets: ring h holds the primes that hit a block at most
  // h + 1 times (more rings measured slower than visiting those primes).
  static constexpr int kBucketHits = 2;
  // Buckets in a ring: a prime's next multiple lies less than 7 strides
  // beyond the start of the block of its last one.
  static constexpr std::uint32_t kBuckets = 8;
  // Parallel workers that take turns with one set each add the primes they
  // pass on to lanes of their own (by worker number modulo kWriters): memory
  // one processor writes and the next reads has to move between their
  // caches, while a lane's memory is mostly written by the processor that
  // wrote it before.
  static constexpr std::uint32_t kWriters = 2;

  // A visited prime: its next multiple's offset from the start of the
  // current block and the wheel position (0..7 for the residues 1, 7, 11,
  // 13, 17, 19, 23, 29 of the cofactor modulo 30).
  struct TVisited {
    std::uint64_t Next;
    std::uint32_t Prime;  // below 2^32, as every base prime of a 64-bit search
    std::uint32_t Wheel;
  };
  // A prime in the bucket of the block that holds its next multiple: eight
  // bytes, since buckets are mostly memory traffic.
  struct TWaiting {
    // The prime's index in its ring's Primes (below 2^29, as there are
    // fewer primes below 2^32) times 8, plus the wheel position.
    std::uint32_t IndexWheel;
    std::uint32_t Offset;  // from the start of that block, below the stride
    static TWaiting Make(std::size_t index, std::uint64_t offset, std::uint32_t wheel) {
      return {static_cast<std::uint32_t>(index << 3 | wheel), static_cast<std::uint32_t>(offset)};
    }
  };
  struct TBucketRing {
    // Ascending; those from FirstDormant on have their squares beyond the
    // current block and sit in no bucket yet.
    std::vector<std::uint32_t> Primes;
    std::size_t FirstDormant = 0;
    // A bucket is made of one lane per writer: writer w adds to lane w
    // only. Lane w of bucket b holds Filled[w][b] primes; its vector's size
    // is its capacity, so that emptying a bucket writes through plain
    // pointers.
    std::vector<TWaiting> Buckets[kWriters][kBuckets];
    std::size_t Filled[kWriters][kBuckets] = {};
    void Clear();
    void Add(std::uint32_t writer, std::uint32_t bucket, const TWaiting& waiting);
    // Makes room for `count` more primes in every bucket of the writer.
    void Reserve(std::uint32_t writer, std::size_t count);
  };

 private:
  // Positions the waiting primes for the block starting at low.
  void PlaceWaiting(std::uint64_t low);
  void CrossVisited(std::uint8_t* table, std::size_t length, std::uint64_t skipBlocks);
  void AddDue(TBucketRing& ring, std::size_t length);
  template <int MaxHits>
  void EmptyBucket(TBucketRing& ring, std::uint8_t* table);
  template <int... Ring>
  void EmptyBuckets(std::uint8_t* table, std::size_t length, std::integer_sequence<int, Ring...>);
  void CrossLastBucket(TBucketRing& ring, std::uint8_t* table, std::size_t length);

  std::uint64_t stride_ = 0;
  double inverseStride_ = 0;
  std::vector<TVisited> visited_;  // ascending
  // For sets that skip blocks (VisitedOnly): for each visited prime, the
  // offset of its first multiple from the current block's start and that
  // multiple's cofactor modulo 30, kept up to date block by block without a
  // division (see AdvanceFirstMultiples).
  struct TFirstMultiples {
    std::vector<std::int32_t> Offset;      // (-low) mod p
    std::vector<std::int32_t> Cofactor30;  // ((low + Offset) / p) mod 30
    std::vector<std::int32_t> Prime;
    // For a step of one block ([0]) and of two blocks ([1]): the step mod p
    // and (the step div p) mod 30.
    std::vector<std::int32_t> StepModP[2];
    std::vector<std::int32_t> StepDivP30[2];
  } first_;
  bool tracksFirst_ = false;
  std::uint64_t firstLag_ = 0;  // blocks the first multiples lag behind
  void StartFirstMultiples(std::uint64_t low);
  void AdvanceFirstMultiples(std::uint64_t blocks);
  // Puts the first `count` visited primes at their first multiples on the
  // wheel from the current block's start.
  void PlaceVisitedFromFirstMultiples(std::size_t count);
  template <int Hits>
  void CrossFewHitsFromFirst(std::uint8_t* table, std::size_t length, std::size_t from,
                             std::size_t to);
  // Visited primes below chunkEnd_ are crossed chunk by chunk; from
  // classStart_[c] on they are crossed without a loop.
  std::size_t chunkEnd_ = 0;
  std::size_t classStart_[kFewHitClasses] = {};
  TBucketRing rings_[kBucketHits];
  std::uint64_t low_ = 0;   // the current block's first number
  std::uint64_t block_ = 0;  // the current block's bucket is block_ % kBuckets
  std::uint32_t writer_ = 0;  // the lanes primes go to
  std::uint8_t scratch_[1] = {};  // takes the writes that fall beyond a block
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
