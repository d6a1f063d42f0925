#include "driver/main_flow.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "core/cmdline/core_startup.h"
#include "core/cmdline/number_parse.h"
#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/syntax_error.h"
#include "core/console/text_helpers.h"
#include "core/console/unhandled_exception.h"
#include "cpuinfo/numcpulib.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"
#include "driver/benchmark.h"
#include "driver/help.h"
#include "driver/option_table.h"
#include "driver/progress_display.h"
#include "driver/timing_report.h"
#include "engines/os_memory.h"
#include "engines/parallel_sieve.h"
#include "engines/search_job.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"
#include "queries/factor_listing.h"
#include "queries/primality.h"

namespace tamsel {

TPrimeRecord SearchRecord;
TPrimeCheck SieveTableData;
TTimeStamp SearchEndTime;
TFileVersionInfoRec VersionInfo;

namespace {

// Values attached to an option with ":" or "=", as in -p:4.
constexpr std::int32_t kSyntaxAttachedValues = 2;

void ReadProcessorCounts() {
  const std::int32_t physical = PhysicalProcessorCount();
  const std::int32_t logical = LogicalProcessorCount();
  MaxThreads = logical != 0 ? logical : 2;
  SuggestedThreads = physical != 0 ? physical : MaxThreads - 1;
}

// A replaced number is warned about on standard error, with an empty line
// after the warning.
void WarnNumberReplaced(std::string_view warning) {
  TChannel& err = ErrChannel();
  err.Write(warning);
  err.Write(kLineEnd);
  err.WriteLn();
}

void WarnDefaultUsed(std::uint64_t typed) {
  WarnNumberReplaced("ERROR: Invalid Value Provided (" + FormatThousands(typed) +
                     ") -- Using Default Instead...");
}

// A syntax error ends the run; the caller returns at once.
bool ReportRejectedCommandLine() {
  if (CustomSyntaxRecord.Valid || RunOptions.Help || RunOptions.VersionOnly || RunOptions.Info) {
    return false;
  }
  if (CustomSyntaxRecord.EssentialMissing) {
    ReportSyntaxError(kExitMissingEssential, MissingEssentialMessage());
  } else if (!CustomSyntaxRecord.IncompleteList.empty()) {
    ReportSyntaxError(kExitIncompleteParameters,
                      "Incomplete Parameters Provided: " + CustomSyntaxRecord.IncompleteList);
  } else if (!CustomSyntaxRecord.InvalidList.empty()) {
    ReportSyntaxError(kExitInvalidParameters,
                      "Invalid Parameters Provided: " + CustomSyntaxRecord.InvalidList);
  } else {
    return false;
  }
  return true;
}

// Help, build information and banner-only requests end the run.
bool ServeInformationRequest() {
  if (RunOptions.Help) {
    ShowBuildInfo(VersionInfo, RunOptions.Verbose, true);
    ShowHelp(false);
    AssignExitCode(kExitHelpShown);
  } else if (RunOptions.VersionOnly) {
    ShowBuildInfo(VersionInfo, true, false);
  } else if (RunOptions.Info) {
    ShowBuildInfo(VersionInfo, true, true);
  } else {
    return false;
  }
  return true;
}

// Parameter 1 as typed, when it was taken as the number: empty when the
// command line begins with an option or has no argument.
std::string TypedNumberText() {
  if (ParamList.empty() || ParamList.front().Status != psNumber) return {};
  return ParamList.front().Text;
}

// The number the chosen mode works on when parameter 1 gave none: the factor
// listing and the benchmark raise 0 to 1, the primality question keeps it.
std::uint64_t NumberUsedByQuery() {
  const bool raised = RunOptions.Factors || RunOptions.PrimeFactors || RunOptions.Benchmark;
  return raised && SearchLimit == 0 ? 1 : SearchLimit;
}

// The queries accept 0 and 1, so a text the reader could not take (read as
// 0) would otherwise be answered as if 0 had been typed, and reported as
// success. It is warned about and ends with 89, or with -t is error 88.
// Returns false when it ended the run.
bool CheckQueryNumberWasRead() {
  const std::string typed = TypedNumberText();
  if (!typed.empty() && ReadTypedNumber(typed)) return true;
  if (RunOptions.StrictEval) {
    ReportSyntaxError(kExitOutOfRange,
                      typed.empty() ? "Incorrect Value Provided: No number was given"
                                    : "Incorrect Value Provided: " + QuoteIfSpaced(typed) +
                                          " is not a valid number");
    return false;
  }
  const std::string given = typed.empty()
                                ? std::string("ERROR: No Value Provided")
                                : "ERROR: Invalid Value Provided (" + QuoteIfSpaced(typed) + ")";
  WarnNumberReplaced(given + " -- Using " + FormatThousands(NumberUsedByQuery()) + " Instead...");
  AssignExitCode(kExitDefaultUsed);
  return true;
}

// Returns false when the number ended the run as a syntax error.
bool CheckSearchLimitRange() {
  const bool query = RunOptions.IsPrimeQuery || RunOptions.Factors || RunOptions.PrimeFactors;
  if (query && !CheckQueryNumberWasRead()) return false;
  if (SearchLimit < 2 && !query) {
    if (RunOptions.StrictEval) {
      ReportSyntaxError(kExitOutOfRange, "Incorrect Value Provided: Minimum valid number is 2");
      return false;
    }
    WarnDefaultUsed(SearchLimit);
    SearchLimit = DefaultLimit;
    AssignExitCode(kExitDefaultUsed);
  }
  if (SearchLimit > MaxLimit) {
    if (RunOptions.StrictEval) {
      ReportSyntaxError(kExitOutOfRange, "Incorrect Value Provided: Maximum valid number is " +
                                             FormatThousands(MaxLimit));
      return false;
    }
    WarnDefaultUsed(SearchLimit);
    SearchLimit = MaxLimit;
    AssignExitCode(kExitDefaultUsed);
  }
  return true;
}

void Dispatch() {
  if (RunOptions.Factors || RunOptions.PrimeFactors) {
    if (SearchLimit == 0) SearchLimit = 1;
    if (!FlushBeforeLongWork()) return;
    ShowFactors(SearchLimit);
  } else if (RunOptions.Benchmark) {
    RunBenchmark();
  } else if (RunOptions.IsPrimeQuery) {
    StdChannel().WriteLn(PrimalityAnswer(SearchLimit, IsPrime(SearchLimit), RunOptions.Quiet));
  } else {
    RunPrimeSearch();
  }
}

void RunSimpleSieve(TPrimeRecord& record, bool labelled) {
  SieveTableData = TPrimeCheck();
  SieveTable(SieveTableData, SearchLimit, SearchEndTime);
  if (labelled) record.Method = "Simple";
  CountPrimes(SieveTableData, record);
}

template <class TEngineCall>
void WatchedSearch(TEngineCall engineCall) {
  const TSearchWatch watch;
  engineCall();
}

// Each engine's header is on the screen while it runs; a run whose standard
// output is gone stops before the next engine.
void RunDebugSearch() {
  SetExitBit(kExitDebugBit);
  if (SearchLimit < LargeSearchThreshold) {
    const TTimeStamp start = Now();
    PrintSectionHeader("Simple Sieve");
    if (!FlushBeforeLongWork()) return;
    SearchRecord = TPrimeRecord{};
    WatchedSearch([] { RunSimpleSieve(SearchRecord, false); });
    PrintTimingReport(start, SearchEndTime, '-');
  }
  PrintSectionHeader("Normal Segmented Sieve");
  if (!FlushBeforeLongWork()) return;
  TTimeStamp start = Now();
  SearchRecord.Method.clear();
  WatchedSearch([] { SegmentedSieve(SieveTableData, SearchRecord, SearchLimit, SearchEndTime); });
  PrintTimingReport(start, SearchEndTime, '@');

  PrintSectionHeader("Segmented Sieve PLUS (Segment Processing in External Subroutine)");
  if (!FlushBeforeLongWork()) return;
  start = Now();
  SearchRecord.Method.clear();
  WatchedSearch(
      [] { SegmentedSievePlus(SieveTableData, SearchRecord, SearchLimit, SearchEndTime); });
  PrintTimingReport(start, SearchEndTime, '+');

  PrintSectionHeader("Segmented Sieve PARALLEL (Concurrency: " +
                     std::to_string(SearchJob().Workers(ThreadCount)) + " Threads)");
  if (!FlushBeforeLongWork()) return;
  start = Now();
  SearchRecord.Method.clear();
  WatchedSearch(
      [] { ParallelSieve(SieveTableData, SearchRecord, SearchEndTime, SearchLimit, ThreadCount); });
  PrintTimingReport(start, SearchEndTime, '*');
  WriteDashLine(100, false);
}

void RunNormalSearch() {
  if (!FlushBeforeLongWork()) return;
  const TTimeStamp start = Now();
  SearchRecord = TPrimeRecord{};
  // The statistics line shows the threads that searched: -p leaves
  // ThreadCount at its value when a small number goes to the simple sieve.
  std::int32_t threadsUsed = 1;
  {
    const TSearchWatch watch;
    if (!RunOptions.AlwaysSegmented && SearchLimit <= SimpleSieveLimit) {
      RunSimpleSieve(SearchRecord, true);
    } else if (RunOptions.Parallel) {
      ParallelSieve(SieveTableData, SearchRecord, SearchEndTime, SearchLimit, ThreadCount);
      threadsUsed = SearchJob().Workers(ThreadCount);
    } else {
      SegmentedSievePlus(SieveTableData, SearchRecord, SearchLimit, SearchEndTime);
    }
  }
  TStatistics stats;
  stats.SearchLimit = SearchLimit;
  stats.CountText = CountText(SearchLimit, SearchRecord.Count, RunOptions.NoCount);
  stats.Highest = SearchRecord.Highest;
  stats.Threads = threadsUsed;
  stats.Method = SearchRecord.Method;
  stats.Timing = PrintTimingReport(start, SearchEndTime, '-');
  StdChannel().WriteLn(StatisticsLine(stats));
}

void RunDriver() {
  SyntaxMode = kSyntaxAttachedValues;
  VersionInfo = InitVersionInfo(kShortVersion, kFullVersion, kDescription, kInternalName, false);
  ProgramName = VersionInfo.ProgramName;
  ProgramTitle = VersionInfo.ProgramTitle;
  ReadProcessorCounts();
  GetNumberParam(ParamList, SearchLimit, 1);
  LookUpOptions();
  ApplyDebugConsoleSettings();
  ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
  if (ReportRejectedCommandLine() || ServeInformationRequest()) return;
  if (RunOptions.Banner || RunOptions.Verbose) ShowBuildInfo(VersionInfo, RunOptions.Verbose, true);
  AdjustOptions();
  if (!CheckSearchLimitRange()) return;
  ShowProgressWhenSuitable();
  Dispatch();
}

void ReportOutOfMemory() {
  StdChannel().Flush();
  ErrChannel().WriteLn("ERROR: Not enough memory to search up to " + FormatThousands(SearchLimit) +
                       ".");
  AssignExitCode(kExitOutOfMemory);
}

}  // namespace

std::string MissingEssentialMessage() {
  return "Missing Essential Parameters (e.g. [number] " + HelpForms + ")";
}

std::string PrimalityAnswer(std::uint64_t n, bool isPrime, bool quiet) {
  const char* answer = isPrime ? "TRUE" : "FALSE";
  if (quiet) return answer;
  return "Is " + FormatThousands(n) + " a prime number?  " + answer;
}

void ReportSyntaxError(std::int32_t code, std::string_view message) {
  ShowBuildInfo(VersionInfo, RunOptions.Verbose, true);
  ShowSyntaxError(message, ErrorDelay, AudibleError);
  ShowHelp(true);
  AssignExitCode(code);
}

void RunPrimeSearch() {
  if (SearchLimit >= LargeSearchThreshold && !RunOptions.Quiet) {
    StdChannel().WriteLn(ProgramTitle + " -- Find Prime Numbers at " + ShortDateLongTimeNow());
  }
  if (RunOptions.Debug) {
    RunDebugSearch();
  } else {
    RunNormalSearch();
  }
}

int RunProgramMain(int argc, char** argv) {
  os::KeepLargeBlocksMapped();
  CoreStartup(argc, argv);
  try {
    RunDriver();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  } catch (const std::length_error&) {
    ReportOutOfMemory();
  } catch (...) {
    return ReportUnhandledException(std::current_exception());
  }
  if (ReportFailedWrites()) AssignExitCode(kExitWriteFailed);
  return ExitCode;
}

}  // namespace tamsel
