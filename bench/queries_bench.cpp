// The number queries at the top of their ranges, against the straightforward
// versions that try every candidate divisor (those take seconds: one run each).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/console/channels.h"
#include "driver/base/run_state.h"
#include "queries/factor_listing.h"
#include "queries/primality.h"
#include "queries/tests/plain_queries.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

constexpr std::uint64_t kLargestAcceptedPrime = 17999999999999999921ULL;
// The largest number the listing accepts (11 * a prime), a square of a prime
// near 2^31, the product of the two largest primes below 2^31 (the slowest
// kind to split) and a number with 129,024 divisors.
constexpr std::uint64_t kListed[] = {(1ULL << 62) - 257, 4611686014132420609ULL,
                                     4611685975477714963ULL, 3066842656354276800ULL};

template <bool (*Test)(std::uint64_t)>
void BM_IsPrime(benchmark::State& state) {
  std::uint64_t n = kLargestAcceptedPrime;
  for (auto _ : state) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(Test(n));
  }
}

template <void (*Show)(std::uint64_t)>
void BM_ShowFactors(benchmark::State& state) {
  RunOptions = TRunOptions{};
  RunOptions.PrimeFactors = state.range(1) != 0;
  const std::uint64_t n = kListed[state.range(0)];
  TChannelCapture capture;
  for (auto _ : state) {
    Show(n);
    capture.Clear();
  }
}

BENCHMARK(BM_IsPrime<IsPrime>)->Name("IsPrime/17999999999999999921");
BENCHMARK(BM_IsPrime<plain::IsPrime>)
    ->Name("PlainIsPrime/17999999999999999921")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowFactors<ShowFactors>)
    ->Name("ShowFactors")
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->ArgNames({"number", "marks"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowFactors<plain::ShowFactors>)
    ->Name("PlainShowFactors")
    ->Args({0, 0})
    ->ArgNames({"number", "marks"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tamsel

BENCHMARK_MAIN();
