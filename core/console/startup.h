// The console half of the core library's start-up duties.
#pragma once
#include <string>

namespace tamsel {

// Records the arguments, sets the exit code to 0, opens the channels, works
// out ExecutionPath and loads the format settings.
void StartConsole(int argc, const char* const* argv);

// Folder of the program file with its trailing separator, quoted when it
// holds a blank or is empty; shown on the syntax-error screen.
extern std::string ExecutionPath;

}  // namespace tamsel
