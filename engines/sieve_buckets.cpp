#include "engines/sieve_buckets.h"

#include <algorithm>
#include <bit>

namespace tamsel {

void TBuckets::Reset(std::uint64_t lists) {
  for (TList& list : lists_) Drain(static_cast<std::uint64_t>(&list - lists_.data()), [](auto, auto) {});
  lists_.assign(std::bit_ceil(lists), TList{});
  mask_ = lists_.size() - 1;
}

void TBuckets::Grow(TList& list) {
  if (free_ == nullptr) {
    // Slabs grow with the pool, so that a large pool takes few allocations.
    const std::size_t count = std::min<std::size_t>(1024, 8 + slabs_.size() * 8);
    slabs_.push_back(std::make_unique_for_overwrite<TChunk[]>(count));
    for (std::size_t i = 0; i < count; ++i) {
      slabs_.back()[i].Next = free_;
      free_ = &slabs_.back()[i];
    }
  }
  TChunk* chunk = free_;
  free_ = chunk->Next;
  chunk->Next = list.Head;
  list.Head = chunk;
  list.Filled = 0;
}

}  // namespace tamsel
