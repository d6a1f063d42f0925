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

// Standard error on a pseudo-terminal for the lifetime of the object; Read
// collects what the terminal received.
class TErrorOnTerminal {
 public:
  TErrorOnTerminal() : saved_(::dup(STDERR_FILENO)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const int slave = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    ::dup2(slave, STDERR_FILENO);
    ::close(slave);
  }
  ~TErrorOnTerminal() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(master_);
  }
  // Waits until the terminal has received text containing part.
  bool WaitFor(const std::string& part) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (received_.find(part) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      ReadOnce(10);
    }
    return true;
  }
  // Everything received until the terminal stays silent for a while.
  const std::string& ReadAll() {
    while (ReadOnce(50)) {
    }
    return received_;
  }

 private:
  bool ReadOnce(int timeoutMs) {
    pollfd fd{master_, POLLIN, 0};
    char buffer[4096];
    if (::poll(&fd, 1, timeoutMs) <= 0) return false;
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    received_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int saved_;
  int master_ = -1;
  std::string received_;
};

TEST(StatusLineTest, ErasedBeforeAChannelWritesAndWhenStopped) {
  TErrorOnTerminal terminal;
  StartStatusLine([] { return std::string("working"); }, {std::chrono::milliseconds(0),
                                                          std::chrono::milliseconds(5)});
  ASSERT_TRUE(terminal.WaitFor("\rworking"));
  ErrChannel().WriteLn("report");
  FlushChannels();
  // The terminal turns the line end into CR LF; the line comes back below.
  ASSERT_TRUE(terminal.WaitFor("report\r\n\rworking"));
  StopStatusLine();
  const std::string& received = terminal.ReadAll();
  const std::string erase = "\r       \r";
  EXPECT_NE(received.find(erase + "report\r\n"), std::string::npos) << received;
  EXPECT_EQ(received.substr(received.size() - erase.size()), erase) << received;
}

}  // namespace
}  // namespace tamsel
