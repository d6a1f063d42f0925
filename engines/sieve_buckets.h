// The base primes' table of bits, and buckets for the primes that wait for a later block: a ring of lists, one
// per block ahead, whose chunks come from one pool and go back to it once read. Also the packed fields' limits.
#pragma once
#include <algorithm>
#include <bit>
#include <memory>
#include <utility>
#include <vector>

#include "engines/sieve_bits.h"

namespace tamsel {

// A waiting prime in eight bytes, since buckets are mostly memory traffic.
struct TWaiting {
  std::uint32_t OffsetTag, Prime;  // byte from its block's first << kTagBits | its kind's tag; the prime as kept
};

// The limits, checked where the sizes are chosen: offsets shifted by nine bits of tag (the 8 x 48 steps of the
// hit primes' wheel) in 32 bits need blocks below 2^23 bytes; q * 8 + c in 32 bits holds primes below 2^34;
// a multiple p * m is at most the run's last number plus 11p, which must stay below 2^64.
inline constexpr std::uint32_t kTagBits = 9;
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << (32 - kTagBits);
inline constexpr std::uint64_t kMaxSievingPrime = UINT32_MAX;
inline constexpr std::uint64_t kMaxSievedNumber = UINT64_MAX - 16 * kMaxSievingPrime;

// The base primes above 5 as bits on the wheel of 30, bit 8k + b of word i for 30(8i + k) + kWheelResidues[b]:
// the sieve's bytes in order, less room than a byte per prime below 2^32 (3.7 bits a prime at 10^6, 5.9 at 2^32).
struct TPrimeBits { std::vector<std::uint64_t> Words; };

// The primes low..high of a table of bits (which must outlive it), ascending.
class TPrimeList {
 public:
  TPrimeList() = default;
  TPrimeList(const TPrimeBits& bits, std::uint64_t low, std::uint64_t high)
      : words_(bits.Words.data()), low_(low), high_(bits.Words.empty() ? 0 : std::min(high, 240 * bits.Words.size() - 1)) {
    for (std::uint64_t word = high_ / 240 + 1; largest_ == 0 && low_ <= high_ && word-- > low_ / 240;) {
      const std::uint64_t rest = words_[word] & From(word, low_) & ~From(word, high_ + 1);
      if (rest != 0) largest_ = Number(word, std::bit_width(rest) - 1);
    }
  }
  std::uint64_t Largest() const { return largest_; }  // 0 when there is none
  struct TCursor {
    std::uint64_t Prime = 0, Word = 0, Rest = 0;  // 0 past the last; the word's bits not yet read
  };
  TCursor Begin() const {
    return largest_ == 0 ? TCursor{} : Advanced({0, low_ / 240, words_[low_ / 240] & From(low_ / 240, low_)});
  }
  TCursor Advanced(TCursor at) const {
    for (; at.Rest == 0; at.Rest = words_[++at.Word]) if (at.Word >= high_ / 240) return {};
    at.Prime = Number(at.Word, std::countr_zero(at.Rest));
    at.Rest &= at.Rest - 1;
    return at.Prime <= high_ ? at : TCursor{};
  }

 private:
  static std::uint64_t Number(std::uint64_t word, int bit) { return 240 * word + 30 * (bit / 8) + kWheelResidues[bit % 8]; }
  // The bits of the word for the numbers from x on.
  static std::uint64_t From(std::uint64_t word, std::uint64_t x) {
    std::uint64_t bits = 0;
    for (int bit = 0; bit < 64; ++bit) bits |= std::uint64_t{Number(word, bit) >= x} << bit;
    return bits;
  }
  const std::uint64_t* words_ = nullptr;
  std::uint64_t low_ = 1, high_ = 0, largest_ = 0;
};

// Sets of lists of ChunkItems entries per chunk (after a pointer), all chunks from one pool. A list is only the
// end of its entries: chunks are aligned to their size, so an end on a chunk's boundary (or none) means full.
template <std::uint32_t ChunkItems>
class TBuckets {
 public:
  // Room in each set for waits up to lists - 1 blocks ahead.
  void Reset(std::uint32_t sets, std::uint64_t lists) {
    mask_ = std::bit_ceil(lists) - 1;
    ends_.assign(sets * (mask_ + 1), nullptr);
  }
  // Drops every entry, as a run left unfinished may have.
  void Clear() { for (std::uint64_t list = 0; list < ends_.size(); ++list) Drain(list / (mask_ + 1), list, [](TWaiting) {}); }
  // The lists for a loop that stores through bytes, which could alias the members and force reloads.
  struct TView {
    TBuckets* Pool; TWaiting** Ends; std::uint64_t Mask;
    [[gnu::always_inline]] void Push(std::uint32_t set, std::uint64_t block, TWaiting waiting) const {
      TWaiting*& end = Ends[set * (Mask + 1) + (block & Mask)];
      if ((reinterpret_cast<std::uintptr_t>(end) & (sizeof(TChunk) - 1)) == 0) end = Pool->Grow(end);
      *end++ = waiting;
    }
  };
  TView View() { return {this, ends_.data(), mask_}; }
  // Calls each(entry) for a set's list of the block, each chunk going back to the pool once read; each may push.
  // The hit primes' buckets (large chunks) outgrow the level 3 cache from 10^16 on: the next chunk's first KiB is fetched ahead.
  template <typename F>
  void Drain(std::uint32_t set, std::uint64_t block, F&& each) {
    TWaiting* const end = std::exchange(ends_[set * (mask_ + 1) + (block & mask_)], nullptr);
    TChunk* chunk = ChunkOf(end);
    for (std::size_t count = end == nullptr ? 0 : end - chunk->Items; chunk != nullptr; count = ChunkItems) {
      const TChunk* const next = chunk->Next;
      for (std::uint32_t i = 0; ChunkItems > 127 && next != nullptr && i < 128; i += 8) __builtin_prefetch(next->Items + i);
      for (std::size_t i = 0; i < count; ++i) each(chunk->Items[i]);
      chunk = std::exchange(chunk->Next, std::exchange(free_, chunk));
    }
  }

