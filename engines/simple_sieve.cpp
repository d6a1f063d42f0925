#include "engines/simple_sieve.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "driver/base/run_state.h"
#include "engines/search_progress.h"
#include "engines/sieve_kernel.h"

namespace tamsel {

namespace {

void ShowAndCount(const TPrimeCheck& table, std::uint64_t upTo, TPrimeRecord& record) {
  for (std::uint64_t i = 0; i <= upTo; ++i) {
    if (table[i] == 0) continue;
    ++record.Count;
    ShowPrime(i, record.Count);
  }
}

void BuildTable(TPrimeCheck& table, std::uint64_t limit, bool showsProgress) {
  table.resize(limit + 1);
  const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(limit)));
  const TPrimeFound basePrimes = SmallPrimes(root);
  // Sieved as bits in the kernel's blocks, each then spread out to a byte
  // per number.
  const TPresieve presieve(root, limit / 30);
  const TSievingPrimes sieving(basePrimes, presieve);
  TSegmentSieve sieve(sieving);
  sieve.StartAt(0, limit);
  std::optional<TSearchProgress> progress;
  if (showsProgress) progress.emplace(limit / 30 / sieving.BlockBytes() + 1);
  sieve.ForEachPiece(0, limit, [&](const TSegmentBits& bits) {
    std::memset(table.data() + bits.Low, 0, bits.High - bits.Low + 1);
    ForEachSegmentPrime(bits, [&](std::uint64_t p) { table[p] = 1; });
    AddProgress(1);
  });
  // 0 and 1 are no primes; the presieve crossed out its own primes, and
  // the smallest crossing primes their own bits.
  table[0] = 0;
  if (limit >= 1) table[1] = 0;
  for (const std::uint64_t p : basePrimes) table[p] = 1;
}

}  // namespace

void SieveTable(TPrimeCheck& table, std::uint64_t limit, TTimeStamp& endTime) {
  BuildTable(table, limit, true);
  endTime = Now();
}

TPrimeCheck FreshSieveTable(std::uint64_t limit) {
  TPrimeCheck table;
  BuildTable(table, limit, false);
  return table;
}

void CountPrimes(const TPrimeCheck& table, TPrimeRecord& record) {
  BeginPrimeList();
  const std::uint64_t top = table.size() - 1;
  // Index 0 is never examined: h is the highest prime, or 1 when none.
  std::uint64_t h = 1;
  if (table.size() > 2) {
    const std::size_t last = FindLastOne(table.data() + 2, table.size() - 2);
    if (last != table.size() - 2) {
      h = last + 2;
      record.Highest = h;
    }
  }
  if (!RunOptions.NoCount) {
    if (RunOptions.ShowPrimes) {
      ShowAndCount(table, h, record);
    } else {
      record.Count += CountBits(table.data(), h + 1);  // every byte is 0 or 1
    }
  }
  if (!RunOptions.Benchmark) {
    EndPrimeList();
    ReportResults(top, record);
  }
}

}  // namespace tamsel
