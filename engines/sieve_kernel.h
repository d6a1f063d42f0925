// The sieve kernel the engines share: it sieves a run in blocks for the level 2 cache, in pieces for the level 1,
// whatever the engine's segments; each kind of prime carries its state from block to block, placed once a run.
#pragma once
#include <stdexcept>
#include <tuple>

#include "engines/os_cache.h"
#include "engines/sieve_hit_primes.h"
#include "engines/sieve_presieve.h"
#include "engines/sieve_table.h"
#include "engines/sieve_turn_primes.h"
#include "engines/sieve_turn_waiting.h"

namespace tamsel {

// Most hits fall on the primes shorter than a piece: a piece is the largest power of two the level 1 cache
// holds (32 KiB of 48; 64 took a third longer). Waiting primes want long blocks, which need fewer buckets: an
// eighth of the level 2 cache was fastest (256 KiB of 2 MiB from 10^10 to 10^16; a half took 40 percent more).
inline std::uint64_t ChoosePieceBytes() { return os::DataCacheBytes(1) >= 4096 ? std::bit_floor(os::DataCacheBytes(1)) : 32 * 1024; }
inline std::uint64_t ChooseBlockBytes() {
  const std::uint64_t level2 = os::DataCacheBytes(2);
  return std::max(ChoosePieceBytes(), level2 >= 65536 ? std::bit_floor(level2 / 8) : 256 * 1024);
}

// The base primes (ascending, none above kMaxSievingPrime; or their TPrimeBits) sorted by kind for one block
// size; read only, shared by the sieves made from it.
class TSievingPrimes {
 public:
  // Primes up to turnBytes (kWholeBlock: a block's length) cross whole turns, the others hit by hit; turns up to
  // 2 MiB were fastest from 10^14 to 10^16 (1 MiB took an eighth longer at 10^14, a block's length 30 percent).
  // Sizes are rounded down to powers of two from 1 to kMaxBlockBytes.
  static constexpr std::uint64_t kTurnBytes = 2 << 20, kWholeBlock = UINT64_MAX;
  template <typename Primes>
  TSievingPrimes(Primes&& primes, const TPresieve& presieve, std::uint64_t blockBytes = ChooseBlockBytes(),
                 std::uint64_t turnBytes = kTurnBytes, std::uint64_t pieceBytes = ChoosePieceBytes())
      : presieve_(&presieve), shift_(ShiftFor(blockBytes)), pieceShift_(std::min(shift_, ShiftFor(pieceBytes))),
        bits_(BitsOf(std::forward<Primes>(primes))) {
    if (240 * bits_.Words.size() > kMaxSievingPrime + 240) throw std::length_error("sieving prime above 2^32");
    // Two multiples span at least 2p numbers, three 6p (the least gaps between cofactors are 2, then 4): with
    // 2p >= 30 * (block + 1) a prime hits a block at most once, with 6p at most twice. Those that cross hit by
    // hit skip the multiples of 7: all cross whole turns if the presieve leaves 7.
    const std::uint64_t span = 30 * (BlockBytes() + 1), smallest = presieve.Largest() + 1;
    const std::uint64_t wholeTurns = smallest <= 7 ? kMaxSievingPrime
                                     : std::max(PieceBytes() - 1, turnBytes == kWholeBlock ? BlockBytes() : turnBytes);
    // The kinds take the primes between two bounds, ascending: whole turns, any number of hits, two, one.
    const std::uint64_t from = std::max(smallest, PieceBytes());
    const std::uint64_t bounds[] = {from - 1, wholeTurns, std::max(wholeTurns, (span + 5) / 6 - 1),
                                    std::max(wholeTurns, (span + 1) / 2 - 1), kMaxSievingPrime};
    lists_[0] = TPrimeList(bits_, smallest, PieceBytes() - 1);
    for (std::size_t kind = 0; kind < 4; ++kind) {
      lists_[kind + 1] = TPrimeList(bits_, std::max(from, bounds[kind] + 1), bounds[kind + 1]);
    }
    // Halves of the longest turns take up to 0.4p + 30 bytes; 3 blocks keep second halves out of the block.
    const std::uint64_t longest = TPrimeList(bits_, smallest, wholeTurns).Largest();
    beyond_ = std::min(longest, std::max(3 * BlockBytes(), longest / 2 + 32));
  }
  std::uint64_t BlockBytes() const { return std::uint64_t{1} << shift_; }
  std::uint64_t PieceBytes() const { return std::uint64_t{1} << pieceShift_; }

