// The sieve kernel the engines share: it sieves a run of consecutive numbers
// in blocks sized for the level 2 cache, in pieces for the level 1 cache,
// whatever the engine's segments are, and hands the bits out piece by piece
// in ascending order. Each kind of prime carries its state from block to
// block, so that no prime is placed twice in a run.
#pragma once
#include <stdexcept>
#include <tuple>

#include "engines/sieve_hit_primes.h"
#include "engines/sieve_presieve.h"
#include "engines/sieve_table.h"
#include "engines/sieve_turn_primes.h"
#include "engines/sieve_turn_waiting.h"

namespace tamsel {

// Powers of two for this machine's caches (defaults where it does not tell).
std::uint64_t ChoosePieceBytes();
std::uint64_t ChooseBlockBytes();

// The base primes (ascending, none above kMaxSievingPrime) sorted by kind
// for one block size; read only, shared by the sieves made from it.
class TSievingPrimes {
 public:
  // Primes shorter than a piece cross whole turns, and so do those up to
  // turnBytes (kWholeBlock: a block's length), reaching past the block into
  // bytes the sieve keeps; the others cross hit by hit. Whole turns up to
  // 1 MiB, which the level 2 cache holds, were fastest from 10^12 to 10^16
  // (a block's length took up to 30 percent longer, for 0.8 MiB less).
  // Sizes are rounded down to powers of two from 1 to kMaxBlockBytes.
  static constexpr std::uint64_t kTurnBytes = 1 << 20, kWholeBlock = UINT64_MAX;
  template <typename Primes>
  TSievingPrimes(Primes&& primes, const TPresieve& presieve, std::uint64_t blockBytes = ChooseBlockBytes(),
                 std::uint64_t turnBytes = kTurnBytes, std::uint64_t pieceBytes = ChoosePieceBytes())
      : presieve_(&presieve), shift_(ShiftFor(blockBytes)), pieceShift_(std::min(shift_, ShiftFor(pieceBytes))) {
    // Two multiples span at least 2p numbers, three 6p (the least gaps
    // between cofactors are 2, then 4): with 2p >= 30 * (block + 1) a prime
    // hits a block at most once, with 6p at most twice.
    const std::uint64_t span = 30 * (BlockBytes() + 1), smallest = presieve.Largest() + 1;
    const std::uint64_t wholeTurns = std::max(PieceBytes() - 1, turnBytes == kWholeBlock ? BlockBytes() : turnBytes);
    for (const std::uint64_t p : primes) {
      if (p > kMaxSievingPrime) throw std::length_error("sieving prime above 2^32");
      if (p < smallest) continue;
      if (p < PieceBytes()) {
        turn_[QClassOf(p) & 7].push_back({QClassOf(p) >> 3, 0});
      } else {
        bucketed_[p <= wholeTurns ? 0 : p * 2 >= span ? 2 : p * 6 >= span ? 3 : 1].Add(p);
      }
      if (p <= wholeTurns) longestTurn_ = p;
    }
  }
  std::uint64_t BlockBytes() const { return std::uint64_t{1} << shift_; }
  std::uint64_t PieceBytes() const { return std::uint64_t{1} << pieceShift_; }

 private:
  friend class TSegmentSieve;
  static std::uint32_t ShiftFor(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::bit_width(std::clamp<std::uint64_t>(bytes, 1, kMaxBlockBytes)) - 1);
  }
  const TPresieve* presieve_;
  std::uint32_t shift_, pieceShift_;
  std::uint64_t longestTurn_ = 0;
  TTurnPrimes::TByClass turn_;
  TPrimeList bucketed_[4];  // for the kinds of TSegmentSieve::bucketed_, in their order
};

class TSegmentSieve {
 public:
  TSegmentSieve() = default;
  explicit TSegmentSieve(const TSievingPrimes& primes);  // which must outlive it
  // Places every prime for the run low..high (high at most kMaxSievedNumber).
  void StartAt(std::uint64_t low, std::uint64_t high);
  // The bits of from..high, or of its part in from's block; from is the
  // run's low or follows the piece read before. Valid until the next call.
  // The kernel's own primes may be crossed out.
  TSegmentBits Sieve(std::uint64_t from, std::uint64_t high);
  // Calls piece(bits) for the pieces of low..high in ascending order.
  template <typename F>
  void ForEachPiece(std::uint64_t low, std::uint64_t high, F&& piece) {
    for (TSegmentBits bits = Sieve(low, high);; bits = Sieve(bits.High + 1, high)) {
      piece(bits);
      if (bits.High >= high) return;
    }
  }

 private:
  TBlock Block();
  void SieveBlock();
  const TSievingPrimes* primes_ = nullptr;
  TTurnPrimes turn_;
  // Waiting for their turns, then with any number of hits, one and two.
  std::tuple<TTurnWaitingPrimes, THitPrimes<0>, THitPrimes<1>, THitPrimes<2>> bucketed_;
  // From window_[start_]: the block's bytes, then those that turns reached
  // beyond it (reach_ in all at most), then room for one more block; the
  // bytes move back to the start when the end comes too near. The last byte
  // is a spare that takes the crossings that miss.
  std::vector<std::uint8_t> window_;
  std::size_t start_ = 0, reach_ = 0;
  std::uint64_t runFirstByte_ = 0, lastByte_ = 0, blockFirstByte_ = 0, block_ = 0;
  bool sieved_ = false;
};

}  // namespace tamsel
