#include "engines/simple_sieve.h"

#include <algorithm>
#include <optional>

#include "driver/base/run_state.h"
#include "engines/search_progress.h"
#include "engines/sieve_kernel.h"

namespace tamsel {

namespace {

// Crossing out works through the table in blocks that stay in the cache.
constexpr std::uint64_t kBlockBytes = 1 << 18;

void ShowAndCount(const TPrimeCheck& table, std::uint64_t upTo, TPrimeRecord& record) {
  for (std::uint64_t i = 0; i <= upTo; ++i) {
    if (table[i] == 0) continue;
    ++record.Count;
    ShowPrime(i, record.Count);
  }
}

void BuildTable(TPrimeCheck& table, std::uint64_t limit, bool showsProgress) {
  table.resize(limit + 1);
  const std::uint64_t root = TruncatedSqrt(limit);
  const TPresieve presieve(root);
  presieve.Fill(table.data(), 0, table.size());
  table[0] = 0;
  table[1] = 0;
  const TPrimeFound basePrimes = SmallPrimes(root);
  for (const std::uint64_t p : basePrimes) {
    if (p > presieve.Largest()) break;
    table[p] = 1;  // the pattern crossed out the presieved primes themselves
  }
  if (presieve.Largest() != 0) {
    const std::uint64_t block = std::min<std::uint64_t>(kBlockBytes, table.size());
    TCrossingSet crossing(basePrimes, presieve.Largest(), block);
    crossing.StartAt(0);
    std::optional<TSearchProgress> progress;
    if (showsProgress) progress.emplace((table.size() + block - 1) / block);
    for (std::uint64_t low = 0; low < table.size(); low += block) {
      const std::uint64_t length = std::min<std::uint64_t>(block, table.size() - low);
      crossing.Cross(table.data() + low, length);
      AddProgress(1);
    }
  }
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
      record.Count += CountOnes(table.data(), h + 1);
    }
  }
  if (!RunOptions.Benchmark) {
    EndPrimeList();
    ReportResults(top, record);
  }
}

}  // namespace tamsel
