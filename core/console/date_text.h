// Reading date-time texts such as "2024/03/07 11:27:47.5".
#pragma once
#include <optional>
#include <string_view>

#include "core/console/datetime.h"

namespace tamsel {

// Reads a date, a date followed by a time, or a time alone. The date follows
// the order of the current short-date pattern (for example mm/dd/yyyy or
// yyyy/mm/dd) with the current date separator and a four-digit year; the
// time is hh:nn[:ss[.fraction]] with the current time separator, the
// fraction cut or filled to milliseconds. A time alone falls on today's
// date, which is written with todayPattern and read back with it. Returns
// nothing for a text that is not a valid date-time.
std::optional<TDateTime> ParseDateTimeText(std::string_view text, std::string_view todayPattern);

}  // namespace tamsel
