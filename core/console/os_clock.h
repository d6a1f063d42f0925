// Operating-system seam for time: the local wall clock, a monotonic clock
// for elapsed times, and the date and time format settings of the system.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel::os {

struct TLocalTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

TLocalTime LocalTimeNow();

// Nanoseconds from an arbitrary origin; never goes backwards.
std::int64_t MonotonicNanoseconds();

struct TSystemFormat {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "mm/dd/yyyy";
  std::string LongTimeFormat = "hh:nn:ss";
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
};

TSystemFormat SystemFormatSettings();

#ifdef _WIN32
// A short-date or long-time pattern of Windows' locale settings in the
// program's pattern letters, each occurrence of the locale's separator text
// replaced by programSeparator ("/" or ":").
std::string FromWindowsPattern(std::string_view pattern, std::string_view separator,
                               char programSeparator);
#endif

}  // namespace tamsel::os
