#include "core/console/datetime.h"

#include <cmath>
#include <cstdio>

#include "core/console/os_clock.h"

namespace tamsel {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's method).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kEpochOffsetDays = DaysFromCivil(1899, 12, 30);

TFormatSettings& SettingsInstance() {
  static TFormatSettings settings = [] {
    TFormatSettings s;
    const os::TSystemFormat system = os::SystemFormatSettings();
    s.DateSeparator = system.DateSeparator;
    s.TimeSeparator = system.TimeSeparator;
    s.ShortDateFormat = system.ShortDateFormat;
    s.LongTimeFormat = system.LongTimeFormat;
    s.ShortMonthNames = system.ShortMonthNames;
    return s;
  }();
  return settings;
}

void AppendPadded(std::string& out, std::int64_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
  out.append(buffer);
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view token) {
  if (text.size() - at < token.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != token[i]) return false;
  }
  return true;
}

}  // namespace

TFormatSettings& FormatSettings() { return SettingsInstance(); }

void LoadFormatSettings() { (void)SettingsInstance(); }

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      kEpochOffsetDays;
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
  // Round to the millisecond first so that 0.9999999 of a day never shows as
  // a time of 24:00:00.000.
  const auto totalMs = static_cast<std::int64_t>(std::llround(value * kMsPerDay));
  std::int64_t days = totalMs / kMsPerDay;
  std::int64_t ms = totalMs % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  TDateTimeParts p{};
  CivilFromDays(days + kEpochOffsetDays, p.Year, p.Month, p.Day);
  p.Millisecond = static_cast<int>(ms % 1000);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Hour = static_cast<int>(ms / 3600000);
  return p;
}

std::string FormatDateTime(std::string_view pattern, TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  const TFormatSettings& settings = FormatSettings();
  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (StartsWithNoCase(pattern, i, "yyyy")) {
      AppendPadded(out, p.Year, 4);
      i += 4;
    } else if (StartsWithNoCase(pattern, i, "mmm")) {
      out.append(settings.ShortMonthNames[static_cast<std::size_t>(p.Month - 1)]);
      i += 3;
    } else if (StartsWithNoCase(pattern, i, "mm")) {
      AppendPadded(out, p.Month, 2);
      i += 2;
    } else if (StartsWithNoCase(pattern, i, "dd")) {
      AppendPadded(out, p.Day, 2);
      i += 2;
    } else if (StartsWithNoCase(pattern, i, "hh")) {
      AppendPadded(out, p.Hour, 2);
      i += 2;
    } else if (StartsWithNoCase(pattern, i, "nn")) {
      AppendPadded(out, p.Minute, 2);
      i += 2;
    } else if (StartsWithNoCase(pattern, i, "ss")) {
      AppendPadded(out, p.Second, 2);
      i += 2;
    } else if (StartsWithNoCase(pattern, i, "zzz")) {
      AppendPadded(out, p.Millisecond, 3);
      i += 3;
    } else if (pattern[i] == '/') {
      out.push_back(settings.DateSeparator);
      ++i;
    } else if (pattern[i] == ':') {
      out.push_back(settings.TimeSeparator);
      ++i;
    } else {
      out.push_back(pattern[i++]);
    }
  }
  return out;
}

std::string FormatInterval(std::int64_t milliseconds, bool withHours) {
  if (milliseconds < 0) milliseconds = 0;
  const char sep = FormatSettings().TimeSeparator;
  const std::int64_t ms = milliseconds % 1000;
  const std::int64_t totalSeconds = milliseconds / 1000;
  std::string out;
  if (withHours) {
    AppendPadded(out, totalSeconds / 3600, 2);
    out.push_back(sep);
    AppendPadded(out, totalSeconds / 60 % 60, 2);
  } else {
    AppendPadded(out, totalSeconds / 60, 2);
  }
  out.push_back(sep);
  AppendPadded(out, totalSeconds % 60, 2);
  out.push_back('.');
  AppendPadded(out, ms, 3);
  return out;
}

TTimeStamp Now() {
  const os::TLocalTime t = os::LocalTimeNow();
  TTimeStamp stamp;
  stamp.MonotonicNs = os::MonotonicNanoseconds();
  stamp.Wall = EncodeDateTime(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond);
  return stamp;
}

std::int64_t ElapsedMilliseconds(const TTimeStamp& start, const TTimeStamp& end) {
  const std::int64_t ns = end.MonotonicNs - start.MonotonicNs;
  return ns <= 0 ? 0 : ns / 1000000;
}

std::string ShortDateLongTimeNow() {
  const TFormatSettings& settings = FormatSettings();
  const TDateTime now = Now().Wall;
  return FormatDateTime(settings.ShortDateFormat, now) + " " +
         FormatDateTime(settings.LongTimeFormat, now);
}

}  // namespace tamsel
