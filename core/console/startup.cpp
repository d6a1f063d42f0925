#include "core/console/startup.h"

#include "core/console/channels.h"
#include "core/console/datetime.h"
#include "core/console/exit_code.h"
#include "core/console/os_process.h"
#include "core/console/text_helpers.h"

namespace tamsel {

std::string ExecutionPath;

void StartConsole(int argc, const char* const* argv) {
  os::CaptureProcessArguments(argc, argv);
  AssignExitCode(0);
  ResetStdChannel();
  const std::string path = os::ProgramFilePath();
  const std::size_t slash = path.find_last_of(os::PathSeparator());
  ExecutionPath = QuoteIfSpaced(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
  LoadFormatSettings();
}

}  // namespace tamsel
