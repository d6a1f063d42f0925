// The last word on an exception nobody caught.
#pragma once
#include <cstdint>
#include <exception>

#include "core/console/exit_code.h"

namespace tamsel {

// Flushes pending output, then writes to standard output (even after a
// syntax error rebound the standard channel) a report that begins with
// "An unhandled exception occurred at $" and the raise address in 16
// uppercase hexadecimal digits, names the exception's type and message and
// lists the call stack; flushes again, stores and returns exit code 217.
// Use as the outermost handler:
//   catch (...) { return ReportUnhandledException(std::current_exception()); }
[[gnu::noinline]] std::int32_t ReportUnhandledException(std::exception_ptr error);

}  // namespace tamsel
