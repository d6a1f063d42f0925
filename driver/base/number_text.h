// Numbers as the program shows them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

// Decimal digits grouped in thousands with "," whatever the locale.
std::string FormatThousands(std::uint64_t value);

// Plain decimal digits and uppercase hexadecimal digits without prefix.
std::string ToDecimal(std::uint64_t value);
std::string ToHex(std::uint64_t value);

// Fills on the left up to width; a longer text is kept whole unless cut is
// set, in which case it is cut from the left to exactly width characters.
std::string PadLeft(std::string_view text, std::uint16_t width, char fill, bool cut = false);
std::string PadNumber(std::int64_t value, std::uint16_t width, char fill, bool cut = false);

}  // namespace tamsel
