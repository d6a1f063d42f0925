// Operating-system seam for the process: its arguments as typed, and the
// full path of its own program file.
#pragma once
#include <string>
#include <vector>

namespace tamsel::os {

// Records argv once at start-up; the other calls read what it recorded.
void CaptureProcessArguments(int argc, const char* const* argv);

// The arguments after the program path, in order, exactly as delivered.
const std::vector<std::string>& ProcessArguments();

// The command line as typed: the program path as invoked, then each argument
// after one blank; the path or an argument that is empty or holds a blank is
// in quotes, as a shell or the Windows command line needs it.
std::string RawCommandLine();

// The full path of the running program file (the invoked path as a fallback).
std::string ProgramFilePath();

char PathSeparator();

}  // namespace tamsel::os
