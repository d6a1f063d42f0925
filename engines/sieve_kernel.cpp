#include "engines/sieve_kernel.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace tamsel {

namespace {

using TWaiting = TSegmentSieve::TWaiting;

constexpr int BitOf(std::uint32_t residue) {
  for (int b = 0; b < 8; ++b) {
    if (kWheelResidues[b] == residue) return b;
  }
  return -1;
}

// The wheel. For a prime p = 30q + r (r the residue of class c), the
// multiple with cofactor 30j + kWheelResidues[w] lies in byte j * p +
// q * kWheelResidues[w] + r * kWheelResidues[w] div 30, at the bit of
// r * kWheelResidues[w] mod 30. kSpan[c][w][k]: from a multiple at wheel
// position w, the k-th multiple on lies q * GapSum + CorrectionSum bytes
// further, and Mask clears its bit.
struct TSpan {
  std::uint8_t GapSum;
  std::uint8_t CorrectionSum;
  std::uint8_t Mask;
};
constexpr auto kSpan = [] {
  // The cofactor at position w + k, 30 more for each turn.
  const auto cofactor = [](std::uint32_t w, std::uint32_t k) {
    return kWheelResidues[(w + k) % 8] + 30 * ((w + k) / 8);
  };
  std::array<std::array<std::array<TSpan, 9>, 8>, 8> span{};
  for (std::uint32_t c = 0; c < 8; ++c) {
    const std::uint32_t r = kWheelResidues[c];
    for (std::uint32_t w = 0; w < 8; ++w) {
      for (std::uint32_t k = 0; k <= 8; ++k) {
        const std::uint32_t m = cofactor(w, k);
        span[c][w][k] = {static_cast<std::uint8_t>(m - cofactor(w, 0)),
                         static_cast<std::uint8_t>(r * m / 30 - r * cofactor(w, 0) / 30),
                         static_cast<std::uint8_t>(~(1u << BitOf(r * m % 30)))};
      }
    }
  }
  return span;
}();

// Fewest numbers spanned by k + 1 consecutive multiples, in units of p (the
// least gaps between cofactors are 2, then 4): a prime with p * kMinSpan[k]
// >= 30 * bytes hits that many bytes at most k times.
constexpr std::uint64_t kMinSpan[3] = {0, 2, 6};

// kSpan[c][w] cut to what a waiting prime needs, in eight bytes: the masks
// of its next two multiples and the distances to the second and third.
struct TWaitingStep {
  std::uint8_t Mask[2];
  std::uint8_t GapSum[2];
  std::uint8_t CorrectionSum[2];
  std::uint8_t Unused[2];
};
constexpr auto kWaitingSteps = [] {
  std::array<TWaitingStep, 64> steps{};
  for (std::uint32_t cw = 0; cw < 64; ++cw) {
    const auto& span = kSpan[cw / 8][cw % 8];
    steps[cw] = {{span[0].Mask, span[1].Mask},
                 {span[1].GapSum, span[2].GapSum},
                 {span[1].CorrectionSum, span[2].CorrectionSum},
                 {0, 0}};
  }
  return steps;
}();

// For any cofactor: how far up the next one coprime to 30 lies, and its
// wheel position.
struct TRoundUp {
  std::uint8_t Add;
  std::uint8_t Wheel;
};
constexpr auto kRoundUp = [] {
  std::array<TRoundUp, 30> table{};
  for (std::uint32_t m = 0; m < 30; ++m) {
    std::uint32_t add = 0;
    while (BitOf((m + add) % 30) < 0) ++add;
    table[m] = {static_cast<std::uint8_t>(add), static_cast<std::uint8_t>(BitOf((m + add) % 30))};
  }
  return table;
}();

// The bits of the numbers 30b + r with r >= t (first row) and r <= t.
constexpr auto kKeep = [] {
  std::array<std::array<std::uint8_t, 30>, 2> keep{};
  for (std::uint32_t t = 0; t < 30; ++t) {
    for (int b = 0; b < 8; ++b) {
      keep[0][t] |= static_cast<std::uint8_t>(kWheelResidues[b] >= t ? 1 << b : 0);
      keep[1][t] |= static_cast<std::uint8_t>(kWheelResidues[b] <= t ? 1 << b : 0);
    }
  }
  return keep;
}();

std::uint64_t Square(std::uint64_t p) { return p * p; }


std::uint64_t PrimeOf(std::uint32_t q, std::uint32_t c) {
  return 30 * std::uint64_t{q} + kWheelResidues[c];
}

// Groups of primes whose product, the period of their pattern in bytes,
// stays small enough to be read from the level 2 cache. The first group is
// copied, the others are combined into it.
const std::initializer_list<std::initializer_list<std::uint32_t>> kPresieveGroups = {
    {7, 11, 13, 17}, {19, 23, 29}, {31, 37, 41}, {43, 47, 53}, {59, 61, 67},
    {71, 73},        {79, 83},     {89, 97}};

std::vector<std::uint8_t> PatternOf(const std::vector<std::uint32_t>& primes, std::uint64_t period) {
  std::vector<std::uint8_t> pattern(period, 0xFF);
  for (const std::uint32_t p : primes) {
    // One period of p: byte i clears the bits of 30i + r divisible by p.
    std::vector<std::uint8_t> single(p, 0xFF);
    for (std::uint32_t i = 0; i < p; ++i) {
      for (int b = 0; b < 8; ++b) {
        if ((30 * i + kWheelResidues[b]) % p == 0) single[i] &= static_cast<std::uint8_t>(~(1 << b));
      }
    }
    for (std::uint64_t i = 0, k = 0; i < period; ++i, k = k + 1 == p ? 0 : k + 1) pattern[i] &= single[k];
  }
  return pattern;
}

}  // namespace

