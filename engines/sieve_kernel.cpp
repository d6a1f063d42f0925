#include "engines/sieve_kernel.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

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

namespace {

// The modulo-30 wheel: the residues 1, 7, 11, 13, 17, 19, 23, 29 of the
// cofactors coprime to 30, indexed 0..7, and the gaps between neighbours.
constexpr std::uint32_t kResidue[8] = {1, 7, 11, 13, 17, 19, 23, 29};
constexpr std::uint32_t kGap[8] = {6, 4, 2, 4, 2, 4, 6, 2};

// Sum of `count` consecutive gaps from wheel position w.
constexpr std::uint32_t GapSum(std::uint32_t w, std::uint32_t count) {
  std::uint32_t sum = 0;
  for (std::uint32_t k = 0; k < count; ++k) sum += kGap[(w + k) % 8];
  return sum;
}

// For any cofactor c: how far up the next one coprime to 30 lies, and its
// wheel position.
struct TRoundUp {
  std::uint8_t Add;
  std::uint8_t Wheel;
};
constexpr auto kRoundUp = [] {
  std::array<TRoundUp, 30> table{};
  for (std::uint32_t r = 0; r < 30; ++r) {
    for (std::uint32_t w = 0; w < 8; ++w) {
      if (kResidue[w] >= r) {
        table[r] = {static_cast<std::uint8_t>(kResidue[w] - r), static_cast<std::uint8_t>(w)};
        break;
      }
    }
  }
  table[0] = {1, 0};  // 0 is a multiple of 30
  return table;
}();

// Fewest numbers spanned by hits + 1 consecutive multiples on the wheel, in
// units of p: a prime with p * kMinSpan[hits] >= stride hits a block of
// `stride` numbers at most `hits` times.
constexpr auto kMinSpan = [] {
  static_assert(TCrossingSet::kFewHitClasses <= 8);
  std::array<std::uint32_t, TCrossingSet::kFewHitClasses + 1> span{};
  for (std::uint32_t hits = 1; hits < span.size(); ++hits) {
    span[hits] = GapSum(0, hits);
    for (std::uint32_t w = 1; w < 8; ++w) span[hits] = std::min(span[hits], GapSum(w, hits));
  }
  return span;
}();

// kSpan[w][k]: the gaps of k steps from wheel position w added up, k = 0..8.
constexpr auto kSpan = [] {
  std::array<std::array<std::uint8_t, 9>, 8> table{};
  for (std::uint32_t w = 0; w < 8; ++w) {
    for (std::uint32_t k = 0; k <= 8; ++k) table[w][k] = static_cast<std::uint8_t>(GapSum(w, k));
  }
  return table;
}();

using TVisited = TCrossingSet::TVisited;

// Primes below kChunkedBelow hit nearly every cache line of a block: they
// cross blocks above kChunk numbers chunk by chunk, so that each chunk is
// written while it stays in the level 1 cache.
constexpr std::uint64_t kChunk = 16384;
constexpr std::uint64_t kChunkedBelow = 128;

// Writes 0 to table[at] when at < length, else to the scratch byte, and
// tells whether it was inside. The target address is picked by a mask, not
// a condition: compilers turn a conditional choice of target back into a
// branch, which mispredicts about every other time here.
inline std::uint32_t CrossIfInside(std::uintptr_t tableAddress, std::uintptr_t scratchAddress,
                                   std::uint64_t at, std::size_t length) {
  const std::uint32_t inside = at < length ? 1 : 0;
  const std::uintptr_t keep = 0 - static_cast<std::uintptr_t>(inside);
  const std::uintptr_t target = scratchAddress + ((tableAddress + at - scratchAddress) & keep);
  *reinterpret_cast<std::uint8_t*>(target) = 0;
  return inside;
}

// Crosses out up to Hits multiples without branching: every candidate
// position is computed, and one beyond the block is written into the
// scratch byte instead. Returns the number of hits.
template <int Hits>
inline std::uint32_t CrossFewHitsFrom(std::uint8_t* table, std::size_t length, std::uint64_t p,
                                      std::uint64_t j, const std::uint8_t* span,
                                      std::uint8_t* scratch) {
  const auto tableAddress = reinterpret_cast<std::uintptr_t>(table);
  const auto scratchAddress = reinterpret_cast<std::uintptr_t>(scratch);
  std::uint32_t hits = 0;
  for (int h = 0; h < Hits; ++h) {
    hits += CrossIfInside(tableAddress, scratchAddress, j + p * span[h], length);
  }
  return hits;
}

template <int Hits>
inline void CrossFewHits(std::uint8_t* table, std::size_t length, TVisited& prime,
                         std::uint8_t* scratch) {
  const std::uint64_t p = prime.Prime;
  const std::uint64_t j = prime.Next;
  const std::uint8_t* span = kSpan[prime.Wheel].data();
  const std::uint32_t hits = CrossFewHitsFrom<Hits>(table, length, p, j, span, scratch);
  // Positions only grow, so the hits were the first ones on the wheel.
  prime.Next = j + p * span[hits];
  prime.Wheel = (prime.Wheel + hits) % 8;
}

// Whole turns of the wheel, eight writes each, while the turn's last hit
// lies inside the block; then the at most seven hits left, without a branch.
inline void CrossManyHits(std::uint8_t* table, std::size_t length, TVisited& prime,
                          std::uint8_t* scratch) {
  const std::uint64_t p = prime.Prime;
  std::uint64_t j = prime.Next;
  const std::uint8_t* span = kSpan[prime.Wheel].data();
  // The hits of one turn from the current position, relative to it.
  const std::uint64_t o1 = p * span[1];
  const std::uint64_t o2 = p * span[2];
  const std::uint64_t o3 = p * span[3];
  const std::uint64_t o4 = p * span[4];
  const std::uint64_t o5 = p * span[5];
  const std::uint64_t o6 = p * span[6];
  const std::uint64_t o7 = p * span[7];
  if (j + o7 < length) {
    const std::uint64_t turn = 30 * p;
    for (const std::uint64_t limit = length - o7; j < limit; j += turn) {
      table[j] = 0;
      table[j + o1] = 0;
      table[j + o2] = 0;
      table[j + o3] = 0;
      table[j + o4] = 0;
      table[j + o5] = 0;
      table[j + o6] = 0;
      table[j + o7] = 0;
    }
  }
  const auto tableAddress = reinterpret_cast<std::uintptr_t>(table);
  const auto scratchAddress = reinterpret_cast<std::uintptr_t>(scratch);
  std::uint32_t hits = CrossIfInside(tableAddress, scratchAddress, j, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o1, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o2, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o3, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o4, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o5, length);
  hits += CrossIfInside(tableAddress, scratchAddress, j + o6, length);
  prime.Next = j + p * span[hits];
  prime.Wheel = (prime.Wheel + hits) % 8;
}

}  // namespace

