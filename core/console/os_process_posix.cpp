#include "core/console/os_process.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "core/console/text_helpers.h"

namespace tamsel::os {

namespace {

std::string gInvokedPath;
std::vector<std::string> gArguments;

std::string AbsoluteInvokedPath() {
  if (gInvokedPath.empty()) return {};
  char resolved[PATH_MAX];
  if (::realpath(gInvokedPath.c_str(), resolved) != nullptr) return resolved;
  return gInvokedPath;
}

}  // namespace

void CaptureProcessArguments(int argc, const char* const* argv) {
  gInvokedPath = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  gArguments.clear();
  for (int i = 1; i < argc; ++i) gArguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
}

const std::vector<std::string>& ProcessArguments() { return gArguments; }

std::string RawCommandLine() {
  std::string line = QuoteIfSpaced(gInvokedPath);
  for (const std::string& argument : gArguments) {
    line.push_back(' ');
    line.append(QuoteIfSpaced(argument));
  }
  return line;
}

std::string ProgramFilePath() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length > 0) return std::string(buffer, static_cast<std::size_t>(length));
  return AbsoluteInvokedPath();
}

char PathSeparator() { return '/'; }

}  // namespace tamsel::os
