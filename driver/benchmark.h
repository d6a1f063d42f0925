// The benchmark mode: one search timed on a single thread and again on all
// logical processors, summed up in one greppable line.
#pragma once
#include <cstdint>
#include <string>

namespace tamsel {

struct TBenchmarkTexts {
  std::string Single;    // "[nn]:ss.zzz" of the single-thread pass
  std::string Full;      // "[nn]:ss.zzz" of the full-load pass
  std::string Duration;  // "[hh]:nn:ss.zzz" of both passes
  std::string Start;     // "mm/dd/yyyy hh:nn:ss.zzz"
  std::string End;
};

// The benchmark line, without its line end.
std::string BenchmarkLine(const TBenchmarkTexts& texts, std::int32_t threads,
                          std::uint64_t limit, bool noCount);

// Runs both passes up to SearchLimit and prints the start and benchmark lines.
void RunBenchmark();

}  // namespace tamsel