TPresieve::TPresieve(std::uint64_t maxPrime, std::uint64_t workBytes) {
  for (const auto& group : kPresieveGroups) {
    std::vector<std::uint32_t> primes;
    std::uint64_t period = 1;
    for (const std::uint32_t p : group) {
      if (p > maxPrime) break;
      primes.push_back(p);
      period *= p;
    }
    // A pattern costs its period to build: only worth it for enough work.
    if (primes.empty() || (!patterns_.empty() && period > workBytes / 16)) break;
    patterns_.push_back(PatternOf(primes, period));
    largest_ = primes.back();
    if (primes.size() < group.size()) break;
  }
}

void TPresieve::Fill(std::uint8_t* bytes, std::uint64_t firstByte, std::size_t count) const {
  for (const std::vector<std::uint8_t>& pattern : patterns_) {
    std::size_t phase = static_cast<std::size_t>(firstByte % pattern.size());
    for (std::size_t done = 0; done < count; phase = 0) {
      const std::size_t piece = std::min(count - done, pattern.size() - phase);
      std::uint8_t* out = bytes + done;
      const std::uint8_t* in = pattern.data() + phase;
      for (std::size_t i = 0; i < piece; ++i) out[i] &= in[i];
      done += piece;
    }
  }
}

namespace {

// Clears the mask's bit in bytes[at], or in the spare byte bytes[spare]
// when at lies beyond it, and tells whether at lies inside the segment
// (when at lies below 2^63): no branch, which would mispredict about every
// other time here. A multiple crossed past the segment is crossed early,
// which does no harm.
inline std::uint32_t CrossIfInside(std::uint8_t* bytes, std::uint64_t at, std::size_t length,
                                   std::size_t spare, std::uint8_t mask) {
  bytes[std::min<std::uint64_t>(at, spare)] &= mask;
  return static_cast<std::uint32_t>((at - length) >> 63);
}

// Primes with short turns keep the first byte b of their next turn of the
// wheel (cofactors 30j + 1 to 30j + 29) and cross every turn that starts
// inside the segment, whole: its last multiples may lie in the segments
// after it. Returns the first byte of the next turn.
template <std::uint32_t C>
inline std::uint64_t CrossTurns(std::uint8_t* bytes, std::size_t length, std::uint64_t q,
                                std::uint64_t b) {
  if (b >= length) return b;
  constexpr auto& kTurn = kSpan[C][0];
  const std::uint64_t o[8] = {0,
                              q * 6 + kTurn[1].CorrectionSum,
                              q * 10 + kTurn[2].CorrectionSum,
                              q * 12 + kTurn[3].CorrectionSum,
                              q * 16 + kTurn[4].CorrectionSum,
                              q * 18 + kTurn[5].CorrectionSum,
                              q * 22 + kTurn[6].CorrectionSum,
                              q * 28 + kTurn[7].CorrectionSum};
  const std::uint64_t p = 30 * q + kWheelResidues[C];
  do {
    bytes[b] &= kTurn[0].Mask;
    bytes[b + o[1]] &= kTurn[1].Mask;
    bytes[b + o[2]] &= kTurn[2].Mask;
    bytes[b + o[3]] &= kTurn[3].Mask;
    bytes[b + o[4]] &= kTurn[4].Mask;
    bytes[b + o[5]] &= kTurn[5].Mask;
    bytes[b + o[6]] &= kTurn[6].Mask;
    bytes[b + o[7]] &= kTurn[7].Mask;
  } while ((b += p) < length);
  return b;
}

// CrossTurns for a class known only at run time.
inline std::uint64_t CrossTurn(std::uint8_t* bytes, std::size_t length, std::uint64_t q,
                               std::uint32_t c, std::uint64_t b) {
  const auto& turn = kSpan[c][0];
  do {
    for (int k = 0; k < 8; ++k) {
      bytes[b + q * kSpan[0][0][k].GapSum + turn[k].CorrectionSum] &= turn[k].Mask;
    }
  } while ((b += 30 * q + kWheelResidues[c]) < length);
  return b;
}

template <std::uint32_t C>
void CrossClass(std::uint8_t* bytes, std::size_t length, std::uint32_t shift,
                TSegmentSieve::TVisited* primes, std::size_t active) {
  for (std::size_t i = 0; i < active; ++i) {
    primes[i].Next = static_cast<std::uint32_t>(
        CrossTurns<C>(bytes, length, primes[i].Q, primes[i].Next) - shift);
  }
}

}  // namespace

