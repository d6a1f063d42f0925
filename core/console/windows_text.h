// Conversions between the program's UTF-8 text and the UTF-16 text of the
// Windows system calls; used by the Windows seams only.
#pragma once
#ifdef _WIN32
#include <string>
#include <string_view>

namespace tamsel::os {

std::string ToUtf8(std::wstring_view text);
std::wstring ToUtf16(std::string_view text);

}  // namespace tamsel::os
#endif
