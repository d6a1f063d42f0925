#include "core/console/date_text.h"

#include <array>
#include <cctype>
#include <string>

namespace tamsel {

namespace {

// A cursor over the text being read.
struct TScanner {
  std::string_view text;
  std::size_t at = 0;

  bool AtEnd() const { return at == text.size(); }
  bool Take(char c) {
    if (AtEnd() || text[at] != c) return false;
    ++at;
    return true;
  }
  bool SkipBlanks() {
    const std::size_t start = at;
    while (!AtEnd() && text[at] == ' ') ++at;
    return at > start;
  }
  // Reads minDigits to maxDigits decimal digits.
  std::optional<int> Number(std::size_t minDigits, std::size_t maxDigits) {
    const std::size_t start = at;
    int value = 0;
    while (!AtEnd() && at - start < maxDigits &&
           std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
      value = value * 10 + (text[at++] - '0');
    }
    if (at - start < minDigits) return std::nullopt;
    return value;
  }
};

struct TDateFields {
  int Year = 1899, Month = 12, Day = 30;
};
struct TTimeFields {
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

enum class TDateField { Year, Month, Day };

// The order of year, month and day in a pattern such as "mm/dd/yyyy".
std::array<TDateField, 3> DateOrder(std::string_view pattern) {
  std::array<TDateField, 3> order{TDateField::Month, TDateField::Day, TDateField::Year};
  std::size_t count = 0;
  bool seen[3] = {};
  for (const char c : pattern) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const int field = lower == 'y' ? 0 : lower == 'm' ? 1 : lower == 'd' ? 2 : -1;
    if (field < 0 || seen[field]) continue;
    seen[field] = true;
    order[count++] = static_cast<TDateField>(field);
  }
  return count == 3 ? order : std::array{TDateField::Month, TDateField::Day, TDateField::Year};
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const TDateFields& d) {
  return d.Year >= 1 && d.Month >= 1 && d.Month <= 12 && d.Day >= 1 &&
         d.Day <= DaysInMonth(d.Year, d.Month);
}

std::optional<TDateFields> ReadDate(TScanner& scan, std::string_view pattern) {
  const char separator = FormatSettings().DateSeparator;
  TDateFields date;
  bool first = true;
  for (const TDateField field : DateOrder(pattern)) {
    if (!first && !scan.Take(separator)) return std::nullopt;
    first = false;
    const auto value = field == TDateField::Year ? scan.Number(4, 4) : scan.Number(1, 2);
    if (!value) return std::nullopt;
    (field == TDateField::Year ? date.Year : field == TDateField::Month ? date.Month : date.Day) =
        *value;
  }
  if (!IsValidDate(date)) return std::nullopt;
  return date;
}

// hh:nn, optionally followed by :ss and .zzz.
std::optional<TTimeFields> ReadTime(TScanner& scan) {
  const char separator = FormatSettings().TimeSeparator;
  TTimeFields time;
  const auto hour = scan.Number(1, 2);
  if (!hour || !scan.Take(separator)) return std::nullopt;
  const auto minute = scan.Number(1, 2);
  if (!minute) return std::nullopt;
  time.Hour = *hour;
  time.Minute = *minute;
  if (scan.Take(separator)) {
    const auto second = scan.Number(1, 2);
    if (!second) return std::nullopt;
    time.Second = *second;
    if (scan.Take('.')) {
      const auto millisecond = scan.Number(3, 3);
      if (!millisecond) return std::nullopt;
      time.Millisecond = *millisecond;
    }
  }
  if (time.Hour > 23 || time.Minute > 59 || time.Second > 59) return std::nullopt;
  return time;
}

struct TReadResult {
  TDateTime Value = 0;
  bool HasDate = false;
};

std::optional<TReadResult> ReadDateTime(std::string_view text, std::string_view pattern) {
  TScanner scan{text};
  scan.SkipBlanks();
  std::optional<TDateFields> date = ReadDate(scan, pattern);
  if (!date) scan = TScanner{text};
  std::optional<TTimeFields> time;
  const bool separated = scan.SkipBlanks();
  if (!date || (separated && !scan.AtEnd())) {
    time = ReadTime(scan);
    if (!time) return std::nullopt;
  }
  scan.SkipBlanks();
  if (!scan.AtEnd()) return std::nullopt;
  const TDateFields d = date.value_or(TDateFields{});
  const TTimeFields t = time.value_or(TTimeFields{});
  return TReadResult{EncodeDateTime(d.Year, d.Month, d.Day, t.Hour, t.Minute, t.Second,
                                    t.Millisecond),
                     date.has_value()};
}

// The fraction after the first full stop, cut or filled to three digits;
// anything after a second full stop is dropped.
std::string WithMilliseconds(std::string_view text) {
  const std::size_t stop = text.find('.');
  if (stop == std::string_view::npos) return std::string(text);
  std::string_view fraction = text.substr(stop + 1);
  fraction = fraction.substr(0, fraction.find('.'));
  std::string digits = std::string(fraction) + "000";
  return std::string(text.substr(0, stop + 1)) + digits.substr(0, 3);
}

}  // namespace

std::optional<TDateTime> ParseDateTimeText(std::string_view text, std::string_view todayPattern) {
  const std::string normalized = WithMilliseconds(text);
  const auto read = ReadDateTime(normalized, FormatSettings().ShortDateFormat);
  if (!read) return std::nullopt;
  if (read->HasDate) return read->Value;
  const std::string today = FormatDateTime(todayPattern, Now().Wall);
  const auto dated = ReadDateTime(today + " " + normalized, todayPattern);
  if (!dated) return std::nullopt;
  return dated->Value;
}

}  // namespace tamsel