TCrossingSet::TCrossingSet(const TPrimeFound& primes, std::uint64_t presievedUpTo,
                           std::uint64_t stride, TKinds kinds, std::uint32_t part,
                           std::uint32_t parts)
    : stride_(stride), inverseStride_(stride == 0 ? 0 : 1.0 / static_cast<double>(stride)) {
  std::uint64_t waitingSeen = 0;
  for (const std::uint64_t p : primes) {
    if (p <= presievedUpTo) continue;
    assert(p > 5);  // the wheel leaves the multiples of 2, 3 and 5 to the presieve
    // Ring h takes the primes from stride / kMinSpan[h + 1] on (at most
    // h + 1 hits) that the ring before does not; bucket offsets need
    // p <= stride.
    int ring = -1;
    if (p <= stride) {
      for (int h = kBucketHits - 1; h >= 0; --h) {
        if (p * kMinSpan[h + 1] >= stride) ring = h;
      }
    }
    if (ring >= 0) {
      const bool ours = waitingSeen++ % parts == part;
      if (kinds != TKinds::VisitedOnly && ours) {
        rings_[ring].Primes.push_back(static_cast<std::uint32_t>(p));
      }
    } else {
      if (kinds != TKinds::WaitingOnly) visited_.push_back({0, static_cast<std::uint32_t>(p), 0});
    }
  }
  // Visited primes lie below stride / 6, so below 2^31 for every 64-bit
  // search: the block by block bookkeeping fits 32-bit lanes.
  tracksFirst_ = kinds == TKinds::VisitedOnly;
  if (tracksFirst_) {
    for (const TVisited& prime : visited_) {
      const std::uint64_t p = prime.Prime;
      first_.Prime.push_back(static_cast<std::int32_t>(p));
      for (std::uint64_t blocks = 1; blocks <= 2; ++blocks) {
        first_.StepModP[blocks - 1].push_back(static_cast<std::int32_t>(blocks * stride % p));
        first_.StepDivP30[blocks - 1].push_back(static_cast<std::int32_t>(blocks * stride / p % 30));
      }
    }
    first_.Offset.resize(visited_.size());
    first_.Cofactor30.resize(visited_.size());
  }
  const auto firstWith = [&](auto predicate) {
    return static_cast<std::size_t>(
        std::partition_point(visited_.begin(), visited_.end(),
                             [&](const TVisited& prime) { return !predicate(prime.Prime); }) -
        visited_.begin());
  };
  chunkEnd_ = stride > kChunk ? firstWith([](std::uint64_t p) { return p >= kChunkedBelow; }) : 0;
  for (int c = 0; c < kFewHitClasses; ++c) {
    const std::uint64_t span = kMinSpan[kFewHitClasses - c];
    classStart_[c] = firstWith([&](std::uint64_t p) { return p * span >= stride; });
  }
}

