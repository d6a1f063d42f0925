// The program's options: the lookups in their fixed order, the adjustments
// between them, and the exit-code bits they set.
#pragma once
#include <cstdint>

namespace tamsel {

inline constexpr std::int32_t kExitDebugBit = 2;
inline constexpr std::int32_t kExitShowPrimesBit = 4;
inline constexpr std::int32_t kExitNoCountBit = 8;
inline constexpr std::int32_t kExitBenchmarkBit = 16;
inline constexpr std::int32_t kExitMissingEssential = 64;
inline constexpr std::int32_t kExitInvalidParameters = 65;
inline constexpr std::int32_t kExitIncompleteParameters = 67;
inline constexpr std::int32_t kExitIntegerTooLarge = 82;
inline constexpr std::int32_t kExitOutOfRange = 88;
inline constexpr std::int32_t kExitDefaultUsed = 89;
inline constexpr std::int32_t kExitHelpShown = 255;
// Not one of the documented codes: the machine could not give the memory a
// search needs.
inline constexpr std::int32_t kExitOutOfMemory = 1;
// Nor is this: a write to standard output or standard error failed.
inline constexpr std::int32_t kExitWriteFailed = 1;

// Looks up all twenty options over the whole command line, in table order
// (a later lookup may re-mark an argument an earlier one claimed), filling
// RunOptions, ThreadCount and the console's ErrorDelay and AudibleError.
void LookUpOptions();

// Debug turns on the error delay and beep.
void ApplyDebugConsoleSettings();

// NoCount over ShowPrimes, Force over Parallel, the thread count, and the
// exit-code bits 8 and 4.
void AdjustOptions();

}  // namespace tamsel
