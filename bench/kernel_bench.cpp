// The sieve kernel alone: k segments of a search up to n from segment
// `first` on, in one run, as a parallel worker sieves a run. Prints the
// count and highest prime, the time to find the base primes and sort them
// by kind, to place them, and to sieve, and the peak resident memory.
//
// Usage: kernel_bench n first|last k [block bytes] [turn bytes]
//   (first = last: the k segments that end with the one holding n; k = 0:
//   up to n; block bytes 0: the machine's choice)
// The base primes up to s come from the kernel itself, their bits copied
// into the kernel's table of them, so that no list of them is kept.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engines/segmented_sieve.h"
#include "engines/sieve_kernel.h"

namespace tamsel {
namespace {

// The bits of the primes up to limit (see TPrimeBits): those up to its square root from a plain sieve, the
// others copied from the kernel's bytes piece by piece.
TPrimeBits PrimeBitsUpTo(std::uint64_t limit) {
  const std::uint64_t root = SegmentSizes(limit).Size;
  const TPrimeFound small = SmallPrimes(root);
  TPrimeBits bits{std::vector<std::uint64_t>(limit / 240 + 1, 0)};
  auto* bytes = reinterpret_cast<std::uint8_t*>(bits.Words.data());
  for (const std::uint64_t p : small) {
    if (p >= 7) bytes[p / 30] |= static_cast<std::uint8_t>(1 << kRoundUp<30>[p % 30].Wheel);
  }
  if (root + 1 > limit) return bits;
  const TPresieve presieve(root, limit / 30);
  const TSievingPrimes sieving(small, presieve);
  TSegmentSieve sieve(sieving);
  sieve.StartAt(root + 1, limit);
  sieve.ForEachPiece(root + 1, limit, [&](const TSegmentBits& piece) {
    if (piece.Length > 2) std::memcpy(bytes + piece.FirstByte + 1, piece.Bytes + 1, piece.Length - 2);
    bytes[piece.FirstByte] |= piece.Masked(0);
    bytes[piece.FirstByte + piece.Length - 1] |= piece.Masked(piece.Length - 1);
  });
  return bits;
}

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
  const TSievingPrimes sieving(PrimeBitsUpTo(s), presieve, block == 0 ? ChooseBlockBytes() : block, turn);
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