std::size_t TCrossingSet::Size() const {
  std::size_t size = visited_.size();
  for (const TBucketRing& ring : rings_) size += ring.Primes.size();
  return size;
}

namespace {

// The first multiple p * m at or above max(low, p * p) with m coprime to 30:
// its offset from low and the wheel position of m.
inline TVisited FirstMultiple(std::uint64_t p, std::uint64_t low) {
  // Offsets only: p * m itself may lie beyond 2^64 near the top.
  std::uint64_t offset;
  std::uint64_t cofactor;
  if (low > p * p) {
    const std::uint64_t r = low % p;
    offset = r == 0 ? 0 : p - r;
    cofactor = low / p + (r == 0 ? 0 : 1);
  } else {
    offset = p * p - low;
    cofactor = p;
  }
  const TRoundUp up = kRoundUp[cofactor % 30];
  return {offset + p * up.Add, static_cast<std::uint32_t>(p), up.Wheel};
}

}  // namespace

void TCrossingSet::TBucketRing::Clear() {
  for (auto& lane : Filled) {
    for (std::size_t& filled : lane) filled = 0;
  }
}

void TCrossingSet::TBucketRing::Add(std::uint32_t writer, std::uint32_t bucket,
                                    const TWaiting& waiting) {
  auto& storage = Buckets[writer][bucket];
  std::size_t& filled = Filled[writer][bucket];
  if (filled == storage.size()) storage.resize(std::max<std::size_t>(16, 2 * storage.size()));
  storage[filled++] = waiting;
}

void TCrossingSet::TBucketRing::Reserve(std::uint32_t writer, std::size_t count) {
  for (std::uint32_t b = 0; b < kBuckets; ++b) {
    auto& storage = Buckets[writer][b];
    const std::size_t filled = Filled[writer][b];
    if (storage.size() - filled < count) {
      storage.resize(std::max(filled + count, 2 * storage.size()));
    }
  }
}

void TCrossingSet::StartFirstMultiples(std::uint64_t low) {
  assert(visited_.empty() || low > visited_.back().Prime);
  for (std::size_t i = 0; i < visited_.size(); ++i) {
    const std::uint64_t p = visited_[i].Prime;
    const std::uint64_t r = low % p;
    first_.Offset[i] = static_cast<std::int32_t>(r == 0 ? 0 : p - r);
    first_.Cofactor30[i] = static_cast<std::int32_t>((low / p + (r == 0 ? 0 : 1)) % 30);
  }
}

