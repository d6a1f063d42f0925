#include "engines/sieve_kernel.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "engines/os_cache.h"

namespace tamsel {

// Most hits fall on the primes shorter than a piece, so the piece belongs in
// the level 1 cache: the largest power of two it holds was fastest (32 KiB
// of 48 KiB; 64 KiB took a third longer). The primes that wait in buckets
// want a block in the level 2 cache, fewer blocks taking fewer buckets.
std::uint64_t ChoosePieceBytes() {
  const std::uint64_t level1 = os::DataCacheBytes(1);
  return level1 >= 4096 ? std::bit_floor(level1) : 32 * 1024;
}

std::uint64_t ChooseBlockBytes() {
  const std::uint64_t level2 = os::DataCacheBytes(2);
  return std::max(ChoosePieceBytes(), level2 >= 65536 ? std::bit_floor(level2 / 8) : 256 * 1024);
}

std::uint32_t TSievingPrimes::ShiftFor(std::uint64_t blockBytes) {
  return static_cast<std::uint32_t>(
      std::countr_zero(std::bit_floor(std::clamp<std::uint64_t>(blockBytes, 1, kMaxBlockBytes))));
}

void TSievingPrimes::Add(std::uint64_t p, std::uint64_t turnBytes) {
  if (p > kMaxSievingPrime) throw std::length_error("sieving prime above 2^32");
  if (p <= presieve_->Largest()) return;
  // A prime with p * kMinSpan[k] >= 30 * (block + 1) hits a block at most k times.
  const std::uint64_t span = 30 * (BlockBytes() + 1);
  if (p <= turnBytes || p * kMinSpan[2] < span) {
    if (p < PieceBytes()) {
      turn_[QClassOf(p) & 7].push_back(QClassOf(p) >> 3);
    } else {
      waiting_.Add(p);
    }
    longestTurn_ = p;
  } else {
    (p * kMinSpan[1] >= span ? oneHit_ : twoHit_).Add(p);
  }
}

TSegmentSieve::TSegmentSieve(const TSievingPrimes& primes)
    : primes_(&primes), reach_(primes.BlockBytes() + primes.longestTurn_) {
  turn_.Reset(primes.turn_);
  waiting_.Reset(primes.waiting_, primes.shift_);
  oneHit_.Reset(primes.oneHit_, primes.shift_);
  twoHit_.Reset(primes.twoHit_, primes.shift_);
  window_.resize(2 * reach_ + 1);
}

TBlock TSegmentSieve::Block() const {
  const std::uint64_t length = std::min(primes_->BlockBytes(), lastByte_ + 1 - blockFirstByte_);
  return {const_cast<std::uint8_t*>(window_.data()) + start_, length, window_.size() - 1 - start_,
          blockFirstByte_, block_, (lastByte_ - runFirstByte_) >> primes_->shift_, primes_->shift_};
}

void TSegmentSieve::StartAt(std::uint64_t low, std::uint64_t high) {
  if (high > kMaxSievedNumber || low > high) throw std::length_error("sieve run out of range");
  runFirstByte_ = blockFirstByte_ = low / 30;
  lastByte_ = high / 30;
  block_ = 0;
  sieved_ = false;
  start_ = 0;
  std::fill(window_.begin(), window_.end(), 0xFF);
  const TBlock block = Block();
  turn_.Place(block, 30 * runFirstByte_);
  waiting_.Place(block, 30 * runFirstByte_);
  oneHit_.Place(block, 30 * runFirstByte_);
  twoHit_.Place(block, 30 * runFirstByte_);
}

TSegmentBits TSegmentSieve::Sieve(std::uint64_t from, std::uint64_t high) {
  if (from / 30 >= blockFirstByte_ + primes_->BlockBytes()) NextBlock();
  if (!sieved_) SieveBlock();
  const std::uint64_t last = std::min(high / 30, blockFirstByte_ + primes_->BlockBytes() - 1);
  return {window_.data() + start_ + (from / 30 - blockFirstByte_),
          static_cast<std::size_t>(last - from / 30 + 1), from / 30, from,
          last == high / 30 ? high : 30 * last + 29};
}

// Every kind crosses its multiples into the block, the ones that arrive
// with their squares first placed; the presieve and the primes shorter
// than a piece go through the block a piece at a time.
void TSegmentSieve::SieveBlock() {
  const TBlock block = Block();
  turn_.Activate(block);
  waiting_.Activate(block);
  oneHit_.Activate(block);
  twoHit_.Activate(block);
  for (std::uint64_t done = 0; done < block.Length; done += primes_->PieceBytes()) {
    const std::uint64_t end = std::min(block.Length, done + primes_->PieceBytes());
    primes_->presieve_->Fill(block.Bytes + done, block.FirstByte + done, end - done);
    turn_.Cross(block, end);
  }
  waiting_.Cross(block);
  oneHit_.Cross(block);
  twoHit_.Cross(block);
  sieved_ = true;
}

void TSegmentSieve::NextBlock() {
  start_ += primes_->BlockBytes();
  blockFirstByte_ += primes_->BlockBytes();
  ++block_;
  sieved_ = false;
  const std::size_t kept = window_.size() - 1;  // all but the spare byte
  if (start_ + reach_ > kept) {
    std::memmove(window_.data(), window_.data() + start_, kept - start_);
    std::memset(window_.data() + kept - start_, 0xFF, start_);
    start_ = 0;
  }
}

}  // namespace tamsel
