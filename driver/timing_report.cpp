#include "driver/timing_report.h"

#include "core/console/build_info.h"
#include "core/console/channels.h"
#include "core/console/text_helpers.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"

namespace tamsel {

namespace {

constexpr std::uint16_t kElapsedWidth = 23;

}  // namespace

void PrintSectionHeader(const std::string& title) {
  TChannel& out = StdChannel();
  out.WriteLn();
  out.WriteLn(RepeatChar('-', kRuleWidth));
  out.WriteLn("--- " + title);
  out.WriteLn(RepeatChar('-', kRuleWidth));
}

TTimingTexts PrintTimingReport(const TTimeStamp& start, const TTimeStamp& end, char marker) {
  TTimingTexts texts;
  texts.StartText = FormatDateTime(kStampPattern, start.Wall);
  texts.EndText = FormatDateTime(kStampPattern, end.Wall);
  texts.DurationText = FormatInterval(ElapsedMilliseconds(start, end), true);
  TChannel& out = StdChannel();
  out.WriteLn(RepeatChar('-', kRuleWidth));
  out.WriteLn("Start Time ......... " + texts.StartText);
  out.WriteLn("End Time ........... " + texts.EndText);
  out.WriteLn("Elapsed Time ....... " + PadLeft(texts.DurationText, kElapsedWidth, ' '));
  out.WriteLn(RepeatChar(marker, kRuleWidth));
  return texts;
}

std::string CountText(std::uint64_t limit, std::uint64_t count, bool noCount) {
  if (!noCount) return FormatThousands(count);
  const std::size_t digits = ToDecimal(limit).size();
  return std::string(digits > 4 ? digits - 4 : 0, '.') + "n/a";
}

std::string StatisticsLine(const TStatistics& stats) {
  std::string line = "## Prime Number Stats [S:";
  line += PadLeft(FormatThousands(stats.SearchLimit), 15, '.');
  line += " T:" + PadLeft(stats.CountText, 13, '.');
  line += " H:" + PadLeft(FormatThousands(stats.Highest), 15, '.');
  line += " P:" + PadNumber(stats.Threads, 2, '.');
  line += "] // " + stats.Method;
  line += " // DURATION: " + PadLeft(stats.Timing.DurationText, 12, '0');
  line += " // START: " + stats.Timing.StartText;
  line += " // END: " + stats.Timing.EndText;
  line += std::string(" // ") + kInternalName + " v" + kFullVersion;
  line += kArchitectureTag;
  return line;
}

}  // namespace tamsel