// From one block to the next the first multiple's offset drops by
// stride mod p (wrapping around p) and its cofactor grows by stride div p,
// plus one on a wrap; likewise over two blocks. Plain 32-bit arithmetic
// without branches, so that the compiler runs it on several primes at once.
void TCrossingSet::AdvanceFirstMultiples(std::uint64_t blocks) {
  const std::size_t count = visited_.size();
  std::int32_t* offset = first_.Offset.data();
  std::int32_t* cofactor = first_.Cofactor30.data();
  const std::int32_t* prime = first_.Prime.data();
  while (blocks > 0) {
    const int step = blocks >= 2 ? 1 : 0;  // two blocks at once where it can
    const std::int32_t* stepModP = first_.StepModP[step].data();
    const std::int32_t* stepDivP = first_.StepDivP30[step].data();
    for (std::size_t i = 0; i < count; ++i) {
      const std::int32_t dropped = offset[i] - stepModP[i];
      const std::int32_t wrapped = dropped >> 31;  // -1 when below 0
      offset[i] = dropped + (prime[i] & wrapped);
      const std::int32_t grown = cofactor[i] + stepDivP[i] - wrapped;
      cofactor[i] = grown - (30 & ~((grown - 30) >> 31));  // minus 30 when at least 30
    }
    blocks -= static_cast<std::uint64_t>(step + 1);
  }
}

// Multiples below p * p are crossed too: they are composites (the cofactor
// is at least 7, and p itself lies below every block), so the table is the
// same.
void TCrossingSet::PlaceVisitedFromFirstMultiples(std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const TRoundUp up = kRoundUp[static_cast<std::size_t>(first_.Cofactor30[i])];
    visited_[i].Next = static_cast<std::uint64_t>(first_.Offset[i]) +
                       std::uint64_t{visited_[i].Prime} * up.Add;
    visited_[i].Wheel = up.Wheel;
  }
}

void TCrossingSet::StartAt(std::uint64_t low) {
  if (tracksFirst_) StartFirstMultiples(low);
  firstLag_ = 0;
  for (TVisited& prime : visited_) prime = FirstMultiple(prime.Prime, low);
  block_ = 0;
  PlaceWaiting(low);
}

void TCrossingSet::PlaceWaiting(std::uint64_t low) {
  low_ = low;
  for (TBucketRing& ring : rings_) {
    ring.Clear();
    ring.FirstDormant = 0;
    for (const std::uint64_t p : ring.Primes) {
      if (p * p >= low) break;  // it and all larger primes wait for their squares
      const TVisited first = FirstMultiple(p, low);
      const std::uint64_t blocks = first.Next / stride_;
      ring.Add(writer_, static_cast<std::uint32_t>((block_ + blocks) % kBuckets),
               TWaiting::Make(ring.FirstDormant, first.Next - blocks * stride_, first.Wheel));
      ++ring.FirstDormant;
    }
  }
}

// Puts the primes whose squares lie in the current block of `length`
// numbers into its bucket.
void TCrossingSet::AddDue(TBucketRing& ring, std::size_t length) {
  const auto bucket = static_cast<std::uint32_t>(block_ % kBuckets);
  for (; ring.FirstDormant < ring.Primes.size(); ++ring.FirstDormant) {
    const std::uint64_t p = ring.Primes[ring.FirstDormant];
    if (p * p - low_ >= length) break;  // squares of dormant primes are >= low_
    ring.Add(writer_, bucket,
             TWaiting::Make(ring.FirstDormant, p * p - low_, kRoundUp[p % 30].Wheel));
  }
}