TSegmentSieve::TSegmentSieve(const TPrimeFound& primes, const TPresieve& presieve,
                             std::uint64_t step, std::uint64_t turnBytes)
    : presieve_(&presieve), step_(step) {
  // Hits a segment of this many bytes at most k times: p * kMinSpan[k] >= reach.
  const std::uint64_t segmentBytes = step / 30 + 2;
  const std::uint64_t reach = 30 * (segmentBytes + 1);
  std::uint64_t longestTurn = 0;
  for (const std::uint64_t p : primes) {
    if (p <= presieve.Largest()) continue;
    const auto q = static_cast<std::uint32_t>(p / 30);
    const auto c = static_cast<std::uint32_t>(BitOf(p % 30));
    if (p <= turnBytes || p * kMinSpan[2] < reach) {
      if (p < segmentBytes) {
        visited_[c].push_back({q, 0});
      } else {
        rings_[kTurnRing].Primes.push_back(q << 3 | c);
      }
      longestTurn = p;
    } else {
      rings_[p * kMinSpan[1] >= reach ? 0 : 1].Primes.push_back(q << 3 | c);
    }
  }
  // A pass moves a prime on by a turn, by a gap (6 at most) or by two (10).
  for (int h = 0; h <= kTurnRing && step > 0; ++h) {
    if (rings_[h].Primes.empty()) continue;
    const std::uint64_t q = rings_[h].Primes.back() >> 3;
    const std::uint64_t jump = h == kTurnRing ? 30 * q + 30 : (h == 0 ? 6 : 10) * (q + 1);
    rings_[h].Ahead = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(kBuckets - 1, 30 * (segmentBytes + jump) / step));
  }
  if (step > 0) aheadQuotient_ = TSmallQuotient(step);
  reach_ = static_cast<std::size_t>(segmentBytes + longestTurn);
  window_.resize(2 * reach_ + 1, 0xFF);
}

void TSegmentSieve::TBucket::Reserve(std::uint32_t more) {
  if (Capacity - Filled >= more) return;
  const std::uint32_t capacity = std::max({std::uint32_t{64}, 2 * Capacity, Filled + more});
  auto grown = std::make_unique_for_overwrite<TWaiting[]>(capacity);
  std::copy(Data.get(), Data.get() + Filled, grown.get());
  Data = std::move(grown);
  Capacity = capacity;
}

void TSegmentSieve::Wait(TBucketRing& ring, std::uint64_t byte, std::uint64_t offset,
                         std::uint32_t wheel, std::uint32_t qClass) {
  if (&ring == &rings_[kTurnRing]) {
    byte += TurnStart(qClass >> 3, qClass & 7, offset, wheel) - offset;
    wheel = 0;
  }
  const std::uint64_t segment = std::max(segment_, (30 * byte - 1) / step_);
  const auto within = static_cast<std::uint32_t>(byte - FirstByteOf(segment));
  ring.Buckets[segment % kBuckets].Add({within << 3 | wheel, qClass});
}

