// The process exit code: whole codes replace it, option bits are OR-ed in.
// Every code the program ends with is listed here, once.
#pragma once
#include <cstdint>

namespace tamsel {

// Bits, added to whatever the code holds.
inline constexpr std::int32_t kExitDebugBit = 2;
inline constexpr std::int32_t kExitShowPrimesBit = 4;
inline constexpr std::int32_t kExitNoCountBit = 8;
inline constexpr std::int32_t kExitBenchmarkBit = 16;
// Whole codes, each replacing the code before it.
inline constexpr std::int32_t kExitMissingEssential = 64;
inline constexpr std::int32_t kExitInvalidParameters = 65;
inline constexpr std::int32_t kExitIncompleteParameters = 67;
inline constexpr std::int32_t kExitIntegerTooLarge = 82;
inline constexpr std::int32_t kExitOutOfRange = 88;
inline constexpr std::int32_t kExitDefaultUsed = 89;
inline constexpr std::int32_t kExitHelpShown = 255;
// An exception nobody caught (the processor counts could not be read).
inline constexpr std::int32_t kExitUnhandledException = 217;
// Not among the codes the help lists: the machine could not give the memory
// a search needs.
inline constexpr std::int32_t kExitOutOfMemory = 1;
// Nor is this: a write to standard output or standard error failed.
inline constexpr std::int32_t kExitWriteFailed = 1;
// Windows only: a write found the reader of its pipe gone (on POSIX systems
// SIGPIPE ends the process, and a shell reports 128 + 13, the same number).
inline constexpr std::int32_t kExitReaderGone = 141;

extern std::int32_t ExitCode;

inline void AssignExitCode(std::int32_t code) { ExitCode = code; }
inline void SetExitBit(std::int32_t bit) { ExitCode |= bit; }

}  // namespace tamsel