// Crosses out the multiples in a full block waiting in its bucket and passes
// each prime on to the bucket of its next multiple.
template <int MaxHits>
void TCrossingSet::EmptyBucket(TBucketRing& ring, std::uint8_t* table) {
  const auto current = static_cast<std::uint32_t>(block_ % kBuckets);
  std::size_t total = 0;
  for (const auto& lane : ring.Filled) total += lane[current];
  if (total == 0) return;
  // Each prime moves to another bucket: with room for all of them made
  // first, the loop writes through plain pointers.
  auto& out = ring.Buckets[writer_];
  ring.Reserve(writer_, total);
  TWaiting* tail[kBuckets];
  for (std::uint32_t b = 0; b < kBuckets; ++b) tail[b] = out[b].data() + ring.Filled[writer_][b];
  tail[current] = out[current].data();  // emptied below; nothing moves into it
  const std::uint64_t stride = stride_;
  const double inverseStride = inverseStride_;
  const std::uint32_t* primes = ring.Primes.data();
  for (std::uint32_t lane = 0; lane < kWriters; ++lane) {
    const std::size_t count = ring.Filled[lane][current];
    ring.Filled[lane][current] = 0;
    const TWaiting* waiting = ring.Buckets[lane][current].data();
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t indexWheel = waiting[i].IndexWheel;
      const std::uint64_t p = primes[indexWheel >> 3];
      const std::uint32_t wheel = indexWheel & 7;
      const std::uint8_t* span = kSpan[wheel].data();
      std::uint64_t j = waiting[i].Offset;
      table[j] = 0;
      std::uint32_t hits = 1;
      for (int h = 1; h < MaxHits; ++h) {
        const std::uint64_t at = j + p * span[h];
        const std::uint32_t inside = at < stride ? 1 : 0;
        // A multiple beyond the block turns into a second write to the first
        // one, picked by a mask: a branch here would mispredict half the time.
        table[j + ((at - j) & (0 - static_cast<std::uint64_t>(inside)))] = 0;
        hits += inside;
      }
      // The next multiple lies beyond the block, by less than 7 strides. The
      // product rounds down only at exact multiples of the stride.
      j += p * span[hits];
      const double quotient = static_cast<double>(j) * inverseStride;
      std::uint64_t blocks = static_cast<std::uint64_t>(static_cast<std::int64_t>(quotient));
      j -= blocks * stride;
      if (j >= stride) {
        j -= stride;
        ++blocks;
      }
      // The index stays, the wheel position moves on by the hits.
      *tail[(current + blocks) % kBuckets]++ = {(indexWheel & ~7u) | ((wheel + hits) & 7),
                                                static_cast<std::uint32_t>(j)};
    }
  }
  for (std::uint32_t b = 0; b < kBuckets; ++b) {
    ring.Filled[writer_][b] = static_cast<std::size_t>(tail[b] - out[b].data());
  }
}

// The last block, shorter than the stride: the waiting multiples may lie
// beyond it, and no prime needs passing on.
void TCrossingSet::CrossLastBucket(TBucketRing& ring, std::uint8_t* table, std::size_t length) {
  const auto current = static_cast<std::uint32_t>(block_ % kBuckets);
  for (std::uint32_t lane = 0; lane < kWriters; ++lane) {
    for (std::size_t i = 0; i < ring.Filled[lane][current]; ++i) {
      const TWaiting& waiting = ring.Buckets[lane][current][i];
      const std::uint64_t p = ring.Primes[waiting.IndexWheel >> 3];
      std::uint32_t w = waiting.IndexWheel & 7;
      for (std::uint64_t j = waiting.Offset; j < length; j += p * kGap[w], w = (w + 1) % 8) {
        table[j] = 0;
      }
    }
  }
}

template <int... Ring>
void TCrossingSet::EmptyBuckets(std::uint8_t* table, std::size_t length,
                                std::integer_sequence<int, Ring...>) {
  ((AddDue(rings_[Ring], length), EmptyBucket<Ring + 1>(rings_[Ring], table)), ...);
}

