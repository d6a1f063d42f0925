#include "core/console/text_helpers.h"

#include <cctype>

#include "core/console/channels.h"

namespace tamsel {

namespace {

bool EqualNoCaseAt(std::string_view text, std::size_t at, std::string_view pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[at + i]);
    const auto b = static_cast<unsigned char>(pattern[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

}  // namespace

std::string QuoteIfSpaced(std::string_view text) {
  if (text.empty() || text.find(' ') != std::string_view::npos) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
  }
  return std::string(text);
}

std::string ReplaceNoCase(std::string_view text, std::string_view pattern,
                          std::string_view replacement, bool firstOnly) {
  if (pattern.empty()) return std::string(text);
  std::string result;
  std::size_t i = 0;
  bool replaced = false;
  while (i < text.size()) {
    const bool fits = text.size() - i >= pattern.size();
    if (fits && !(firstOnly && replaced) && EqualNoCaseAt(text, i, pattern)) {
      result.append(replacement);
      i += pattern.size();
      replaced = true;
    } else {
      result.push_back(text[i++]);
    }
  }
  return result;
}

std::string RepeatChar(char c, std::int32_t count) {
  return count < 1 ? std::string() : std::string(static_cast<std::size_t>(count), c);
}

char* WriteHexDigits(std::uint64_t value, char* end, std::size_t minDigits) {
  char* begin = end;
  do {
    *--begin = "0123456789ABCDEF"[value & 15];
    value >>= 4;
  } while (value != 0 || static_cast<std::size_t>(end - begin) < minDigits);
  return begin;
}

void WriteDashLine(std::int32_t count, bool blankLine) {
  TChannel& out = StdChannel();
  out.Write(RepeatChar('-', count));
  if (blankLine) out.Write(kLineEnd);
  out.WriteLn();
}

}  // namespace tamsel
