// The process exit code: whole codes replace it, option bits are OR-ed in.
#pragma once
#include <cstdint>

namespace tamsel {

extern std::int32_t ExitCode;

inline void AssignExitCode(std::int32_t code) { ExitCode = code; }
inline void SetExitBit(std::int32_t bit) { ExitCode |= bit; }

}  // namespace tamsel