void TSegmentSieve::StartAt(std::uint64_t segment) {
  segment_ = segment;
  sharedByte_ = UINT64_MAX;
  std::fill(window_.begin(), window_.end(), 0xFF);
  start_ = 0;
  dropBytes_ = 0;
  const std::uint64_t firstByte = FirstByteOf(segment);
  const std::uint64_t start = 30 * firstByte;
  // The first multiple p * m at or above start with m coprime to 30; the
  // primes whose squares lie at or above start wait for them (Activate).
  const auto place = [&](std::uint64_t p, auto&& placed) {
    const std::uint64_t cofactor = start / p + (start % p != 0 ? 1 : 0);
    const TRoundUp up = kRoundUp[cofactor % 30];
    placed((cofactor + up.Add) * p / 30, up.Wheel);
  };
  for (std::uint32_t c = 0; c < 8; ++c) {
    std::size_t& active = activeVisited_[c];
    for (active = 0; active < visited_[c].size(); ++active) {
      const std::uint64_t p = PrimeOf(visited_[c][active].Q, c);
      if (Square(p) >= start) break;
      place(p, [&](std::uint64_t byte, std::uint32_t wheel) {
        visited_[c][active].Next = static_cast<std::uint32_t>(
            TurnStart(visited_[c][active].Q, c, byte - firstByte, wheel));
      });
    }
  }
  for (TBucketRing& ring : rings_) {
    for (TBucket& bucket : ring.Buckets) bucket.Filled = 0;
    for (ring.Active = 0; ring.Active < ring.Primes.size(); ++ring.Active) {
      const std::uint32_t qClass = ring.Primes[ring.Active];
      const std::uint64_t p = PrimeOf(qClass >> 3, qClass & 7);
      if (Square(p) >= start) break;
      place(p, [&](std::uint64_t byte, std::uint32_t wheel) {
        Wait(ring, byte, byte - firstByte, wheel, qClass);
      });
    }
  }
}

// Primes whose squares reach the segment start there: p * p has the
// cofactor p, at wheel position c.
void TSegmentSieve::Activate(std::uint64_t firstByte, std::uint64_t lastByte) {
  for (std::uint32_t c = 0; c < 8; ++c) {
    std::size_t& active = activeVisited_[c];
    for (; active < visited_[c].size(); ++active) {
      const std::uint64_t byte = Square(PrimeOf(visited_[c][active].Q, c)) / 30;
      if (byte > lastByte) break;
      visited_[c][active].Next =
          static_cast<std::uint32_t>(TurnStart(visited_[c][active].Q, c, byte - firstByte, c));
    }
  }
  for (TBucketRing& ring : rings_) {
    for (; ring.Active < ring.Primes.size(); ++ring.Active) {
      const std::uint32_t qClass = ring.Primes[ring.Active];
      const std::uint64_t byte = Square(PrimeOf(qClass >> 3, qClass & 7)) / 30;
      if (byte > lastByte) break;
      Wait(ring, byte, byte - firstByte, qClass & 7, qClass);
    }
  }
}

// The turn holding the multiple starts q * (residue - 1) + r * residue div
// 30 bytes before it. When that lies before the segment, the rest of the
// turn is crossed now and the prime goes on from the next one.
std::uint64_t TSegmentSieve::TurnStart(std::uint64_t q, std::uint32_t c, std::uint64_t offset,
                                       std::uint32_t wheel) {
  const std::uint32_t residue = kWheelResidues[wheel];
  const std::uint64_t before = q * (residue - 1) + kWheelResidues[c] * residue / 30;
  if (offset >= before) return offset - before;
  for (std::uint32_t k = 0; wheel + k < 8; ++k) {
    const TSpan& span = kSpan[c][wheel][k];
    window_[start_ + offset + q * span.GapSum + span.CorrectionSum] &= span.Mask;
  }
  return offset - before + 30 * q + kWheelResidues[c];
}

void TSegmentSieve::CrossVisited(std::size_t length, std::uint32_t shift) {
  [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
    (CrossClass<C>(window_.data() + start_, length, shift, visited_[C].data(), activeVisited_[C]),
     ...);
  }(std::make_integer_sequence<std::uint32_t, 8>());
}