 private:
  static_assert(std::has_single_bit(ChunkItems + 1), "a chunk is a pointer and its items, a power of two long");
  struct alignas((ChunkItems + 1) * sizeof(TWaiting)) TChunk {
    TChunk* Next;  // the chunks filled before
    TWaiting Items[ChunkItems];
  };
  static TChunk* ChunkOf(TWaiting* end) {  // an end past the last item still belongs to its chunk
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(end) - 1;
    return end == nullptr ? nullptr : reinterpret_cast<TChunk*>(last & ~(sizeof(TChunk) - 1));
  }
  // Chunks come back through the free list; new ones from slabs that grow with the pool (few allocations) and
  // are touched only as handed out, so that memory follows the chunks in use.
  [[gnu::noinline]] TWaiting* Grow(TWaiting* end) {
    if (free_ == nullptr && unused_ == 0) {
      unused_ = std::min<std::size_t>((4 << 20) / sizeof(TChunk), 8 + slabs_.size() * 8);
      slabs_.push_back(std::make_unique_for_overwrite<TChunk[]>(unused_));
    }
    TChunk* chunk = free_ != nullptr ? std::exchange(free_, free_->Next) : &slabs_.back()[--unused_];
    chunk->Next = ChunkOf(end);
    return chunk->Items;
  }
  std::vector<TWaiting*> ends_;
  std::uint64_t mask_ = 0;
  TChunk* free_ = nullptr;
  std::size_t unused_ = 0;  // chunks in the last slab
  std::vector<std::unique_ptr<TChunk[]>> slabs_;
};

// What each kind that waits in buckets keeps: its primes, the first still waiting for its square, and its
// buckets, on the wheel of Modulus. Kind::Reach(p) bounds how far past a block's first byte the next hit of p
// lies; Kind may replace Wait.
template <typename Kind, std::uint32_t Sets, std::uint32_t Modulus>
class TBucketPrimes {
 public:
  void Reset(const TPrimeList& primes, std::uint32_t shift) {
    primes_ = &primes;
    buckets_.Reset(Sets, 3 + (Kind::Reach(primes.Largest()) >> shift));
  }
  // Primes whose squares lie below start go from their first multiple on.
  void Place(const TBlock& block, std::uint64_t start) {
    buckets_.Clear();
    TPrimeList::TCursor at = primes_->Begin();  // a local: the pushes' stores could alias a member
    for (; at.Prime != 0 && at.Prime * at.Prime < start; at = primes_->Advanced(at)) {
      const TMultiple m = FirstMultiple<Modulus>(at.Prime, start);
      if ((m.Byte - block.FirstByte) >> block.Shift > block.Last) continue;  // hits nothing in the run
      static_cast<Kind*>(this)->Wait(block, m.Byte - block.FirstByte, m.Wheel, QClassOf(at.Prime));
    }
    active_ = at;
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
  // With sets, prime is q * 8 + c and the set c + 8 * tag.
  [[gnu::always_inline]] void Wait(const TBlock& block, std::uint64_t offset, std::uint32_t tag, std::uint32_t prime) {
    const std::uint64_t target = block.Index + (offset >> block.Shift);
    const auto within = static_cast<std::uint32_t>(offset & ((std::uint64_t{1} << block.Shift) - 1));
    if (target <= block.Last) buckets_.View().Push(Sets == 1 ? 0 : (prime & 7) | tag << 3, target, {within << kTagBits | tag, prime});
  }
  const TPrimeList* primes_ = nullptr;
  TPrimeList::TCursor active_;
  // Small chunks where sets multiply the lists being filled (10^12: 0.5 MB less, as fast), large ones for the
  // hit primes (8 KiB: a twentieth faster than 4 KiB from 10^14 on, reading fewer pages).
  TBuckets<Sets == 1 ? 1023 : 127> buckets_;
};

}  // namespace tamsel
