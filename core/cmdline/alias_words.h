// Alias lists, the spellings a user may type for one alias word, and the
// ASCII text comparisons the engine uses throughout.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cmdline/param_records.h"

namespace tamsel {

// Splits an alias list such as "H HELP ?" into its words at runs of blanks,
// "," and ";"; no word is empty.
TStringArray SplitAliasWords(std::string_view aliases);

bool ModeAllowsBareOptions(std::int32_t mode);     // modes 1 and 3
bool ModeAllowsAttachedValues(std::int32_t mode);  // modes 2 and 3

// The prefixes under which word may be typed, in matching order: a short
// name after "/" and "-" (and alone first, when it is a bare option
// character and mode allows bare options); a long name after "/" and "--"
// (and "-" when DoubleDashLongNames is off).
TStringArray AliasPrefixes(std::string_view word, std::int32_t mode);

// Prefix + word for each prefix, under the current SyntaxMode.
TStringArray AliasForms(std::string_view word);

// ASCII letters compared without case; every other byte exactly.
bool SameTextNoCase(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view text);

// Whether argument is form followed by ":" or "=" and a value (maybe empty).
bool HasAttachedValue(std::string_view argument, std::string_view form);

// Without leading and trailing blanks and control characters.
std::string TrimBlanksAndControls(std::string_view text);

// Whether word stands as a whole entry of a blank-separated list (case
// matters).
bool ContainsWord(std::string_view list, std::string_view word);

}  // namespace tamsel
