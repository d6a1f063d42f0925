// The program's options: the lookups in their fixed order, the adjustments
// between them, and the exit-code bits they set.
#pragma once
#include <cstdint>

#include "core/console/exit_code.h"  // the codes and bits the options set

namespace tamsel {

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
