// Small text helpers shared by every subsystem.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

// The text in double quotes when it is empty or holds a blank, else unchanged.
std::string QuoteIfSpaced(std::string_view text);

// Replaces occurrences of pattern (ASCII letters compared without case), left
// to right; replaced text is not searched again.
std::string ReplaceNoCase(std::string_view text, std::string_view pattern,
                          std::string_view replacement, bool firstOnly);

// The width of the reports' rule lines.
inline constexpr std::int32_t kRuleWidth = 75;

std::string RepeatChar(char c, std::int32_t count);

// The uppercase hexadecimal digits of value, at least minDigits of them
// (filled with zeros on the left), placed so that they end just before end,
// which needs 16 characters of room before it; returns where they begin.
char* WriteHexDigits(std::uint64_t value, char* end, std::size_t minDigits = 1);

// count "-" characters, an extra line end when blankLine, then a line end, on
// the standard channel.
void WriteDashLine(std::int32_t count, bool blankLine);

}  // namespace tamsel
