#include "driver/benchmark.h"

#include "core/console/build_info.h"
#include "core/console/channels.h"
#include "core/console/datetime.h"
#include "core/console/exit_code.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"
#include "driver/main_flow.h"
#include "driver/option_table.h"
#include "driver/progress_display.h"
#include "driver/timing_report.h"
#include "engines/parallel_sieve.h"
#include "engines/search_job.h"
#include "engines/segmented_sieve.h"

namespace tamsel {

std::string BenchmarkLine(const TBenchmarkTexts& texts, std::int32_t threads,
                          std::uint64_t limit, bool noCount) {
  std::string line = "Prime Number Benchmark // T1: " + PadLeft(texts.Single, 9, '0');
  line += " * T" + PadNumber(threads, 2, '0') + ": " + PadLeft(texts.Full, 9, '0');
  line += " [" + PadLeft(FormatThousands(limit), 13, '.') + (noCount ? " N]" : " C]");
  line += " // DURATION: " + PadLeft(texts.Duration, 12, '0');
  line += " // START: " + texts.Start + " // END: " + texts.End;
  line += std::string(" // ") + kInternalName + " v" + kFullVersion;
  line += kArchitectureTag;
  return line;
}

void RunBenchmark() {
  SetExitBit(kExitBenchmarkBit);
  if (SearchLimit == 0) SearchLimit = 1;
  StdChannel().WriteLn(ProgramTitle + " -- Benchmark Started at " + ShortDateLongTimeNow());

  if (!FlushBeforeLongWork()) return;
  const TTimeStamp singleStart = Now();
  TTimeStamp singleEnd;
  SearchRecord.Method.clear();
  {
    const TSearchWatch watch;
    SegmentedSievePlus(SieveTableData, SearchRecord, SearchLimit, singleEnd);
  }

  if (!FlushBeforeLongWork()) return;
  const TTimeStamp fullStart = Now();
  TTimeStamp fullEnd;
  SearchRecord.Method.clear();
  {
    const TSearchWatch watch;
    ParallelSieve(SieveTableData, SearchRecord, fullEnd, SearchLimit, MaxThreads);
  }

  TBenchmarkTexts texts;
  texts.Start = FormatDateTime(kStampPattern, singleStart.Wall);
  texts.End = FormatDateTime(kStampPattern, fullEnd.Wall);
  texts.Duration = FormatInterval(ElapsedMilliseconds(singleStart, fullEnd), true);
  texts.Single = FormatInterval(ElapsedMilliseconds(singleStart, singleEnd), false);
  texts.Full = FormatInterval(ElapsedMilliseconds(fullStart, fullEnd), false);
  StdChannel().WriteLn(
      BenchmarkLine(texts, SearchJob().Workers(MaxThreads), SearchLimit, RunOptions.NoCount));
}

}  // namespace tamsel
