#include "core/cmdline/number_parse.h"

#include <optional>
#include <string>

namespace tamsel {

bool LastValueAdjusted = false;

namespace {

constexpr std::size_t kMaxTextLength = 255;

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  unsigned base = 10;
  if (i < text.size()) {
    const char c = text[i];
    if (c == '$' || c == 'x' || c == 'X') {
      base = 16;
      ++i;
    } else if (c == '&') {
      base = 8;
      ++i;
    } else if (c == '%') {
      base = 2;
      ++i;
    } else if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
  }
  if (i == text.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= static_cast<int>(base)) return std::nullopt;
    if (__builtin_mul_overflow(value, base, &value) ||
        __builtin_add_overflow(value, static_cast<std::uint64_t>(digit), &value)) {
      return std::nullopt;
    }
  }
  return value;
}

}  // namespace

std::optional<std::uint64_t> ReadTypedNumber(std::string_view text) {
  const std::string_view integral = text.substr(0, text.find('.'));
  std::string digits;
  digits.reserve(integral.size());
  for (const char c : integral) {
    if (c != ',') digits.push_back(c);
  }
  if (digits.empty() || digits.size() > kMaxTextLength) return std::nullopt;
  return ParseUnsigned(digits);
}

std::uint64_t TextToNumber(std::string_view text, std::uint64_t defaultValue) {
  const std::uint64_t result = ReadTypedNumber(text).value_or(defaultValue);
  LastValueAdjusted = result == defaultValue;
  return result;
}

std::uint64_t TextToNumberInRange(std::string_view text, std::uint64_t defaultValue,
                                  std::uint64_t minimum, std::uint64_t maximum) {
  std::uint64_t result = TextToNumber(text, defaultValue);
  if (result < minimum) {
    result = minimum;
    LastValueAdjusted = true;
  }
  if (result > maximum) {
    result = maximum;
    LastValueAdjusted = true;
  }
  return result;
}

}  // namespace tamsel
