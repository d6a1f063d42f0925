// The framed timing report that closes each search and the one-line
// statistics summary of a normal run.
#pragma once
#include <cstdint>
#include <string>

#include "core/console/datetime.h"

namespace tamsel {

// The start and end stamps of the timing report, the statistics line and the
// benchmark line.
inline constexpr const char* kStampPattern = "mm/dd/yyyy hh:nn:ss.zzz";

struct TTimingTexts {
  std::string StartText;     // "mm/dd/yyyy hh:nn:ss.zzz"
  std::string EndText;
  std::string DurationText;  // "[hh]:nn:ss.zzz"
};

// Empty line, 75 dashes, "--- " + title, 75 dashes.
void PrintSectionHeader(const std::string& title);

// The five-line frame: rule, start, end, elapsed (right-aligned to the
// times), and a rule of the marker character.
TTimingTexts PrintTimingReport(const TTimeStamp& start, const TTimeStamp& end, char marker);

struct TStatistics {
  std::uint64_t SearchLimit = 0;
  std::string CountText;  // grouped count, or the dotted "n/a"
  std::uint64_t Highest = 0;
  std::int32_t Threads = 1;
  std::string Method;
  TTimingTexts Timing;
};

// The "## Prime Number Stats" line, without its line end.
std::string StatisticsLine(const TStatistics& stats);

// The count field: grouped digits, or with NoCount as many dots as the limit
// has digits beyond four, then "n/a".
std::string CountText(std::uint64_t limit, std::uint64_t count, bool noCount);

}  // namespace tamsel
