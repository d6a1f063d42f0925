// The help screen, the program's only user documentation.
#pragma once
#include <string_view>

namespace tamsel {

// The short form (after a syntax error) is the syntax section and a pointer
// to the full help; the full form adds the options and examples, and with
// Verbose the usage notes, the program's notes and the exit codes. Written
// to the standard channel.
void ShowHelp(bool shortForm);

// The title between two lines of as many dashes.
void PrintTitle(std::string_view title);

}  // namespace tamsel
