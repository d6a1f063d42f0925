// Operating-system seam for error codes: the system's own words for one.
#pragma once
#include <string>

namespace tamsel::os {

// The system's description of an error code (errno on Linux, GetLastError
// on Windows), as one line without a closing full stop, such as "No space
// left on device".
std::string SystemErrorText(int code);

}  // namespace tamsel::os
