#include "driver/option_table.h"

#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/console/exit_code.h"
#include "core/console/syntax_error.h"
#include "driver/base/run_state.h"
#include "engines/parallel_sieve.h"
#include "engines/search_job.h"

namespace tamsel {

namespace {

bool Switch(const char* aliases) { return FindSwitch(ParamList, aliases).Found; }

}  // namespace

void LookUpOptions() {
  TPredefinedResultsRec& shared = PredefinedResults;
  shared.Debug = FindSwitch(ParamList, "D DEBUG DEBUG-MODE");
  RunOptions.Debug = shared.Debug.Found;
  shared.ErrorDelay = CheckSwitch(ParamList, "  ERROR-DELAY", ErrorDelay);
  shared.AudibleError = CheckSwitch(ParamList, "  AUDIBLE-ERROR", AudibleError);
  shared.Help = FindSwitch(ParamList, "H HELP ? H2 HELP2 ??");
  RunOptions.Help = shared.Help.Found;
  shared.Verbose = FindSwitch(ParamList, "V VERBOSE BUILD H2 HELP2 ??");
  RunOptions.Verbose = shared.Verbose.Found;
  shared.VersionOnly = FindSwitch(ParamList, "  VERSION-ONLY BUILD-ONLY");
  RunOptions.VersionOnly = shared.VersionOnly.Found;
  shared.Info = FindSwitch(ParamList, "I INFO");
  RunOptions.Info = shared.Info.Found;
  shared.Banner = FindSwitch(ParamList, "B BANNER");
  RunOptions.Banner = shared.Banner.Found;
  RunOptions.Quiet = Switch("Q QUIET");
  RunOptions.StrictEval = Switch("T STRICT-EVAL STRICT-EVALUATION");
  RunOptions.ShowPrimes = Switch("S SHOW-PRIMES");
  RunOptions.Hexadecimal = Switch("X HEXADECIMAL");
  RunOptions.NoCount = Switch("N NO-COUNT");
  RunOptions.AlwaysSegmented = Switch("A ALWAYS-SEGMENTED");
  RunOptions.Parallel = GetIntParam(ParamList, "P PARALLEL", ThreadCount, 2, 1, MaxThreads).Found;
  RunOptions.Force = Switch("F FORCE");
  RunOptions.IsPrimeQuery = Switch("  ISPRIME");
  RunOptions.Factors = Switch("  FACTORS");
  RunOptions.PrimeFactors = Switch("  PRIMEFACTORS PRIME-FACTORS");
  RunOptions.Benchmark = Switch("  BENCHMARK");
}

void ApplyDebugConsoleSettings() {
  if (!RunOptions.Debug) return;
  ErrorDelay = true;
  AudibleError = true;
}

void AdjustOptions() {
  if (RunOptions.NoCount) {
    RunOptions.ShowPrimes = false;
    SetExitBit(kExitNoCountBit);
  }
  if (RunOptions.ShowPrimes) SetExitBit(kExitShowPrimesBit);
  if (RunOptions.Force) RunOptions.Parallel = true;
  // Two workers at least, counting those of every process of a search job
  // (tamsel-mpi on several ranks searches in parallel with one thread each).
  if (SearchJob().Workers(ThreadCount) < 2 && !RunOptions.Force) RunOptions.Parallel = false;
  if (!RunOptions.Parallel) ThreadCount = 1;
  // The parallel engine runs at most this many workers; reports must show
  // the count that really ran, also on machines with more processors.
  if (ThreadCount > kMaxWorkerThreads) ThreadCount = kMaxWorkerThreads;
}

}  // namespace tamsel
