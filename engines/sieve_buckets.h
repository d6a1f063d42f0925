// Buckets for the primes that wait for a later block: a ring of lists, one per block ahead, whose chunks come
// from one pool and go back to it once read, so that memory follows the primes waiting, not the blocks
// sieved. Also the limits of the packed fields every waiting prime relies on.
#pragma once
#include <algorithm>
#include <bit>
#include <memory>
#include <utility>
#include <vector>

#include "engines/sieve_wheel.h"

namespace tamsel {

// A waiting prime in eight bytes, since buckets are mostly memory traffic.
struct TWaiting {
  std::uint32_t OffsetWheel;  // byte from its block's first << kWheelBits | wheel position
  std::uint32_t QClass;       // p div 30 * 8 + its class (p = 30q + kWheelResidues[c])
};

// The limits, checked where the sizes are chosen: offsets shifted by six wheel bits (48 positions of the
// wheel of 210) in 32 bits need blocks below 2^26 bytes; q * 8 + c in 32 bits holds primes below 2^34, of
// which the base primes (up to 2^32) use part; a multiple p * m is at most the run's last number plus 11p,
// which must stay below 2^64.
inline constexpr std::uint32_t kWheelBits = 6;
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 26;
inline constexpr std::uint64_t kMaxSievingPrime = UINT32_MAX;
inline constexpr std::uint64_t kMaxSievedNumber = UINT64_MAX - 16 * kMaxSievingPrime;

// The primes of one kind, ascending, in a byte each: half the gap to the one before, or 0 when that gap is
// odd or above 510 and the prime is kept whole beside (below 2^32 gaps stay under 340).
class TPrimeList {
 public:
  void Add(std::uint64_t p) {
    const std::uint64_t gap = p - largest_;
    const bool fits = gap % 2 == 0 && gap != 0 && gap <= 510;
    halfGaps_.push_back(static_cast<std::uint8_t>(fits ? gap / 2 : 0));
    if (!fits) whole_.push_back(static_cast<std::uint32_t>(p));
    largest_ = p;
  }
  std::uint64_t Largest() const { return largest_; }
  struct TCursor {
    std::uint64_t Prime = 0;  // 0 past the last
    std::size_t Next = 0, Whole = 0;
  };
  TCursor Begin() const { return Advanced(TCursor{}); }
  TCursor Advanced(TCursor at) const {
    if (at.Next == halfGaps_.size()) return {};
    const std::uint8_t half = halfGaps_[at.Next++];
    at.Prime = half != 0 ? at.Prime + 2 * half : whole_[at.Whole++];
    return at;
  }

 private:
  std::vector<std::uint8_t> halfGaps_;
  std::vector<std::uint32_t> whole_;
  std::uint64_t largest_ = 0;
};

class TBuckets {
 public:
  // Room for waits up to lists - 1 blocks ahead.
  void Reset(std::uint64_t lists) {
    lists_.assign(std::bit_ceil(lists), TList{});
    mask_ = lists_.size() - 1;
  }
  // Drops every entry, as a run left unfinished may have.
  void Clear() { for (std::uint64_t block = 0; block < lists_.size(); ++block) Drain(block, [](TWaiting) {}); }
  void Push(std::uint64_t block, TWaiting waiting) {
    TList& list = lists_[block & mask_];
    if (list.Filled == kChunkItems) Grow(list);
    list.Head->Items[list.Filled++] = waiting;
  }
  // Calls each(entry) for the block's list, each chunk going back to the pool once read; each may push elsewhere.
  template <typename F>
  void Drain(std::uint64_t block, F&& each) {
    TList& list = lists_[block & mask_];
    TChunk* chunk = list.Head;
    std::uint32_t count = list.Filled;
    list = TList{};
    while (chunk != nullptr) {
      for (std::uint32_t i = 0; i < count; ++i) each(chunk->Items[i]);
      chunk = std::exchange(chunk->Next, std::exchange(free_, chunk));
      count = kChunkItems;
    }
  }

 private:
  static constexpr std::uint32_t kChunkItems = 511;  // a chunk of 4 KiB
  struct TChunk {
    TWaiting Items[kChunkItems];
    TChunk* Next;
  };
  struct TList {
    TChunk* Head = nullptr;  // the chunk being filled; the others are full
    std::uint32_t Filled = kChunkItems;
  };
  // Slabs of chunks grow with the pool, so that a large pool takes few allocations.
  void Grow(TList& list) {
    if (free_ == nullptr) {
      const std::size_t count = std::min<std::size_t>(1024, 8 + slabs_.size() * 8);
      slabs_.push_back(std::make_unique_for_overwrite<TChunk[]>(count));
      for (std::size_t i = 0; i < count; ++i) slabs_.back()[i].Next = std::exchange(free_, &slabs_.back()[i]);
    }
    TChunk* chunk = std::exchange(free_, free_->Next);
    chunk->Next = std::exchange(list.Head, chunk);
    list.Filled = 0;
  }
  std::vector<TList> lists_;
  std::uint64_t mask_ = 0;
  TChunk* free_ = nullptr;
  std::vector<std::unique_ptr<TChunk[]>> slabs_;
};

// What each kind that waits in buckets keeps: its primes, the first still waiting for its square, its buckets
// (a set per class with Sets = 8), on the wheel of Modulus. Kind::Reach(p) bounds how far past a block's first
// byte the next hit of p lies; Kind may replace Wait.
template <typename Kind, std::uint32_t Sets, std::uint32_t Modulus>
class TBucketPrimes {
 public:
  void Reset(const TPrimeList& primes, std::uint32_t shift) {
    primes_ = &primes;
    for (TBuckets& buckets : buckets_) buckets.Reset(3 + (Kind::Reach(primes.Largest()) >> shift));
  }
  // Primes whose squares lie below start go from their first multiple on.
  void Place(const TBlock& block, std::uint64_t start) {
    for (TBuckets& buckets : buckets_) buckets.Clear();
    for (active_ = primes_->Begin(); active_.Prime != 0 && active_.Prime * active_.Prime < start;
         active_ = primes_->Advanced(active_)) {
      const TMultiple m = FirstMultiple<Modulus>(active_.Prime, start);
      if ((m.Byte - block.FirstByte) >> block.Shift > block.Last) continue;  // hits nothing in the run
      static_cast<Kind*>(this)->Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(active_.Prime));
    }
  }
  // The others from their squares, p * p with the cofactor p, as their blocks come.
  void Activate(const TBlock& block) {
    for (; active_.Prime != 0 && active_.Prime * active_.Prime / 30 < block.FirstByte + block.Length;
         active_ = primes_->Advanced(active_)) {
      static_cast<Kind*>(this)->Wait(block, active_.Prime * active_.Prime / 30 - block.FirstByte,
                                     kRoundUp<Modulus>[active_.Prime % Modulus].Wheel, QClassOf(active_.Prime));
    }
  }

 protected:
  // In the bucket of the block holding byte `offset` (from this block's first); none waits beyond the run.
  void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t wheel, std::uint32_t qClass) {
    const std::uint64_t target = block.Index + (offset >> block.Shift);
    const auto within = static_cast<std::uint32_t>(offset & ((std::uint64_t{1} << block.Shift) - 1));
    if (target <= block.Last) buckets_[Sets == 1 ? 0 : qClass & 7].Push(target, {within << kWheelBits | wheel, qClass});
  }
  const TPrimeList* primes_ = nullptr;
  TPrimeList::TCursor active_;
  TBuckets buckets_[Sets];
};

}  // namespace tamsel
