#include "driver/main_flow.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <thread>

#include "core/cmdline/number_parse.h"
#include "core/console/build_info.h"
#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/os_process.h"
#include "core/console/startup.h"
#include "core/console/text_helpers.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"
#include "driver/timing_report.h"
#include "engines/parallel_sieve.h"
#include "engines/segmented_sieve.h"
#include "engines/simple_sieve.h"

namespace tamsel {

TPrimeRecord SearchRecord;
TPrimeCheck SieveTableData;
TTimeStamp SearchEndTime;

namespace {

constexpr std::int32_t kExitDebugBit = 2;
constexpr std::int32_t kExitShowPrimesBit = 4;
constexpr std::int32_t kExitNoCountBit = 8;
constexpr std::int32_t kExitDefaultUsed = 89;
constexpr std::int32_t kExitOutOfMemory = 1;

void ReadProcessorCounts() {
  const auto logical = static_cast<std::int32_t>(std::thread::hardware_concurrency());
  MaxThreads = logical > 0 ? logical : 2;
  SuggestedThreads = MaxThreads;
}

void ReadSearchLimit() {
  const auto& arguments = os::ProcessArguments();
  if (!arguments.empty() && !arguments[0].empty()) SearchLimit = TextToNumber(arguments[0], 0);
}

void WarnDefaultUsed(std::uint64_t typed) {
  TChannel& err = ErrChannel();
  err.Write("ERROR: Invalid Value Provided (" + FormatThousands(typed) +
            ") -- Using Default Instead...");
  err.Write(kLineEnd);
  err.WriteLn();
}

void AdjustOptions() {
  if (RunOptions.NoCount) {
    RunOptions.ShowPrimes = false;
    SetExitBit(kExitNoCountBit);
  }
  if (RunOptions.ShowPrimes) SetExitBit(kExitShowPrimesBit);
  if (RunOptions.Force) RunOptions.Parallel = true;
  if (ThreadCount < 2 && !RunOptions.Force) RunOptions.Parallel = false;
  if (!RunOptions.Parallel) ThreadCount = 1;
}

// Replaces a number out of range by the default or the maximum.
void CheckSearchLimitRange() {
  const bool query = RunOptions.IsPrimeQuery || RunOptions.Factors || RunOptions.PrimeFactors;
  if (SearchLimit < 2 && !query) {
    WarnDefaultUsed(SearchLimit);
    SearchLimit = DefaultLimit;
    AssignExitCode(kExitDefaultUsed);
  }
  if (SearchLimit > MaxLimit) {
    WarnDefaultUsed(SearchLimit);
    SearchLimit = MaxLimit;
    AssignExitCode(kExitDefaultUsed);
  }
}

void RunSimpleSieve(TPrimeRecord& record, bool labelled) {
  SieveTableData.clear();
  SieveTableData.shrink_to_fit();
  SieveTable(SieveTableData, SearchLimit, SearchEndTime);
  if (labelled) record.Method = "Simple";
  CountPrimes(SieveTableData, record);
}

void RunDebugSearch() {
  SetExitBit(kExitDebugBit);
  if (SearchLimit < LargeSearchThreshold) {
    const TTimeStamp start = Now();
    PrintSectionHeader("Simple Sieve");
    SearchRecord = TPrimeRecord{};
    RunSimpleSieve(SearchRecord, false);
    PrintTimingReport(start, SearchEndTime, '-');
  }
  struct TBlock {
    std::string title;
    char marker;
  };
  PrintSectionHeader("Normal Segmented Sieve");
  TTimeStamp start = Now();
  SegmentedSieve(SieveTableData, SearchRecord, SearchLimit, SearchEndTime);
  PrintTimingReport(start, SearchEndTime, '@');

  PrintSectionHeader("Segmented Sieve PLUS (Segment Processing in External Subroutine)");
  start = Now();
  SegmentedSievePlus(SieveTableData, SearchRecord, SearchLimit, SearchEndTime);
  PrintTimingReport(start, SearchEndTime, '+');

  PrintSectionHeader("Segmented Sieve PARALLEL (Concurrency: " + std::to_string(ThreadCount) +
                     " Threads)");
  start = Now();
  ParallelSieve(SieveTableData, SearchRecord, SearchEndTime, SearchLimit, ThreadCount);
  PrintTimingReport(start, SearchEndTime, '*');
  WriteDashLine(100, false);
}

void RunNormalSearch() {
  const TTimeStamp start = Now();
  SearchRecord = TPrimeRecord{};
  if (!RunOptions.AlwaysSegmented && SearchLimit <= SimpleSieveLimit) {
    RunSimpleSieve(SearchRecord, true);
  } else if (RunOptions.Parallel) {
    ParallelSieve(SieveTableData, SearchRecord, SearchEndTime, SearchLimit, ThreadCount);
  } else {
    SegmentedSievePlus(SieveTableData, SearchRecord, SearchLimit, SearchEndTime);
  }
  TStatistics stats;
  stats.SearchLimit = SearchLimit;
  stats.CountText = CountText(SearchLimit, SearchRecord.Count, RunOptions.NoCount);
  stats.Highest = SearchRecord.Highest;
  stats.Threads = ThreadCount;
  stats.Method = SearchRecord.Method;
  stats.Timing = PrintTimingReport(start, SearchEndTime, '-');
  StdChannel().WriteLn(StatisticsLine(stats));
}

void RunDriver() {
  const TFileVersionInfoRec info =
      InitVersionInfo(kShortVersion, kFullVersion, kDescription, kInternalName, false);
  ProgramName = info.ProgramName;
  ProgramTitle = info.ProgramTitle;
  ReadProcessorCounts();
  ReadSearchLimit();
  ThreadCount = MaxThreads > 1 ? 2 : 1;
  AdjustOptions();
  CheckSearchLimitRange();
  RunPrimeSearch();
}

}  // namespace

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
  StartConsole(argc, argv);
  try {
    RunDriver();
  } catch (const std::bad_alloc&) {
    ErrChannel().WriteLn("ERROR: Not enough memory for this search.");
    AssignExitCode(kExitOutOfMemory);
  } catch (const std::length_error&) {
    ErrChannel().WriteLn("ERROR: Not enough memory for this search.");
    AssignExitCode(kExitOutOfMemory);
  }
  FlushChannels();
  return ExitCode;
}

}  // namespace tamsel
