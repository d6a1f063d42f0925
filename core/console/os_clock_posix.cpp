#include "core/console/os_clock.h"

#include <ctime>

namespace tamsel::os {

TLocalTime LocalTimeNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  TLocalTime t;
  t.Year = local.tm_year + 1900;
  t.Month = local.tm_mon + 1;
  t.Day = local.tm_mday;
  t.Hour = local.tm_hour;
  t.Minute = local.tm_min;
  t.Second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second shows as :59
  t.Millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

std::int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Linux has no system-wide default locale for these settings; the program
// uses the fixed English forms everywhere so that its output stays greppable.
TSystemFormat SystemFormatSettings() { return TSystemFormat{}; }

}  // namespace tamsel::os
