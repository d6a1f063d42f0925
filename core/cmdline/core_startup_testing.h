// For tests, benchmarks and fuzz targets that run the command-line engine
// many times in one process; the program itself starts it once.
#pragma once

namespace tamsel {

// Puts the engine back as a fresh process has it: no arguments, empty
// registry, HelpForms and history, initial settings, zeroed shared results
// and reset syntax records.
void ResetCommandLineEngine();

}  // namespace tamsel
