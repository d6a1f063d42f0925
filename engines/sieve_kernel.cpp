#include "engines/sieve_kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace tamsel {

namespace {

// The wheel: for a prime p = 30q + r (r the residue of class c), the
// multiple p * m with cofactor m = 30j + kWheelResidues[w] lies in byte
// j * p + q * kWheelResidues[w] + r * kWheelResidues[w] div 30, at the bit of
// r * kWheelResidues[w] mod 30. From wheel position w to the next the byte
// grows by q * Gap + Correction.
struct TStep {
  std::uint8_t Mask;  // all bits but the multiple's
  std::uint8_t Gap;
  std::uint8_t Correction;
  std::uint8_t Unused;  // four bytes load at once
};

constexpr int BitOf(std::uint32_t residue) {
  for (int b = 0; b < 8; ++b) {
    if (kWheelResidues[b] == residue) return b;
  }
  return -1;
}

// The cofactor after position w: 31 stands for the first of the next turn.
constexpr std::uint32_t NextResidue(std::uint32_t w) { return w < 7 ? kWheelResidues[w + 1] : 31; }

constexpr auto kSteps = [] {
  std::array<std::array<TStep, 8>, 8> steps{};
  for (std::uint32_t c = 0; c < 8; ++c) {
    const std::uint32_t r = kWheelResidues[c];
    for (std::uint32_t w = 0; w < 8; ++w) {
      const std::uint32_t m = kWheelResidues[w];
      steps[c][w] = {static_cast<std::uint8_t>(~(1u << BitOf(r * m % 30))),
                     static_cast<std::uint8_t>(NextResidue(w) - m),
                     static_cast<std::uint8_t>(r * NextResidue(w) / 30 - r * m / 30), 0};
    }
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

// Bits of the numbers 30b + r with r >= t, and with r <= t.
constexpr auto kKeepFrom = [] {
  std::array<std::uint8_t, 30> keep{};
  for (std::uint32_t t = 0; t < 30; ++t) {
    for (int b = 0; b < 8; ++b) keep[t] |= kWheelResidues[b] >= t ? 1 << b : 0;
  }
  return keep;
}();
constexpr auto kKeepUpTo = [] {
  std::array<std::uint8_t, 30> keep{};
  for (std::uint32_t t = 0; t < 30; ++t) {
    for (int b = 0; b < 8; ++b) keep[t] |= kWheelResidues[b] <= t ? 1 << b : 0;
  }
  return keep;
}();

std::uint64_t Square(std::uint64_t p) { return p * p; }

std::uint64_t PrimeOf(std::uint32_t q, std::uint32_t c) {
  return 30 * std::uint64_t{q} + kWheelResidues[c];
}

}  // namespace

// ---------------------------------------------------------------------------
// Presieve

namespace {

// Groups of primes whose product, the period of their pattern in bytes,
// stays small enough to be read from the level 2 cache. The first group is
// copied, the others are combined into it.
const std::initializer_list<std::initializer_list<std::uint32_t>> kPresieveGroups = {
    {7, 11, 13, 17}, {19, 23, 29}, {31, 37, 41}, {43, 47, 53}, {59, 61, 67}};

std::vector<std::uint8_t> PatternOf(const std::vector<std::uint32_t>& primes) {
  std::uint64_t period = 1;
  for (const std::uint32_t p : primes) period *= p;
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
    patterns_.push_back(PatternOf(primes));
    largest_ = primes.back();
    if (primes.size() < group.size()) break;
  }
}

void TPresieve::Fill(std::uint8_t* bytes, std::uint64_t firstByte, std::size_t count) const {
  if (patterns_.empty()) {
    std::memset(bytes, 0xFF, count);
    return;
  }
  for (std::size_t g = 0; g < patterns_.size(); ++g) {
    const std::uint8_t* pattern = patterns_[g].data();
    const std::size_t period = patterns_[g].size();
    std::size_t phase = static_cast<std::size_t>(firstByte % period);
    for (std::size_t done = 0; done < count;) {
      const std::size_t piece = std::min(count - done, period - phase);
      std::uint8_t* out = bytes + done;
      const std::uint8_t* in = pattern + phase;
      if (g == 0) {
        std::memcpy(out, in, piece);
      } else {
        for (std::size_t i = 0; i < piece; ++i) out[i] &= in[i];
      }
      done += piece;
      phase = 0;
    }
  }
}

// ---------------------------------------------------------------------------
// Crossing out

namespace {

using TVisited = TSegmentSieve::TVisited;
using TWaiting = TSegmentSieve::TWaiting;

// kSpan[c][w][k]: from a multiple at wheel position w of a class-c prime,
// the k-th multiple on lies q * GapSum + CorrectionSum bytes further, and
// Mask clears its bit.
struct TSpan {
  std::uint8_t GapSum;
  std::uint8_t CorrectionSum;
  std::uint8_t Mask;
};
constexpr auto kSpan = [] {
  std::array<std::array<std::array<TSpan, 9>, 8>, 8> span{};
  for (std::uint32_t c = 0; c < 8; ++c) {
    for (std::uint32_t w = 0; w < 8; ++w) {
      std::uint32_t gaps = 0;
      std::uint32_t corrections = 0;
      for (std::uint32_t k = 0; k <= 8; ++k) {
        span[c][w][k] = {static_cast<std::uint8_t>(gaps), static_cast<std::uint8_t>(corrections),
                         kSteps[c][(w + k) % 8].Mask};
        gaps += kSteps[c][(w + k) % 8].Gap;
        corrections += kSteps[c][(w + k) % 8].Correction;
      }
    }
  }
  return span;
}();

// Clears the mask's bit in bytes[at] when at < length, else in the scratch
// byte, and tells whether it was inside. The target address is picked by a
// mask, not a condition: compilers turn a conditional choice of target back
// into a branch, which mispredicts about every other time here.
inline std::uint32_t CrossIfInside(std::uint8_t* bytes, std::uint8_t* scratch, std::uint64_t at,
                                   std::size_t length, std::uint8_t mask) {
  const std::uint32_t inside = at < length ? 1 : 0;
  const auto scratchAddress = reinterpret_cast<std::uintptr_t>(scratch);
  const std::uintptr_t keep = 0 - static_cast<std::uintptr_t>(inside);
  const std::uintptr_t target =
      scratchAddress + ((reinterpret_cast<std::uintptr_t>(bytes) + at - scratchAddress) & keep);
  *reinterpret_cast<std::uint8_t*>(target) &= mask;
  return inside;
}

// Up to Hits multiples from b on, without a branch; moves b and w past
// the ones inside.
template <int Hits>
inline void CrossFew(std::uint8_t* bytes, std::uint8_t* scratch, std::size_t length,
                     const std::array<TSpan, 9>& span, std::uint64_t q, std::uint64_t& b,
                     std::uint32_t& w) {
  std::uint32_t hits = 0;
  for (int k = 0; k < Hits; ++k) {
    hits += CrossIfInside(bytes, scratch, b + q * span[k].GapSum + span[k].CorrectionSum, length,
                          span[k].Mask);
  }
  b += q * span[hits].GapSum + span[hits].CorrectionSum;
  w = (w + hits) & 7;
}

// A turn of the wheel: the eight multiples p * (30j + kWheelResidues[k]) of
// a class-C prime lie kTurnOffset... bytes after the first, q * (residue - 1)
// plus r * residue div 30.
template <std::uint32_t C>
struct TTurn {
  static constexpr std::uint32_t r = kWheelResidues[C];
  static constexpr std::uint8_t Mask(int k) { return kSteps[C][k].Mask; }
  static constexpr std::uint32_t Extra(int k) { return r * kWheelResidues[k] / 30; }
  explicit TTurn(std::uint64_t q)
      : Offset{0,
               q * 6 + Extra(1),
               q * 10 + Extra(2),
               q * 12 + Extra(3),
               q * 16 + Extra(4),
               q * 18 + Extra(5),
               q * 22 + Extra(6),
               q * 28 + Extra(7)},
        Length(30 * q + r) {}
  std::uint64_t Offset[8];
  std::uint64_t Length;  // p bytes
};

// The eight multiples of the turn at t, those outside bytes[0, length) into
// the scratch byte; t may lie before the segment.
template <std::uint32_t C, int... K>
inline void CrossTurnInside(std::uint8_t* bytes, std::uint8_t* scratch, std::size_t length,
                            const TTurn<C>& turn, std::int64_t t,
                            std::integer_sequence<int, K...>) {
  (CrossIfInside(bytes, scratch, static_cast<std::uint64_t>(t) + turn.Offset[K], length,
                 TTurn<C>::Mask(K)),
   ...);
}

// Primes with many hits per segment keep the first byte of their current
// turn, t. The turn at t is crossed where it lies inside the segment, those
// after it whole while they fit, and the one that reaches beyond the end
// where it lies inside; the next segment starts again from that one. A
// multiple crossed twice (in the byte two segments share) does no harm.
template <std::uint32_t C>
inline void CrossMany(std::uint8_t* bytes, std::uint8_t* scratch, std::size_t length,
                      std::uint64_t q, std::int64_t& turnStart) {
  const TTurn<C> turn(q);
  constexpr auto kAll = std::make_integer_sequence<int, 8>();
  const std::uint64_t o1 = turn.Offset[1], o2 = turn.Offset[2], o3 = turn.Offset[3];
  const std::uint64_t o4 = turn.Offset[4], o5 = turn.Offset[5], o6 = turn.Offset[6];
  const std::uint64_t o7 = turn.Offset[7];
  auto t = turnStart;
  CrossTurnInside(bytes, scratch, length, turn, t, kAll);
  if (t + static_cast<std::int64_t>(o7) >= static_cast<std::int64_t>(length)) return;
  auto b = static_cast<std::uint64_t>(t + static_cast<std::int64_t>(turn.Length));
  for (; b + o7 < length; b += turn.Length) {
    bytes[b] &= TTurn<C>::Mask(0);
    bytes[b + o1] &= TTurn<C>::Mask(1);
    bytes[b + o2] &= TTurn<C>::Mask(2);
    bytes[b + o3] &= TTurn<C>::Mask(3);
    bytes[b + o4] &= TTurn<C>::Mask(4);
    bytes[b + o5] &= TTurn<C>::Mask(5);
    bytes[b + o6] &= TTurn<C>::Mask(6);
    bytes[b + o7] &= TTurn<C>::Mask(7);
  }
  CrossTurnInside(bytes, scratch, length, turn, static_cast<std::int64_t>(b), kAll);
  turnStart = static_cast<std::int64_t>(b);
}

// For a waiting prime of class c at wheel position w, packed into eight
// bytes: the masks of its next two multiples and the distances to the
// second and third (q * Gap + Correction).
struct TWaitingStep {
  std::uint8_t Mask[2];
  std::uint8_t Gap[2];
  std::uint8_t Correction[2];
  std::uint8_t Unused[2];
};
constexpr auto kWaitingSteps = [] {
  std::array<TWaitingStep, 64> steps{};
  for (std::uint32_t c = 0; c < 8; ++c) {
    for (std::uint32_t w = 0; w < 8; ++w) {
      const auto& span = kSpan[c][w];
      steps[c * 8 + w] = {{span[0].Mask, span[1].Mask},
                          {span[1].GapSum, span[2].GapSum},
                          {span[1].CorrectionSum, span[2].CorrectionSum},
                          {0, 0}};
    }
  }
  return steps;
}();

// Fewest numbers spanned by k + 1 consecutive multiples on the wheel, in
// units of p: a prime with p * kMinSpan[k] >= 30 * bytes hits a segment of
// that many bytes at most k times.
constexpr auto kMinSpan = [] {
  std::array<std::uint32_t, 9> span{};
  for (std::uint32_t k = 1; k <= 8; ++k) {
    span[k] = 30;
    for (std::uint32_t w = 0; w < 8; ++w) span[k] = std::min<std::uint32_t>(span[k], kSpan[0][w][k].GapSum);
  }
  return span;
}();

// The visited primes of class C: from fewStart[h] on at most kFewHits - h
// hits per segment, before fewStart[0] any number.
template <std::uint32_t C>
void CrossClass(std::uint8_t* bytes, std::uint8_t* scratch, std::size_t length,
                std::uint32_t shift, TVisited* primes, std::size_t active,
                const std::size_t* fewStart) {
  const auto crossRange = [&](std::size_t from, std::size_t to, auto cross) {
    to = std::min(to, active);
    for (std::size_t i = from; i < to; ++i) {
      auto b = static_cast<std::uint64_t>(primes[i].Next);
      std::uint32_t w = primes[i].Wheel;
      cross(bytes, scratch, length, kSpan[C][w], primes[i].Q, b, w);
      primes[i].Next = static_cast<std::int32_t>(b - shift);
      primes[i].Wheel = w;
    }
  };
  const std::size_t many = std::min(fewStart[0], active);
  for (std::size_t i = 0; i < many; ++i) {
    std::int64_t t = primes[i].Next;
    CrossMany<C>(bytes, scratch, length, primes[i].Q, t);
    primes[i].Next = static_cast<std::int32_t>(t - shift);
  }
  [&]<int... H>(std::integer_sequence<int, H...>) {
    constexpr int kFew = TSegmentSieve::kFewHits;
    ((crossRange(fewStart[H], H + 1 < kFew ? fewStart[H + 1] : active,
                 [](auto&&... args) { CrossFew<kFew - H>(args...); })),
     ...);
  }(std::make_integer_sequence<int, TSegmentSieve::kFewHits>());
}

}  // namespace

TSegmentSieve::TSegmentSieve(const TPrimeFound& primes, const TPresieve& presieve,
                             std::uint64_t step)
    : presieve_(&presieve), step_(step) {
  // Hits a segment of this many bytes at most k times: p * kMinSpan[k] >= reach.
  const std::uint64_t reach = 30 * StorageBytes(step);
  for (const std::uint64_t p : primes) {
    if (p <= presieve.Largest()) continue;
    const auto q = static_cast<std::uint32_t>(p / 30);
    const auto c = static_cast<std::uint32_t>(BitOf(p % 30));
    int ring = -1;
    for (int h = kRings - 1; h >= 0; --h) {
      if (p * kMinSpan[h + 1] >= reach) ring = h;
    }
    if (ring >= 0) {
      rings_[ring].Primes.push_back(q << 3 | c);
    } else {
      visited_[c].push_back({q, 0, 0});
    }
  }
  for (std::uint32_t c = 0; c < 8; ++c) {
    for (int h = 0; h < kFewHits; ++h) {
      const std::uint64_t span = kMinSpan[kFewHits - h];
      fewStart_[c][h] = static_cast<std::size_t>(
          std::partition_point(visited_[c].begin(), visited_[c].end(),
                               [&](const TVisited& prime) {
                                 return PrimeOf(prime.Q, c) * span < reach;
                               }) -
          visited_[c].begin());
    }
  }
  if (step > 0) aheadQuotient_ = TSmallQuotient(step);
}

void TSegmentSieve::TBucket::Reserve(std::uint32_t more) {
  if (Capacity - Filled >= more) return;
  const std::uint32_t capacity = std::max({std::uint32_t{64}, 2 * Capacity, Filled + more});
  auto grown = std::make_unique_for_overwrite<TWaiting[]>(capacity);
  std::copy(Data.get(), Data.get() + Filled, grown.get());
  Data = std::move(grown);
  Capacity = capacity;
}

void TSegmentSieve::Wait(TBucketRing& ring, std::uint64_t earliest, std::uint64_t byte,
                         std::uint32_t wheel, std::uint32_t qClass) {
  const std::uint64_t segment = std::max(earliest, (30 * byte - 1) / step_);
  const auto offset = static_cast<std::uint32_t>(byte - FirstByteOf(segment));
  ring.Buckets[segment % kBuckets].Add({offset << 3 | wheel, qClass});
}

void TSegmentSieve::StartAt(std::uint64_t segment) {
  segment_ = segment;
  sharedByte_ = UINT64_MAX;
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
      TVisited& prime = visited_[c][active];
      const std::uint64_t p = PrimeOf(prime.Q, c);
      if (Square(p) >= start) break;
      place(p, [&](std::uint64_t byte, std::uint32_t wheel) {
        PlaceVisited(c, active, static_cast<std::int64_t>(byte - firstByte), wheel);
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
        Wait(ring, segment, byte, wheel, qClass);
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
      PlaceVisited(c, active, static_cast<std::int64_t>(byte - firstByte), c);
    }
  }
  for (TBucketRing& ring : rings_) {
    for (; ring.Active < ring.Primes.size(); ++ring.Active) {
      const std::uint32_t qClass = ring.Primes[ring.Active];
      const std::uint64_t byte = Square(PrimeOf(qClass >> 3, qClass & 7)) / 30;
      if (byte > lastByte) break;
      Wait(ring, segment_, byte, qClass & 7, qClass);
    }
  }
}

void TSegmentSieve::PlaceVisited(std::uint32_t c, std::size_t i, std::int64_t offset,
                                 std::uint32_t wheel) {
  TVisited& prime = visited_[c][i];
  if (i < fewStart_[c][0]) {
    // The turn holding the multiple starts q * (residue - 1) + r * residue
    // div 30 bytes before it.
    const std::uint32_t residue = kWheelResidues[wheel];
    offset -= static_cast<std::int64_t>(std::uint64_t{prime.Q} * (residue - 1) +
                                        kWheelResidues[c] * residue / 30);
  }
  prime.Next = static_cast<std::int32_t>(offset);
  prime.Wheel = wheel;
}

void TSegmentSieve::CrossVisited(std::uint8_t* bytes, std::size_t length, std::uint32_t shift) {
  [&]<std::uint32_t... C>(std::integer_sequence<std::uint32_t, C...>) {
    (CrossClass<C>(bytes, &scratch_, length, shift, visited_[C].data(), activeVisited_[C],
                   fewStart_[C]),
     ...);
  }(std::make_integer_sequence<std::uint32_t, 8>());
}

// Each waiting prime crosses its hits (the first one lies inside), then
// waits for its next segment: the one whose bytes reach the next multiple,
// at most kBuckets - 1 on.
template <int Ring>
void TSegmentSieve::EmptyBucket(TBucketRing& ring, std::uint8_t* bytes, std::size_t length) {
  TBucket& current = ring.Buckets[segment_ % kBuckets];
  const std::uint32_t count = current.Filled;
  current.Filled = 0;
  if (count == 0) return;
  // Room for every prime first, so that the loop writes through plain
  // pointers kept in registers rather than through the buckets.
  TWaiting* tail[kBuckets];
  for (std::uint32_t d = 1; d < kBuckets; ++d) {
    TBucket& bucket = ring.Buckets[(segment_ + d) % kBuckets];
    bucket.Reserve(count);
    tail[d] = bucket.Data.get() + bucket.Filled;
  }
  const TWaiting* waiting = current.Data.get();
  std::uint8_t* scratch = &scratch_;
  const std::uint64_t base = aheadBase_;
  const TSmallQuotient quotient = aheadQuotient_;
  const std::uint32_t* aheadFirst = aheadFirst_;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t b = waiting[i].OffsetWheel >> 3;
    std::uint32_t w = waiting[i].OffsetWheel & 7;
    const std::uint32_t qClass = waiting[i].QClass;
    const std::uint64_t q = qClass >> 3;
    const TWaitingStep& steps = kWaitingSteps[(qClass & 7) << 3 | w];
    const std::uint64_t second = b + q * steps.Gap[0] + steps.Correction[0];
    bytes[b] &= steps.Mask[0];
    if constexpr (Ring == 0) {
      b = second;
      w = (w + 1) & 7;
    } else {
      const std::uint32_t inside = CrossIfInside(bytes, scratch, second, length, steps.Mask[1]);
      const std::uint64_t third = b + q * steps.Gap[1] + steps.Correction[1];
      b = second + ((third - second) & (0 - std::uint64_t{inside}));  // no branch: it would mispredict
      w = (w + 1 + inside) & 7;
    }
    // The next multiple's byte b lies in segment segment_ + ahead.
    const std::uint64_t ahead = quotient.Of(30 * b + base);
    *tail[ahead]++ = {static_cast<std::uint32_t>(b - aheadFirst[ahead]) << 3 | w, qClass};
  }
  for (std::uint32_t d = 1; d < kBuckets; ++d) {
    TBucket& bucket = ring.Buckets[(segment_ + d) % kBuckets];
    bucket.Filled = static_cast<std::uint32_t>(tail[d] - bucket.Data.get());
  }
}

// The last segment, cut short: its waiting primes go nowhere after it.
void TSegmentSieve::CrossLastBucket(TBucketRing& ring, std::uint8_t* bytes, std::size_t length) {
  const TBucket& bucket = ring.Buckets[segment_ % kBuckets];
  for (std::uint32_t i = 0; i < bucket.Filled; ++i) {
    std::uint64_t b = bucket.Data[i].OffsetWheel >> 3;
    std::uint32_t w = bucket.Data[i].OffsetWheel & 7;
    const std::uint32_t qClass = bucket.Data[i].QClass;
    CrossFew<kRings>(bytes, &scratch_, length, kSpan[qClass & 7][w], qClass >> 3, b, w);
  }
}

TSegmentBits TSegmentSieve::Sieve(std::uint8_t* storage, std::uint64_t low, std::uint64_t high) {
  assert(low == segment_ * step_ + 1 && high >= low && high - low < step_);
  const std::uint64_t firstByte = low / 30;
  const std::uint64_t lastByte = high / 30;
  const auto length = static_cast<std::size_t>(lastByte - firstByte + 1);
  presieve_->Fill(storage, firstByte, length);
  if (sharedByte_ == firstByte) storage[0] = sharedBits_;
  Activate(firstByte, lastByte);
  for (std::uint32_t d = 0; d < kBuckets; ++d) {
    aheadFirst_[d] = static_cast<std::uint32_t>(FirstByteOf(segment_ + d) - firstByte);
  }
  aheadBase_ = 30 * firstByte - segment_ * step_ - 1;  // wraps: 1 to 30 below 0
  CrossVisited(storage, length, aheadFirst_[1]);
  if (high == (segment_ + 1) * step_) {
    EmptyBucket<0>(rings_[0], storage, length);
    EmptyBucket<1>(rings_[1], storage, length);
  } else {
    for (TBucketRing& ring : rings_) CrossLastBucket(ring, storage, length);
  }
  sharedByte_ = lastByte;
  sharedBits_ = storage[length - 1];
  ++segment_;

  storage[0] &= kKeepFrom[low - 30 * firstByte];
  storage[length - 1] &= kKeepUpTo[high - 30 * lastByte];
  return {storage, length, firstByte, low, high};
}

// ---------------------------------------------------------------------------
// Reading the bits

namespace {

std::uint64_t LoadWord(const std::uint8_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

std::uint64_t WheelPrimesIn(const TSegmentBits& bits) {
  std::uint64_t count = 0;
  for (const std::uint64_t p : {2, 3, 5}) count += p >= bits.Low && p <= bits.High ? 1 : 0;
  return count;
}

std::uint64_t CountBits(const std::uint8_t* bytes, std::size_t count) {
  std::uint64_t total = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) total += static_cast<std::uint64_t>(std::popcount(LoadWord(bytes + i)));
  for (; i < count; ++i) total += static_cast<std::uint64_t>(std::popcount(bytes[i]));
  return total;
}

}  // namespace

std::uint64_t CountSegmentPrimes(const TSegmentBits& bits) {
  return WheelPrimesIn(bits) + CountBits(bits.Bytes, bits.Length);
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

namespace {

// Sum of the eight byte lanes of a word whose lanes hold at most 255 each.
std::uint64_t SumLanes(std::uint64_t word) {
  const std::uint64_t pairs = (word & 0x00FF00FF00FF00FFULL) + ((word >> 8) & 0x00FF00FF00FF00FFULL);
  return (pairs * 0x0001000100010001ULL) >> 48;
}

}  // namespace

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

std::uint64_t TruncatedSqrt(std::uint64_t value) {
  return static_cast<std::uint64_t>(std::sqrt(static_cast<double>(value)));
}

}  // namespace tamsel
