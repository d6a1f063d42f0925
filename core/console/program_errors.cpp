#include "core/console/program_errors.h"

#include <algorithm>

#include "core/console/channels.h"
#include "core/console/os_backtrace.h"
#include "core/console/os_error.h"

namespace tamsel {

EProgramError::EProgramError(const std::string& message)
    : std::runtime_error(message), callStack_(os::CaptureCallStack()) {}

// The frames above the raise site belong to the exception machinery itself.
void EProgramError::MarkRaisedAt(const void* address) {
  raiseAddress_ = address;
  const auto site = std::find(callStack_.begin(), callStack_.end(), address);
  if (site != callStack_.end()) callStack_.erase(callStack_.begin(), site);
}

EPlatformError::EPlatformError(int code) : EProgramError(PlatformErrorMessage(code)), code_(code) {}

std::string PlatformErrorMessage(int code) {
  if (code == 0) return "An operating system call failed.";
  return "System error, (OS Code " + std::to_string(code) + "):" + std::string(kLineEnd) +
         os::SystemErrorText(code);
}

}  // namespace tamsel