// Each waiting prime crosses its hits (the first one lies inside) or its
// turn, then waits for its next segment: the one whose bytes reach its next
// multiple or turn, at most ring.Ahead on.
template <int Ring>
void TSegmentSieve::EmptyBucket(TBucketRing& ring, std::size_t length) {
  TBucket& current = ring.Buckets[segment_ % kBuckets];
  const std::uint32_t count = current.Filled;
  current.Filled = 0;
  if (count == 0) return;
  // Room for every prime first, so that the loop writes through plain
  // pointers rather than through the buckets.
  TWaiting* tail[kBuckets];
  for (std::uint32_t d = 1; d <= ring.Ahead; ++d) {
    TBucket& bucket = ring.Buckets[(segment_ + d) % kBuckets];
    bucket.Reserve(count);
    tail[d] = bucket.Data.get() + bucket.Filled;
  }
  const TWaiting* waiting = current.Data.get();
  std::uint8_t* bytes = window_.data() + start_;
  const std::size_t spare = window_.size() - 1 - start_;
  const std::uint64_t base = aheadBase_;
  const TSmallQuotient quotient = aheadQuotient_;
  const std::uint32_t* aheadFirst = aheadFirst_;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t b = waiting[i].OffsetWheel >> 3;
    std::uint32_t w = waiting[i].OffsetWheel & 7;
    const std::uint32_t qClass = waiting[i].QClass;
    const std::uint64_t q = qClass >> 3;
    const TWaitingStep& steps = kWaitingSteps[(qClass & 7) << 3 | w];
    const std::uint64_t second = b + q * steps.GapSum[0] + steps.CorrectionSum[0];
    if constexpr (Ring == kTurnRing) {
      b = CrossTurn(bytes, length, q, qClass & 7, b);
    } else if constexpr (Ring == 0) {
      bytes[b] &= steps.Mask[0];
      b = second;
      w = (w + 1) & 7;
    } else {
      bytes[b] &= steps.Mask[0];
      const std::uint32_t inside = CrossIfInside(bytes, second, length, spare, steps.Mask[1]);
      const std::uint64_t third = b + q * steps.GapSum[1] + steps.CorrectionSum[1];
      b = second + ((third - second) & (0 - std::uint64_t{inside}));  // no branch
      w = (w + 1 + inside) & 7;
    }
    const std::uint64_t ahead = quotient.Of(30 * b + base);  // b lies in segment_ + ahead
    *tail[ahead]++ = {static_cast<std::uint32_t>(b - aheadFirst[ahead]) << 3 | w, qClass};
  }
  for (std::uint32_t d = 1; d <= ring.Ahead; ++d) {
    TBucket& bucket = ring.Buckets[(segment_ + d) % kBuckets];
    bucket.Filled = static_cast<std::uint32_t>(tail[d] - bucket.Data.get());
  }
}

// The last segment, cut short: its waiting primes go nowhere after it.
void TSegmentSieve::CrossLastBucket(TBucketRing& ring, std::size_t length) {
  const TBucket& bucket = ring.Buckets[segment_ % kBuckets];
  for (std::uint32_t i = 0; i < bucket.Filled; ++i) {
    const std::uint64_t b = bucket.Data[i].OffsetWheel >> 3;
    const std::uint64_t q = bucket.Data[i].QClass >> 3;
    const std::uint32_t c = bucket.Data[i].QClass & 7;
    if (&ring == &rings_[kTurnRing]) {
      CrossTurn(window_.data() + start_, length, q, c, b);
      continue;
    }
    const auto& span = kSpan[c][bucket.Data[i].OffsetWheel & 7];
    for (int k = 0; k < 2; ++k) {  // at most two hits
      CrossIfInside(window_.data() + start_, b + q * span[k].GapSum + span[k].CorrectionSum,
                    length, window_.size() - 1 - start_, span[k].Mask);
    }
  }
}

