// The sieve kernel alone: k segments of a search up to n from segment
// `first` on, in one run, as a parallel worker sieves a run. Prints the
// count and highest prime, the time to find the base primes and sort them
// by kind, to place them, and to sieve, and the peak resident memory.
//
// Usage: kernel_bench n first|last k [block bytes] [turn bytes]
//   (first = last: the k segments that end with the one holding n; k = 0:
//   up to n; block bytes 0: the machine's choice)
// The base primes up to s come from the kernel itself, a block at a time,
// so that no list of them is kept besides the kernel's own.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engines/segmented_sieve.h"
#include "engines/sieve_kernel.h"

namespace tamsel {
namespace {

// The primes up to limit in ascending order, as a range read once.
class TPrimesUpTo {
 public:
  explicit TPrimesUpTo(std::uint64_t limit)
      : limit_(limit), small_(SmallPrimes(SegmentSizes(limit).Size)), presieve_(97, limit / 30),
        sieving_(small_, presieve_), sieve_(sieving_), low_(SegmentSizes(limit).Size + 1) {
    if (low_ <= limit_) sieve_.StartAt(low_, limit_);
  }
  struct TEnd {};
  struct TIterator {
    TPrimesUpTo* Owner;
    std::uint64_t operator*() const { return Owner->primes_[Owner->at_]; }
    TIterator& operator++() {
      if (++Owner->at_ == Owner->primes_.size()) Owner->Refill();
      return *this;
    }
    bool operator!=(TEnd) const { return Owner->at_ < Owner->primes_.size(); }
  };
  TIterator begin() {
    primes_ = small_;  // the kernel may cross out its own primes
    return {this};
  }
  TEnd end() const { return {}; }

 private:
  void Refill() {
    primes_.clear();
    at_ = 0;
    if (low_ > limit_) return;
    const TSegmentBits bits = sieve_.Sieve(low_, limit_);
    ForEachSegmentPrime(bits, [&](std::uint64_t p) { primes_.push_back(p); });
    low_ = bits.High + 1;
    if (primes_.empty()) Refill();
  }
  std::uint64_t limit_;
  TPrimeFound small_;
  TPresieve presieve_;
  TSievingPrimes sieving_;
  TSegmentSieve sieve_;
  std::uint64_t low_;
  TPrimeFound primes_;
  std::size_t at_ = 0;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Run(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s n first|last k [block bytes] [turn bytes]\n", argv[0]);
    return 2;
  }
  const std::uint64_t n = std::strtoull(argv[1], nullptr, 10);
  const std::uint64_t k = std::strtoull(argv[3], nullptr, 10);
  const std::uint64_t s = SegmentSizes(n).Size;
  const bool fromEnd = std::string_view(argv[2]) == "last" && s > 0 && n > s;
  const std::uint64_t first = std::max<std::uint64_t>(
      1, fromEnd ? (n - 1) / s + 1 - std::min(k, (n - 1) / s) : std::strtoull(argv[2], nullptr, 10));
  const std::uint64_t block = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 0;
  const std::uint64_t turn = argc > 5 ? std::strtoull(argv[5], nullptr, 10) : TSievingPrimes::kTurnBytes;
  const std::uint64_t low = first * s + 1;
  if (s == 0 || low > n) {
    std::fprintf(stderr, "segment %llu lies beyond n\n", static_cast<unsigned long long>(first));
    return 2;
  }
  const std::uint64_t high = k == 0 || k > (n - low) / s ? n : low + k * s - 1;

  auto start = std::chrono::steady_clock::now();
  const TPresieve presieve(s, n / 30);
  TPrimesUpTo basePrimes(s);
  const TSievingPrimes sieving(basePrimes, presieve, block == 0 ? ChooseBlockBytes() : block, turn);
  const double baseSeconds = SecondsSince(start);
  start = std::chrono::steady_clock::now();
  TSegmentSieve sieve(sieving);
  sieve.StartAt(low, high);
  const double placeSeconds = SecondsSince(start);
  start = std::chrono::steady_clock::now();
  std::uint64_t count = 0, highest = 0;
  for (std::uint64_t segment = low; segment <= high; segment += s) {
    sieve.ForEachPiece(segment, std::min(high, segment + s - 1), [&](const TSegmentBits& bits) {
      count += CountSegmentPrimes(bits);
      highest = std::max(highest, HighestSegmentPrime(bits));
    });
    if (high - segment < s) break;
  }
  const double sieveSeconds = SecondsSince(start);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("numbers %llu to %llu (s %llu, block %llu bytes)\n", static_cast<unsigned long long>(low),
              static_cast<unsigned long long>(high), static_cast<unsigned long long>(s),
              static_cast<unsigned long long>(sieving.BlockBytes()));
  std::printf("count %llu highest %llu\n", static_cast<unsigned long long>(count),
              static_cast<unsigned long long>(highest));
  std::printf("base %.3f s place %.3f s sieve %.3f s total %.3f s peak %.1f MiB\n", baseSeconds,
              placeSeconds, sieveSeconds, baseSeconds + placeSeconds + sieveSeconds,
              static_cast<double>(usage.ru_maxrss) / 1024);
  return 0;
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) { return tamsel::Run(argc, argv); }
