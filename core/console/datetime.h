// Date-time values and their text forms.
//
// A TDateTime is a day count with the time of day as fraction (day 0 is
// 30 December 1899). Times shown to the user come from the local wall clock;
// elapsed times are measured on the monotonic clock, so a clock change
// during a run never yields a negative or wrong duration.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

using TDateTime = double;

struct TTimeStamp {
  TDateTime Wall = 0;
  std::int64_t MonotonicNs = 0;
};

TTimeStamp Now();

// Whole milliseconds from start to end on the monotonic clock (0 if negative).
std::int64_t ElapsedMilliseconds(const TTimeStamp& start, const TTimeStamp& end);

struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "mm/dd/yyyy";
  std::string LongTimeFormat = "hh:nn:ss";
  std::array<std::string, 12> ShortMonthNames;
};

// The process-wide settings, loaded from the system at start-up.
TFormatSettings& FormatSettings();
void LoadFormatSettings();

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);
struct TDateTimeParts {
  int Year, Month, Day, Hour, Minute, Second, Millisecond;
};
TDateTimeParts DecodeDateTime(TDateTime value);

// Pattern letters: yyyy, mmm (short month name), mm, dd, hh, nn, ss, zzz;
// "/" and ":" print the separators of the settings; anything else prints
// itself.
std::string FormatDateTime(std::string_view pattern, TDateTime value);

// "[hh]:nn:ss.zzz" (total hours, at least two digits) when withHours,
// otherwise "[nn]:ss.zzz" (total minutes, at least two digits).
std::string FormatInterval(std::int64_t milliseconds, bool withHours);

// The current local date and time in the short-date and long-time formats.
std::string ShortDateLongTimeNow();

}  // namespace tamsel