void TCrossingSet::CrossVisited(std::uint8_t* table, std::size_t length,
                                std::uint64_t skipBlocks) {
  if (visited_.empty()) return;  // the shared groups of the parallel engine
  TVisited* primes = visited_.data();
  std::uint8_t* scratch = scratch_;
  if (tracksFirst_) {
    AdvanceFirstMultiples(firstLag_ + skipBlocks);
    firstLag_ = 1;  // behind the next block once this one is crossed
    // The primes with few hits start from their first multiples below.
    if (skipBlocks != 0) PlaceVisitedFromFirstMultiples(classStart_[0]);
  }
  // The chunked primes' offsets stay relative to the start of the chunk.
  for (std::size_t start = 0; start < length; start += kChunk) {
    const std::size_t piece = std::min<std::size_t>(kChunk, length - start);
    for (std::size_t i = 0; i < chunkEnd_; ++i) {
      CrossManyHits(table + start, piece, primes[i], scratch);
      primes[i].Next -= piece;
    }
  }
  const auto crossRange = [&](std::size_t from, std::size_t to, auto crossOne) {
    for (std::size_t i = from; i < to; ++i) {
      crossOne(table, length, primes[i], scratch);
      primes[i].Next -= length;
    }
  };
  crossRange(chunkEnd_, classStart_[0], CrossManyHits);
  // Class c from classStart_[c] to the next class start crosses at most
  // kFewHitClasses - c hits.
  [&]<int... C>(std::integer_sequence<int, C...>) {
    const auto classEnd = [&](int c) {
      return c + 1 < kFewHitClasses ? classStart_[c + 1] : visited_.size();
    };
    if (tracksFirst_) {
      (CrossFewHitsFromFirst<kFewHitClasses - C>(table, length, classStart_[C], classEnd(C)), ...);
    } else {
      (crossRange(classStart_[C], classEnd(C), CrossFewHits<kFewHitClasses - C>), ...);
    }
  }(std::make_integer_sequence<int, kFewHitClasses>());
}

// Needs no offsets carried from the block before: cheaper than placing the
// primes first when the blocks before were skipped.
template <int Hits>
void TCrossingSet::CrossFewHitsFromFirst(std::uint8_t* table, std::size_t length,
                                         std::size_t from, std::size_t to) {
  const std::int32_t* offset = first_.Offset.data();
  const std::int32_t* cofactor = first_.Cofactor30.data();
  const TVisited* primes = visited_.data();
  for (std::size_t i = from; i < to; ++i) {
    const std::uint64_t p = primes[i].Prime;
    const TRoundUp up = kRoundUp[static_cast<std::size_t>(cofactor[i])];
    CrossFewHitsFrom<Hits>(table, length, p, static_cast<std::uint64_t>(offset[i]) + p * up.Add,
                           kSpan[up.Wheel].data(), scratch_);
  }
}

void TCrossingSet::Cross(std::uint8_t* table, std::size_t length, std::uint64_t skipBlocks,
                         std::uint32_t writer) {
  // Only the block-by-block tracking follows skips (see the class comment).
  assert(skipBlocks == 0 || tracksFirst_);
  writer_ = writer % kWriters;
  CrossVisited(table, length, skipBlocks);
  if (length == stride_) {
    EmptyBuckets(table, length, std::make_integer_sequence<int, kBucketHits>());
  } else {
    for (TBucketRing& ring : rings_) {
      AddDue(ring, length);
      CrossLastBucket(ring, table, length);
    }
  }
  ++block_;
  low_ += stride_;  // may wrap after the last block near 2^64, never used then
}

std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  // Four words at a time into four sums, so that the additions do not wait
  // on each other; byte lanes may add up at most 255 words before they
  // could overflow.
  while (count - i >= 32) {
    const std::size_t rounds = std::min<std::size_t>((count - i) / 32, 255);
    std::uint64_t lanes[4] = {0, 0, 0, 0};
    for (std::size_t r = 0; r < rounds; ++r, i += 32) {
      for (std::size_t k = 0; k < 4; ++k) lanes[k] += LoadWord(table + i + 8 * k);
    }
    for (const std::uint64_t sum : lanes) total += SumLanes(sum);
  }
  std::uint64_t lanes = 0;  // fewer than 4 words left
  for (; count - i >= 8; i += 8) lanes += LoadWord(table + i);
  total += SumLanes(lanes);
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
