// Needs a pseudo-terminal: Linux only. On Windows the line is drawn on the
// console the same way (a carriage return and blanks), through the same code.
#include "core/console/status_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "core/console/channels.h"

namespace tamsel {
namespace {

// Standard error on a pseudo-terminal while the object lives.
class TErrorOnTerminal {
 public:
  TErrorOnTerminal() : saved_(::dup(STDERR_FILENO)), master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
    ::grantpt(master_);
    ::unlockpt(master_);
    const int terminal = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    ::dup2(terminal, STDERR_FILENO);
    ::close(terminal);
  }
  ~TErrorOnTerminal() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(master_);
  }
  // Reads what the terminal receives until it holds part (or, for no part,
  // until it stays silent for a moment).
  const std::string& ReadUntil(const std::string& part = {}) {
    pollfd fd{master_, POLLIN, 0};
    char buffer[4096];
    while ((part.empty() || received_.find(part) == std::string::npos) &&
           ::poll(&fd, 1, part.empty() ? 200 : 2000) > 0) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      received_.append(buffer, static_cast<std::size_t>(n));
    }
    return received_;
  }

 private:
  int saved_, master_;
  std::string received_;
};

TEST(StatusLineTest, ErasedBeforeAChannelWritesAndWhenStopped) {
  TErrorOnTerminal terminal;
  StartStatusLine([] { return std::string("working"); },
                  {std::chrono::milliseconds(0), std::chrono::milliseconds(5)});
  terminal.ReadUntil("\rworking");
  ErrChannel().WriteLn("report");
  FlushChannels();
  // The terminal turns the line end into CR LF; the line comes back below.
  terminal.ReadUntil("report\r\n\rworking");
  StopStatusLine();
  const std::string erase = "\r       \r";
  const std::string& received = terminal.ReadUntil();
  EXPECT_NE(received.find(erase + "report\r\n\rworking"), std::string::npos) << received;
  EXPECT_EQ(received.substr(received.size() - erase.size()), erase) << received;
}

}  // namespace
}  // namespace tamsel
