#include "engines/sieve_kernel.h"

#include <cstring>

#include "engines/os_cache.h"

namespace tamsel {

// Most hits fall on the primes shorter than a piece, so a piece is the
// largest power of two the level 1 cache holds (32 KiB of 48; 64 took a
// third longer). The primes waiting in buckets want long blocks, which
// need fewer buckets: an eighth of the level 2 cache was fastest (256 KiB
// of 2 MiB, from 10^10 to 10^16; a half took up to 40 percent longer).
std::uint64_t ChoosePieceBytes() {
  const std::uint64_t level1 = os::DataCacheBytes(1);
  return level1 >= 4096 ? std::bit_floor(level1) : 32 * 1024;
}

std::uint64_t ChooseBlockBytes() {
  const std::uint64_t level2 = os::DataCacheBytes(2);
  return std::max(ChoosePieceBytes(), level2 >= 65536 ? std::bit_floor(level2 / 8) : 256 * 1024);
}

TSegmentSieve::TSegmentSieve(const TSievingPrimes& primes)
    : primes_(&primes), window_(2 * primes.BlockBytes() + primes.longestTurn_ + 1),
      reach_(primes.BlockBytes() + primes.longestTurn_) {
  turn_.Reset(primes.turn_);
  std::size_t kind = 0;
  std::apply([&](auto&... kinds) { (kinds.Reset(primes.bucketed_[kind++], primes.shift_), ...); }, bucketed_);
}

TBlock TSegmentSieve::Block() {
  return {window_.data() + start_, std::min(primes_->BlockBytes(), lastByte_ + 1 - blockFirstByte_),
          window_.size() - 1 - start_, blockFirstByte_, block_,
          (lastByte_ - runFirstByte_) >> primes_->shift_, primes_->shift_};
}

void TSegmentSieve::StartAt(std::uint64_t low, std::uint64_t high) {
  if (high > kMaxSievedNumber || low > high) throw std::length_error("sieve run out of range");
  runFirstByte_ = blockFirstByte_ = low / 30;
  lastByte_ = high / 30;
  block_ = start_ = 0;
  sieved_ = false;
  std::fill(window_.begin(), window_.end(), 0xFF);
  const TBlock block = Block();
  turn_.Place(block, 30 * runFirstByte_);
  std::apply([&](auto&... kinds) { (kinds.Place(block, 30 * runFirstByte_), ...); }, bucketed_);
}

TSegmentBits TSegmentSieve::Sieve(std::uint64_t from, std::uint64_t high) {
  const std::uint64_t size = primes_->BlockBytes();
  if (from / 30 >= blockFirstByte_ + size) {  // on to the next block
    start_ += size;
    blockFirstByte_ += size;
    ++block_;
    sieved_ = false;
    if (const std::size_t kept = window_.size() - 1; start_ + reach_ > kept) {
      std::memmove(window_.data(), window_.data() + start_, kept - start_);
      std::memset(window_.data() + kept - start_, 0xFF, start_);
      start_ = 0;
    }
  }
  if (!sieved_) SieveBlock();
  const std::uint64_t last = std::min(high / 30, blockFirstByte_ + size - 1);
  return {window_.data() + start_ + (from / 30 - blockFirstByte_), static_cast<std::size_t>(last - from / 30 + 1),
          from / 30, from, last == high / 30 ? high : 30 * last + 29};
}

// Every kind crosses its multiples into the block, those that arrive with
// their squares placed first; the presieve and the primes shorter than a
// piece go through the block a piece at a time.
void TSegmentSieve::SieveBlock() {
  const TBlock block = Block();
  turn_.Activate(block);
  std::apply([&](auto&... kinds) { (kinds.Activate(block), ...); }, bucketed_);
  for (std::uint64_t done = 0; done < block.Length; done += primes_->PieceBytes()) {
    const std::uint64_t end = std::min(block.Length, done + primes_->PieceBytes());
    primes_->presieve_->Fill(block.Bytes + done, block.FirstByte + done, end - done);
    turn_.Cross(block, end);
  }
  std::apply([&](auto&... kinds) { (kinds.Cross(block), ...); }, bucketed_);
  sieved_ = true;
}

}  // namespace tamsel
