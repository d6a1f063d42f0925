#include "core/console/os_console.h"

#include <cerrno>
#include <unistd.h>

namespace tamsel::os {

void WriteAll(TStream stream, const char* data, std::size_t length) {
  const int fd = static_cast<int>(stream);
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += written;
    length -= static_cast<std::size_t>(written);
  }
}

bool IsTerminal(TStream stream) { return ::isatty(static_cast<int>(stream)) == 1; }

}  // namespace tamsel::os
