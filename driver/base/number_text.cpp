#include "driver/base/number_text.h"

#include <charconv>

#include "core/console/text_helpers.h"

namespace tamsel {

std::string ToDecimal(std::uint64_t value) {
  char digits[20];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

std::string ToHex(std::uint64_t value) {
  char digits[16];
  char* end = digits + sizeof digits;
  return std::string(WriteHexDigits(value, end), end);
}

std::string FormatThousands(std::uint64_t value) {
  const std::string digits = ToDecimal(value);
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const std::size_t remaining = digits.size() - i;
    if (i > 0 && remaining % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

std::string PadLeft(std::string_view text, std::uint16_t width, char fill, bool cut) {
  if (width > text.size()) {
    std::string padded(width - text.size(), fill);
    padded.append(text);
    return padded;
  }
  if (cut) return std::string(text.substr(text.size() - width));
  return std::string(text);
}

std::string PadNumber(std::int64_t value, std::uint16_t width, char fill, bool cut) {
  char digits[21];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return PadLeft(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)), width,
                 fill, cut);
}

}  // namespace tamsel
