// Tests that need a real terminal (a pseudo-terminal) or fork: Linux
// only. On Windows the key wait reads the console's input records, which a
// test cannot type into without a console of its own; the end-to-end tests
// run the wait there with standard input that is no console.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "core/console/tests/syntax_error_fixture.h"
#include "core/console/syntax_error_testing.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

// Puts another file on standard input for the lifetime of the object.
class TStdinRedirect {
 public:
  explicit TStdinRedirect(int fd) : saved_(::dup(STDIN_FILENO)) { ::dup2(fd, STDIN_FILENO); }
  explicit TStdinRedirect(const char* path) : saved_(::dup(STDIN_FILENO)) {
    const int fd = ::open(path, O_RDONLY);
    ::dup2(fd, STDIN_FILENO);
    ::close(fd);
  }
  ~TStdinRedirect() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

class TPseudoTerminal {
 public:
  TPseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    }
  }
  ~TPseudoTerminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  bool Ready() const { return slave_ >= 0; }
  int Slave() const { return slave_; }
  void Type(const std::string& keys) const {
    ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  bool InputWaiting(int timeoutMs) const {
    pollfd slave{slave_, POLLIN, 0};
    return ::poll(&slave, 1, timeoutMs) > 0;
  }
  tcflag_t LocalModes() const {
    termios mode{};
    ::tcgetattr(slave_, &mode);
    return mode.c_lflag & (ICANON | ECHO);
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

// Runs body in a child process and returns its wait status; body's result
// becomes the exit code 0 (true) or 1.
template <class TBody>
int RunInChild(TBody body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body() ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST_F(SyntaxErrorTest, BeepAloneNeitherWritesNorWaits) {
  // Without a controlling terminal, so that running the tests stays silent.
  const int status = RunInChild([] {
    ::setsid();
    TChannelCapture capture;
    ShowSyntaxError("Invalid Parameters Provided: 200", false, true);
    return capture.Err() == kScreen && capture.Out().empty();
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class PressAnyKeyTerminalTest : public SyntaxErrorTest {
 protected:
  void SetUp() override {
    SyntaxErrorTest::SetUp();
    ASSERT_TRUE(terminal_.Ready());
    modesBefore_ = terminal_.LocalModes();
  }

  TPseudoTerminal terminal_;
  tcflag_t modesBefore_ = 0;
};

TEST_F(PressAnyKeyTerminalTest, KeyEndsTheWaitAndNothingTypedIsLeftBehind) {
  const TStdinRedirect onTerminal(terminal_.Slave());
  std::thread typist([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    terminal_.Type("kzz");
  });
  TChannelCapture capture;
  KeyWaitTickMilliseconds = 5;
  PressAnyKey(2000, kPrompt);  // ten seconds unless the key ends it
  typist.join();
  const std::string out = capture.Out();
  EXPECT_LT(out.size(), kPrompt.size() + 1000);
  EXPECT_EQ(out.substr(out.size() - 2), "\n\n");
  EXPECT_FALSE(terminal_.InputWaiting(50));
  EXPECT_EQ(terminal_.LocalModes(), modesBefore_);
}

TEST_F(PressAnyKeyTerminalTest, KeysTypedBeforeTheWaitAreDiscarded) {
  const TStdinRedirect onTerminal(terminal_.Slave());
  terminal_.Type("early\n");
  ASSERT_TRUE(terminal_.InputWaiting(1000));
  TChannelCapture capture;
  PressAnyKey(5, kPrompt);
  EXPECT_EQ(capture.Out(), kPrompt + ".....\n\n");
  EXPECT_EQ(terminal_.LocalModes(), modesBefore_);
}

TEST_F(PressAnyKeyTerminalTest, TerminatingSignalRestoresTheTerminal) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(terminal_.Slave(), STDIN_FILENO);
    TChannelCapture capture;
    KeyWaitTickMilliseconds = 5;
    PressAnyKey(100000, kPrompt);
    ::_exit(0);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (terminal_.LocalModes() == modesBefore_ && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(terminal_.LocalModes() & (ICANON | ECHO), 0u);  // the wait had begun
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(terminal_.LocalModes(), modesBefore_);
}

}  // namespace
}  // namespace tamsel
