// Operating-system seam for the console: raw writes to the two standard
// streams, terminal detection, the key wait and the bell.
#pragma once
#include <cstddef>

namespace tamsel::os {

enum class TStream { Output = 1, Error = 2 };

// Writes all bytes, retrying on interruption and partial writes; a closed or
// broken stream is dropped silently (nobody is left to tell).
void WriteAll(TStream stream, const char* data, std::size_t length);

bool IsTerminal(TStream stream);

}  // namespace tamsel::os
