// Buckets for the primes that wait for a later block: a ring of lists, one
// per block ahead, whose chunks come from one pool and go back to it once
// read, so that memory follows the primes waiting, not the blocks sieved.
// Also the limits of the packed fields every waiting prime relies on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engines/sieve_wheel.h"

namespace tamsel {

// A waiting prime in eight bytes, since buckets are mostly memory traffic.
struct TWaiting {
  std::uint32_t OffsetWheel;  // byte from its block's first * 8 + wheel position
  std::uint32_t QClass;       // p div 30 * 8 + its class (p = 30q + kWheelResidues[c])
};

// The limits, checked where the sizes are chosen: offsets * 8 in 32 bits
// need blocks below 2^29 bytes; q * 8 + c in 32 bits holds primes below
// 2^34, of which the base primes (up to 2^32) use part; a multiple p * m
// is at most the run's last number plus 7p, which must stay below 2^64.
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 28;
inline constexpr std::uint64_t kMaxSievingPrime = UINT32_MAX;
inline constexpr std::uint64_t kMaxSievedNumber = UINT64_MAX - 8 * kMaxSievingPrime;

// The primes of one kind, ascending, in a byte each: half the gap to the one
// before, or 0 when that gap is odd or above 510 and the prime is kept
// whole beside (below 2^32 gaps stay under 340). Read in order by a cursor.
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
  TCursor Begin() const {
    TCursor cursor;
    Advance(cursor);
    return cursor;
  }
  void Advance(TCursor& cursor) const {
    if (cursor.Next == halfGaps_.size()) {
      cursor.Prime = 0;
      return;
    }
    const std::uint8_t half = halfGaps_[cursor.Next++];
    cursor.Prime = half != 0 ? cursor.Prime + 2 * half : whole_[cursor.Whole++];
  }

 private:
  std::vector<std::uint8_t> halfGaps_;
  std::vector<std::uint32_t> whole_;
  std::uint64_t largest_ = 0;
};

// Where a kind's primes start in a run: PlaceBefore calls place(p, its
// first multiple from start on) for the primes whose squares lie below
// start; ActivateUpTo then calls place(p, p * p) for those whose squares
// lie in bytes up to lastByte, as their blocks come.
template <typename Place>
void PlaceBefore(const TPrimeList& list, TPrimeList::TCursor& at, std::uint64_t start, Place&& place) {
  for (at = list.Begin(); at.Prime != 0 && at.Prime * at.Prime < start; list.Advance(at)) {
    place(at.Prime, FirstMultiple(at.Prime, start));
  }
}
template <typename Place>
void ActivateUpTo(const TPrimeList& list, TPrimeList::TCursor& at, std::uint64_t lastByte, Place&& place) {
  for (; at.Prime != 0 && at.Prime * at.Prime / 30 <= lastByte; list.Advance(at)) {
    place(at.Prime, TMultiple{at.Prime * at.Prime / 30, static_cast<std::uint32_t>(kClassOf[at.Prime % 30])});
  }
}

class TBuckets {
 public:
  // Room for waits up to lists - 1 blocks ahead; drops every entry.
  void Reset(std::uint64_t lists);
  void Push(std::uint64_t block, TWaiting waiting) {
    TList& list = lists_[block & mask_];
    if (list.Filled == kChunkItems) Grow(list);
    list.Head->Items[list.Filled++] = waiting;
  }
  // Calls each(items, count) for every chunk of the block's list, each
  // chunk going back to the pool once read; each may push to other blocks.
  template <typename F>
  void Drain(std::uint64_t block, F&& each) {
    TList& list = lists_[block & mask_];
    TChunk* chunk = list.Head;
    std::uint32_t count = list.Filled;
    list = TList{};
    while (chunk != nullptr) {
      each(static_cast<const TWaiting*>(chunk->Items), count);
      TChunk* next = chunk->Next;
      chunk->Next = free_;
      free_ = chunk;
      chunk = next;
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
  void Grow(TList& list);

  std::vector<TList> lists_;
  std::uint64_t mask_ = 0;
  TChunk* free_ = nullptr;
  std::vector<std::unique_ptr<TChunk[]>> slabs_;
};

}  // namespace tamsel
