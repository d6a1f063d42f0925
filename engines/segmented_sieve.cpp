#include "engines/segmented_sieve.h"

#include <algorithm>
#include <cmath>

#include "driver/base/run_state.h"
#include "engines/search_progress.h"
#include "engines/simple_sieve.h"

namespace tamsel {

namespace {

// The segment steps, shared by the inline loop of the normal engine and by
// SieveSegment, which the Plus engine calls once per segment.
[[gnu::always_inline]] inline void SegmentSteps(TPrimeCheck& /*table*/, TPrimeRecord& record,
                                                TBasePrimes& base, std::uint64_t low,
                                                std::uint64_t high) {
  // A segment may take several of the kernel's blocks, read piece by piece.
  base.Sieve.ForEachPiece(low, high, [&](const TSegmentBits& bits) {
    const std::uint64_t highest = HighestSegmentPrime(bits);
    if (highest == 0) return;  // no prime: Highest stays, nothing to count
    record.Highest = highest;
    if (RunOptions.NoCount) return;
    if (RunOptions.ShowPrimes) {
      ForEachSegmentPrime(bits, [&](std::uint64_t prime) {
        ++record.Count;
        ShowPrime(prime, record.Count);
      });
    } else {
      record.Count += CountSegmentPrimes(bits);
    }
  });
}

using TSegmentWork = void (*)(TPrimeCheck&, TPrimeRecord&, TBasePrimes&, std::uint64_t,
                              std::uint64_t);

void InlineSegment(TPrimeCheck& table, TPrimeRecord& record, TBasePrimes& base,
                   std::uint64_t low, std::uint64_t high) {
  SegmentSteps(table, record, base, low, high);
}

template <TSegmentWork Work>
void RunSegmentedSearch(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                        TTimeStamp& endTime, const char* method) {
  PrepareRecord(record);
  const TSegmentSizes sizes = SegmentSizes(n);
  table = FreshSieveTable(sizes.Size);
  TPrimeFound primes;
  CollectPrimes(primes, record, table, method);
  // Nothing reads the base table or the list again: the kernel keeps the
  // primes in a byte or four each. Each goes before the next takes room.
  TPrimeCheck().swap(table);
  TBasePrimes base(primes, n, sizes.Size);
  TPrimeFound().swap(primes);
  base.Sieve = TSegmentSieve(base.Primes);
  if (sizes.FirstLow <= n) base.Sieve.StartAt(sizes.FirstLow, n);

  TSearchProgress progress(SegmentCount(n, sizes.Size));
  std::uint64_t low = sizes.FirstLow;
  std::uint64_t high = sizes.FirstHigh;
  while (low <= n) {
    const bool last = high >= n;
    if (last) high = n;
    Work(table, record, base, low, high);
    AddProgress(1);
    if (last) break;  // stepping on could overflow near 2^64
    low += sizes.Size;
    high += sizes.Size;
  }
  progress.Stop();
  if (!RunOptions.Benchmark) EndPrimeList();
  endTime = Now();
  if (!RunOptions.Benchmark) ReportResults(n, record);
}

}  // namespace

TSegmentSizes SegmentSizes(std::uint64_t n) {
  const double root = std::sqrt(static_cast<double>(n));
  TSegmentSizes sizes;
  sizes.Size = static_cast<std::uint64_t>(root);
  sizes.FirstLow = sizes.Size + 1;
  sizes.FirstHigh = 2 * sizes.Size;
  if (sizes.Size == 0) return sizes;
  sizes.LastIndex = root == static_cast<double>(sizes.Size)
                        ? sizes.Size - 1
                        : static_cast<std::uint64_t>(std::llround(root));
  return sizes;
}

std::uint64_t SegmentCount(std::uint64_t n, std::uint64_t s) {
  return s == 0 || n <= s ? 0 : (n - 1) / s;
}

TBasePrimes::TBasePrimes(const TPrimeFound& primesUpToS, std::uint64_t n, std::uint64_t s)
    : Presieve(s, n / 30), Primes(primesUpToS, Presieve) {}

[[gnu::noinline]] void SieveSegment(TPrimeCheck& table, TPrimeRecord& record,
                                    TBasePrimes& base, std::uint64_t low, std::uint64_t high) {
  SegmentSteps(table, record, base, low, high);
}

void SegmentedSieve(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                    TTimeStamp& endTime) {
  RunSegmentedSearch<InlineSegment>(table, record, n, endTime, "Segmented");
}

void SegmentedSievePlus(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                        TTimeStamp& endTime) {
  RunSegmentedSearch<SieveSegment>(table, record, n, endTime, "Plus");
}

}  // namespace tamsel
