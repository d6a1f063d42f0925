#include "core/console/os_clock.h"

#include <windows.h>

#include <cctype>

#include "core/console/windows_text.h"

namespace tamsel::os {

namespace {

std::string LocaleText(LCTYPE item) {
  wchar_t text[128];
  const int length = ::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, item, text, 128);
  return length > 1 ? ToUtf8(std::wstring_view(text, static_cast<std::size_t>(length - 1))) : "";
}

// The program's letter for a run of one Windows pattern letter; empty for
// what the program does not show (weekday names, eras, AM/PM markers: its
// hours run from 00 to 23).
std::string ProgramLetters(char letter, std::size_t run) {
  switch (letter) {
    case 'd': return run <= 2 ? "dd" : "";
    case 'M': return run <= 2 ? "mm" : "mmm";
    case 'y': return "yyyy";
    case 'h':
    case 'H': return "hh";
    case 'm': return "nn";
    case 's': return "ss";
    default: return "";
  }
}

std::string TrimBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  return text.substr(start);
}

}  // namespace

TLocalTime LocalTimeNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  TLocalTime t;
  t.Year = now.wYear;
  t.Month = now.wMonth;
  t.Day = now.wDay;
  t.Hour = now.wHour;
  t.Minute = now.wMinute;
  t.Second = now.wSecond;
  t.Millisecond = now.wMilliseconds;
  return t;
}

std::int64_t MonotonicNanoseconds() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    return f.QuadPart > 0 ? f.QuadPart : 1;
  }();
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  // Split, so that the product never overflows.
  const std::int64_t seconds = counter.QuadPart / frequency;
  const std::int64_t rest = counter.QuadPart % frequency;
  return seconds * 1000000000 + rest * 1000000000 / frequency;
}

std::string FromWindowsPattern(std::string_view pattern, std::string_view separator,
                               char programSeparator) {
  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {  // a quoted literal; its letters could read as pattern letters
      const std::size_t close = pattern.find('\'', i + 1);
      const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
      for (std::size_t k = i + 1; k < end; ++k) {
        if (!std::isalpha(static_cast<unsigned char>(pattern[k]))) out.push_back(pattern[k]);
      }
      i = end + 1;
    } else if (!separator.empty() && pattern.substr(i, separator.size()) == separator) {
      out.push_back(programSeparator);
      i += separator.size();
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      std::size_t run = 1;
      while (i + run < pattern.size() && pattern[i + run] == c) ++run;
      out += ProgramLetters(c, run);
      i += run;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return TrimBlanks(out);
}

// Each setting the system does not give keeps the program's own default.
TSystemFormat SystemFormatSettings() {
  TSystemFormat format;
  const std::string dateSeparator = LocaleText(LOCALE_SDATE);
  const std::string timeSeparator = LocaleText(LOCALE_STIME);
  if (dateSeparator.size() == 1) format.DateSeparator = dateSeparator[0];
  if (timeSeparator.size() == 1) format.TimeSeparator = timeSeparator[0];
  const std::string shortDate = LocaleText(LOCALE_SSHORTDATE);
  const std::string longTime = LocaleText(LOCALE_STIMEFORMAT);
  if (!shortDate.empty()) format.ShortDateFormat = FromWindowsPattern(shortDate, dateSeparator, '/');
  if (!longTime.empty()) format.LongTimeFormat = FromWindowsPattern(longTime, timeSeparator, ':');
  for (int month = 0; month < 12; ++month) {
    const std::string name = LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month));
    if (!name.empty()) format.ShortMonthNames[static_cast<std::size_t>(month)] = name;
  }
  return format;
}

}  // namespace tamsel::os
