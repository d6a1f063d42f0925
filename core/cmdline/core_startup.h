// Start-up of the core library and of its command-line engine.
#pragma once
#include <string>
#include <vector>

namespace tamsel {

// Builds ParamList from the arguments after the program path (texts kept
// exactly, all unclaimed), empties ParamHistory and resets both syntax
// records with their names.
void InitParamList(const std::vector<std::string>& arguments);
// The same from the arguments captured at start-up.
void InitParamList();

// The core library's whole start-up, before the program body: the console
// half (arguments, exit code, channels, program folder, format settings),
// then the command-line engine's.
void CoreStartup(int argc, const char* const* argv);

}  // namespace tamsel