TSegmentBits TSegmentSieve::Sieve(std::uint64_t low, std::uint64_t high) {
  assert(low == segment_ * step_ + 1 && high >= low && high - low < step_);
  const std::uint64_t firstByte = low / 30;
  const std::uint64_t lastByte = high / 30;
  const auto length = static_cast<std::size_t>(lastByte - firstByte + 1);
  start_ += dropBytes_;
  const std::size_t kept = window_.size() - 1;  // all but the spare byte
  if (start_ + reach_ > kept) {
    std::memmove(window_.data(), window_.data() + start_, kept - start_);
    std::memset(window_.data() + kept - start_, 0xFF, start_);
    start_ = 0;
  }
  std::uint8_t* bytes = window_.data() + start_;
  presieve_->Fill(bytes, firstByte, length);
  if (sharedByte_ == firstByte) bytes[0] = sharedBits_;
  Activate(firstByte, lastByte);
  for (std::uint32_t d = 0; d < kBuckets; ++d) {
    aheadFirst_[d] = static_cast<std::uint32_t>(FirstByteOf(segment_ + d) - firstByte);
  }
  aheadBase_ = 30 * firstByte - segment_ * step_ - 1;  // wraps: 1 to 30 below 0
  CrossVisited(length, aheadFirst_[1]);
  if (high == (segment_ + 1) * step_) {
    EmptyBucket<0>(rings_[0], length);
    EmptyBucket<1>(rings_[1], length);
    EmptyBucket<kTurnRing>(rings_[kTurnRing], length);
  } else {
    for (TBucketRing& ring : rings_) CrossLastBucket(ring, length);
  }
  sharedByte_ = lastByte;
  sharedBits_ = bytes[length - 1];
  dropBytes_ = aheadFirst_[1];
  ++segment_;

  bytes[0] &= kKeep[0][low - 30 * firstByte];
  bytes[length - 1] &= kKeep[1][high - 30 * lastByte];
  return {bytes, length, firstByte, low, high};
}

namespace {

std::uint64_t LoadWord(const std::uint8_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Bits set in bytes[0, count).
std::uint64_t CountBitsPortably(const std::uint8_t* bytes, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) total += static_cast<std::uint64_t>(std::popcount(LoadWord(bytes + i)));
  for (; i < count; ++i) total += static_cast<std::uint64_t>(std::popcount(bytes[i]));
  return total;
}

// Portable builds count bits without the processor's instruction for it,
// several times slower; this compiler can use it where the processor has it.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
__attribute__((target("popcnt"))) std::uint64_t CountBitsByInstruction(const std::uint8_t* bytes,
                                                                        std::size_t count) {
  return CountBitsPortably(bytes, count);
}

std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count) {
  static const bool hasInstruction = __builtin_cpu_supports("popcnt");
  return hasInstruction ? CountBitsByInstruction(bytes, count) : CountBitsPortably(bytes, count);
}
#else
std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count) {
  return CountBitsPortably(bytes, count);
}
#endif

}  // namespace

std::uint64_t CountSegmentPrimes(const TSegmentBits& bits) {
  std::uint64_t count = CountBits(bits.Bytes, bits.Length);
  for (const std::uint64_t p : {2, 3, 5}) count += p >= bits.Low && p <= bits.High ? 1 : 0;
  return count;
}

std::uint64_t HighestSegmentPrime(const TSegmentBits& bits) {
  for (std::size_t i = bits.Length; i-- > 0;) {
    if (bits.Bytes[i] != 0) {
      return 30 * (bits.FirstByte + i) + kWheelResidues[std::bit_width(bits.Bytes[i]) - 1];
    }
  }
  std::uint64_t highest = 0;
  ForEachSegmentPrime(bits, [&](std::uint64_t p) { highest = p; });
  return highest;
}

void ExpandSegment(const TSegmentBits& bits, std::uint8_t* table) {
  std::memset(table + bits.Low, 0, bits.High - bits.Low + 1);
  ForEachSegmentPrime(bits, [&](std::uint64_t p) { table[p] = 1; });
}

// Every byte is 0 or 1, so the bits set are the bytes set.
std::uint64_t CountOnes(const std::uint8_t* table, std::size_t count) {
  return CountBits(table, count);
}

std::size_t FindLastOne(const std::uint8_t* table, std::size_t count) {
  std::size_t i = count;
  for (; i % 8 != 0; --i) {
    if (table[i - 1] != 0) return i - 1;
  }
  while (i >= 8 && LoadWord(table + i - 8) == 0) i -= 8;
  for (; i > 0; --i) {
    if (table[i - 1] != 0) return i - 1;
  }
  return count;
}

TPrimeFound SmallPrimes(std::uint64_t limit) {
  TPrimeFound primes;
  std::vector<std::uint8_t> composite(limit + 1, 0);
  for (std::uint64_t p = 2; p <= limit; ++p) {
    if (composite[p] != 0) continue;
    primes.push_back(p);
    for (std::uint64_t m = p * p; p <= limit / p && m <= limit; m += p) composite[m] = 1;
  }
  return primes;
}

std::uint64_t TruncatedSqrt(std::uint64_t value) {
  return static_cast<std::uint64_t>(std::sqrt(static_cast<double>(value)));
}

}  // namespace tamsel
