#include "core/cmdline/alias_words.h"

namespace tamsel {

namespace {

bool IsAliasDelimiter(char c) { return c == ' ' || c == ',' || c == ';'; }

char LowerAsciiChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

TStringArray SplitAliasWords(std::string_view aliases) {
  TStringArray words;
  std::size_t i = 0;
  while (i < aliases.size()) {
    while (i < aliases.size() && IsAliasDelimiter(aliases[i])) ++i;
    const std::size_t start = i;
    while (i < aliases.size() && !IsAliasDelimiter(aliases[i])) ++i;
    if (i > start) words.emplace_back(aliases.substr(start, i - start));
  }
  return words;
}

bool ModeAllowsBareOptions(std::int32_t mode) { return mode == 1 || mode == 3; }

bool ModeAllowsAttachedValues(std::int32_t mode) { return mode == 2 || mode == 3; }

TStringArray AliasPrefixes(std::string_view word, std::int32_t mode) {
  if (word.size() == 1) {
    const bool bare =
        ModeAllowsBareOptions(mode) && BareOptionChars.find(word[0]) != std::string_view::npos;
    return bare ? TStringArray{"", "/", "-"} : TStringArray{"/", "-"};
  }
  return DoubleDashLongNames ? TStringArray{"/", "--"} : TStringArray{"/", "-", "--"};
}

TStringArray AliasForms(std::string_view word) {
  TStringArray forms = AliasPrefixes(word, SyntaxMode);
  for (std::string& form : forms) form.append(word);
  return forms;
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  }
  return true;
}

bool HasAttachedValue(std::string_view argument, std::string_view form) {
  if (argument.size() <= form.size()) return false;
  const char separator = argument[form.size()];
  return (separator == ':' || separator == '=') &&
         SameTextNoCase(argument.substr(0, form.size()), form);
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAsciiChar(c);
  return lower;
}

std::string TrimBlanksAndControls(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool ContainsWord(std::string_view list, std::string_view word) {
  // Built by appending: GCC 12 misreports `" " + string` as an overlapping copy.
  std::string paddedList(1, ' ');
  paddedList.append(list).push_back(' ');
  std::string paddedWord(1, ' ');
  paddedWord.append(word).push_back(' ');
  return paddedList.find(paddedWord) != std::string::npos;
}

}  // namespace tamsel
