// Validation of long command lines, such as a shell expands from a wildcard:
// the program's option lookups and its validation over N distinct arguments,
// and the repeat test alone against the plain scan of the distinct arguments
// it replaced (quadratic, so only small counts).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/cmdline/alias_words.h"
#include "core/cmdline/core_startup.h"
#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/console/text_helpers.h"
#include "driver/base/run_state.h"
#include "driver/option_table.h"
#include "core/cmdline/core_startup_testing.h"

namespace tamsel {
namespace {

// "100" and then zzzzzzzzzzzzzzzz1, zzzzzzzzzzzzzzzz2, ...
std::vector<std::string> LongCommandLine(std::int64_t count) {
  std::vector<std::string> arguments{"100"};
  for (std::int64_t i = 1; i < count; ++i) {
    arguments.push_back("zzzzzzzzzzzzzzzz" + std::to_string(i));
  }
  return arguments;
}

void LookUpAsTheProgramDoes(const std::vector<std::string>& arguments) {
  ResetCommandLineEngine();
  InitParamList(arguments);
  SyntaxMode = 2;
  MaxThreads = 2;
  GetNumberParam(ParamList, SearchLimit, 1);
  LookUpOptions();
}

void BM_ValidateSyntax(benchmark::State& state) {
  LookUpAsTheProgramDoes(LongCommandLine(state.range(0)));
  for (auto _ : state) {
    DefaultSyntaxRecord.Evaluated = false;
    ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
    benchmark::DoNotOptimize(CustomSyntaxRecord.UniqueCount);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LookUpAndValidate(benchmark::State& state) {
  const std::vector<std::string> arguments = LongCommandLine(state.range(0));
  for (auto _ : state) {
    LookUpAsTheProgramDoes(arguments);
    ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
    benchmark::DoNotOptimize(CustomSyntaxRecord.Valid);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The repeat test as a search of the lowered list of distinct arguments.
void BM_RepeatTestPlainScan(benchmark::State& state) {
  const std::vector<std::string> arguments = LongCommandLine(state.range(0));
  for (auto _ : state) {
    std::string uniqueLower;
    std::size_t unique = 0;
    for (const std::string& argument : arguments) {
      const std::string lower = LowerAscii(argument);
      if (uniqueLower.find(lower) != std::string::npos) continue;
      ++unique;
      uniqueLower += LowerAscii(QuoteIfSpaced(argument)) + " ";
    }
    benchmark::DoNotOptimize(unique);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ValidateSyntax)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookUpAndValidate)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepeatTestPlainScan)->Arg(1000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tamsel

BENCHMARK_MAIN();
