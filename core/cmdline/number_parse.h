// Reading typed numbers: grouping commas, a fractional tail and base
// prefixes, into an unsigned 64-bit value.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace tamsel {

// Set by the last conversion: the result equals the default (or was clamped).
extern bool LastValueAdjusted;

// Accepted text: the part before the first ".", with every "," removed, is
// optional blanks or tabs, an optional "+", an optional base prefix ("$",
// "x", "X", "0x", "0X" hexadecimal; "&" octal; "%" binary) and one or more
// digits of that base, nothing after them. Anything else, an empty text, a
// text of 256 characters or more, or a value above 2^64 - 1 is unreadable.
// Leaves LastValueAdjusted alone.
std::optional<std::uint64_t> ReadTypedNumber(std::string_view text);

// The typed value, or the default when the text is unreadable.
std::uint64_t TextToNumber(std::string_view text, std::uint64_t defaultValue);

// TextToNumber, then raised to minimum and lowered to maximum (unsigned, in
// that order, so a minimum above the maximum yields the maximum).
std::uint64_t TextToNumberInRange(std::string_view text, std::uint64_t defaultValue,
                                  std::uint64_t minimum, std::uint64_t maximum);

}  // namespace tamsel
