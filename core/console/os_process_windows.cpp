#include "core/console/os_process.h"

#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>

#include <cstring>

#include "core/console/text_helpers.h"
#include "core/console/windows_text.h"

namespace tamsel::os {

namespace {

std::string gInvokedPath;
std::vector<std::string> gArguments;
std::string gCommandLine;

// The command line as the system holds it, split as the C runtime splits it
// into main's arguments, in UTF-8 rather than the ANSI code page.
void CaptureSystemCommandLine() {
  const wchar_t* line = ::GetCommandLineW();
  gCommandLine = ToUtf8(line);
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(line, &count);
  if (words == nullptr) return;
  for (int i = 0; i < count; ++i) {
    if (i == 0) gInvokedPath = ToUtf8(words[i]);
    else gArguments.push_back(ToUtf8(words[i]));
  }
  ::LocalFree(words);
}

// The C runtime's own arguments, as main receives them (perhaps a copy).
bool AreTheRuntimesArguments(int argc, const char* const* argv) {
  if (argv == nullptr || argc != __argc || __argv == nullptr) return false;
  for (int i = 0; i < argc; ++i) {
    if (argv[i] == nullptr || __argv[i] == nullptr || std::strcmp(argv[i], __argv[i]) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

// main's own arguments stand for the process's command line, which is read
// from the system; arguments a caller made up (as a test does) are kept as
// given, and the command line is rebuilt from them.
void CaptureProcessArguments(int argc, const char* const* argv) {
  gInvokedPath.clear();
  gArguments.clear();
  gCommandLine.clear();
  if (AreTheRuntimesArguments(argc, argv)) {
    CaptureSystemCommandLine();
    return;
  }
  gInvokedPath = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  gCommandLine = QuoteIfSpaced(gInvokedPath);
  for (int i = 1; i < argc; ++i) {
    gArguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    gCommandLine += ' ' + QuoteIfSpaced(gArguments.back());
  }
}

const std::vector<std::string>& ProcessArguments() { return gArguments; }

std::string RawCommandLine() { return gCommandLine; }

std::string ProgramFilePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return gInvokedPath;
    if (length < path.size()) return ToUtf8(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

char PathSeparator() { return '\\'; }

}  // namespace tamsel::os