 private:
  friend class TSegmentSieve;
  static std::uint32_t ShiftFor(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::bit_width(std::clamp<std::uint64_t>(bytes, 1, kMaxBlockBytes)) - 1);
  }
  static TPrimeBits BitsOf(TPrimeBits&& bits) { return std::move(bits); }
  template <typename Primes>
  static TPrimeBits BitsOf(const Primes& primes) {
    TPrimeBits bits;
    for (const std::uint64_t p : primes) {
      if (p > kMaxSievingPrime) throw std::length_error("sieving prime above 2^32");
      if (p < 7) continue;  // 2, 3 and 5 have no bits
      if (p / 240 >= bits.Words.size()) bits.Words.resize(p / 240 + 1);
      bits.Words[p / 240] |= std::uint64_t{1} << (p / 30 % 8 * 8 + kRoundUp<30>[p % 30].Wheel);
    }
    return bits;
  }
  const TPresieve* presieve_;
  std::uint32_t shift_, pieceShift_;
  TPrimeBits bits_;  // the primes of every kind
  TPrimeList lists_[5];  // for TSegmentSieve::kinds_, in their order
  std::uint64_t beyond_ = 0;  // bytes kept past a block for the turns
};

class TSegmentSieve {
 public:
  TSegmentSieve() = default;
  explicit TSegmentSieve(const TSievingPrimes& primes)  // which must outlive it
      : primes_(&primes), window_(2 * primes.BlockBytes() + primes.beyond_), reach_(primes.BlockBytes() + primes.beyond_) {
    std::size_t kind = 0;
    std::apply([&](auto&... kinds) { (kinds.Reset(primes.lists_[kind++], primes.shift_), ...); }, kinds_);
  }
  // Places every prime for the run low..high (high at most kMaxSievedNumber).
  void StartAt(std::uint64_t low, std::uint64_t high) {
    if (high > kMaxSievedNumber || low > high) throw std::length_error("sieve run out of range");
    runFirstByte_ = blockFirstByte_ = low / 30;
    lastByte_ = high / 30;
    block_ = start_ = 0;
    sieved_ = false;
    std::fill(window_.begin(), window_.end(), 0xFF);
    const TBlock block = Block();
    std::apply([&](auto&... kinds) { (kinds.Place(block, 30 * runFirstByte_), ...); }, kinds_);
  }
  // The bits of from..high, or of its part in from's block; from is the run's low or follows the piece read
  // before. Valid until the next call. The kernel's own primes may be crossed out.
  TSegmentBits Sieve(std::uint64_t from, std::uint64_t high) {
    const std::uint64_t size = primes_->BlockBytes();
    if (from / 30 >= blockFirstByte_ + size) {  // on to the next block
      start_ += size;
      blockFirstByte_ += size;
      ++block_;
      sieved_ = false;
      if (start_ + reach_ > window_.size()) {
        std::memmove(window_.data(), window_.data() + start_, window_.size() - start_);
        std::memset(window_.data() + window_.size() - start_, 0xFF, start_);
        start_ = 0;
      }
    }
    if (!sieved_) SieveBlock();
    const std::uint64_t last = std::min(high / 30, blockFirstByte_ + size - 1);
    return {window_.data() + start_ + (from / 30 - blockFirstByte_), static_cast<std::size_t>(last - from / 30 + 1),
            from / 30, from, last == high / 30 ? high : 30 * last + 29};
  }
  // Calls piece(bits) for the pieces of low..high in ascending order.
  template <typename F>
  void ForEachPiece(std::uint64_t low, std::uint64_t high, F&& piece) {
    TSegmentBits bits = Sieve(low, high);
    for (piece(bits); bits.High < high; piece(bits)) bits = Sieve(bits.High + 1, high);
  }

 private:
  TBlock Block() {
    return {window_.data() + start_, std::min(primes_->BlockBytes(), lastByte_ + 1 - blockFirstByte_),
            blockFirstByte_, block_, (lastByte_ - runFirstByte_) >> primes_->shift_, primes_->beyond_, primes_->shift_};
  }
  // Every kind crosses its multiples into the block, those arriving with their squares placed first; the
  // presieve and the primes shorter than a piece go a piece at a time. Out of line, as the presieve's fill.
  [[gnu::noinline]] void SieveBlock() {
    const TBlock block = Block();
    std::apply([&](auto&... kinds) { (kinds.Activate(block), ...); }, kinds_);
    for (std::uint64_t done = 0; done < block.Length; done += primes_->PieceBytes()) {
      const std::uint64_t end = std::min(block.Length, done + primes_->PieceBytes());
      primes_->presieve_->Fill(block.Bytes + done, block.FirstByte + done, end - done);
      std::get<TTurnPrimes>(kinds_).CrossPiece(block, end);
    }
    std::apply([&](auto&... kinds) { (kinds.Cross(block), ...); }, kinds_);
    sieved_ = true;
  }
  const TSievingPrimes* primes_ = nullptr;
  std::tuple<TTurnPrimes, TTurnWaitingPrimes, THitPrimes<0>, THitPrimes<2>, THitPrimes<1>> kinds_;
  // From window_[start_]: the block's bytes, then those that turns reach beyond it (reach_ in all at most),
  // then room for one more block; the bytes move back to the start when the end comes too near.
  std::vector<std::uint8_t> window_;
  std::size_t start_ = 0, reach_ = 0;
  std::uint64_t runFirstByte_ = 0, lastByte_ = 0, blockFirstByte_ = 0, block_ = 0;
  bool sieved_ = false;
};

}  // namespace tamsel
