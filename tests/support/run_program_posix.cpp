#include "tests/support/run_program.h"
#include "tests/support/platform.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <initializer_list>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tamsel::test {

namespace {

// Reads both descriptors until each is closed (a pseudo-terminal whose
// program has ended reads as an error), then closes them; watchOut sees the
// first one's text after every read.
void ReadUntilClosed(int outFd, int errFd, std::string& out, std::string& err,
                     const std::function<void(const std::string&)>& watchOut = {}) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* targets[2] = {&out, &err};
  int open = 2;
  char buffer[65536];
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(n));
        if (i == 0 && watchOut) watchOut(out);
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

// Starts exe with in, out and err as its standard streams; none of the
// descriptors in parent stays open in it. -1 when it cannot be started.
pid_t Spawn(const std::string& exe, std::vector<std::string> argvText, int in, int out, int err,
            std::initializer_list<int> parent) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  for (int fd : parent) posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

TProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& argv0, const std::string& input) {
  int outPipe[2], errPipe[2], inPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0 || ::pipe(inPipe) != 0) return {};
  std::vector<std::string> argvText = {argv0.empty() ? exe : argv0};
  argvText.insert(argvText.end(), args.begin(), args.end());
  const pid_t pid = Spawn(exe, argvText, inPipe[0], outPipe[1], errPipe[1],
                          {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]});
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  TProgramResult result;
  if (pid < 0) {
    ::close(inPipe[1]);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return result;
  }
  if (!input.empty()) {
    const ssize_t written = ::write(inPipe[1], input.data(), input.size());
    (void)written;
  }
  ::close(inPipe[1]);
  ReadUntilClosed(outPipe[0], errPipe[0], result.Out, result.Err);
  const int status = WaitForExit(pid);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

TTerminalRunResult RunOnTerminal(const std::vector<std::string>& args, bool errOnTerminal,
                                 const std::string& signalWhenShown, int signal) {
  TTerminalRunResult result;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  const int noInput = ::open("/dev/null", O_RDONLY);
  int errPipe[2];
  if (terminal < 0 || noInput < 0 || ::pipe(errPipe) != 0) return result;
  std::vector<std::string> argvText = {TamselPath()};
  argvText.insert(argvText.end(), args.begin(), args.end());
  const pid_t pid = Spawn(TamselPath(), argvText, noInput, terminal,
                          errOnTerminal ? terminal : errPipe[1],
                          {master, terminal, noInput, errPipe[0], errPipe[1]});
  // Only the program keeps the terminal open, so it closes when the program ends.
  ::close(terminal);
  ::close(noInput);
  ::close(errPipe[1]);
  if (pid < 0) return result;
  bool signalled = signal == 0;
  ReadUntilClosed(master, errPipe[0], result.Terminal, result.Err, [&](const std::string& shown) {
    if (signalled || shown.find(signalWhenShown) == std::string::npos) return;
    ::kill(pid, signal);
    signalled = true;
  });
  const int status = WaitForExit(pid);
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  return result;
}

std::vector<std::string> ScreenRows(const std::string& text) {
  std::vector<std::string> rows(1);
  std::size_t column = 0;
  for (const char c : text) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      rows.emplace_back();
      column = 0;
    } else {
      std::string& row = rows.back();
      if (row.size() <= column) row.resize(column + 1, ' ');
      row[column++] = c;
    }
  }
  for (std::string& row : rows) row.erase(row.find_last_not_of(' ') + 1);
  return rows;
}

TRunningProgram::TRunningProgram(const std::string& exe, const std::vector<std::string>& args,
                                 bool nonBlockingOutput) {
  int outPipe[2];
  if (::pipe(outPipe) != 0) return;
  if (nonBlockingOutput) ::fcntl(outPipe[1], F_SETFL, O_NONBLOCK);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addclose(&actions, outPipe[1]);
  std::vector<std::string> argvText{exe};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  outFd_ = outPipe[0];
}

TRunningProgram::~TRunningProgram() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  if (outFd_ >= 0) ::close(outFd_);
}

std::string TRunningProgram::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::size_t end;
  while ((end = pending_.find('\n')) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd out{outFd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&out, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[4096];
    const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
    if (n <= 0) return {};
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  return line;
}

std::string TRunningProgram::ReadRest() {
  std::string rest = std::move(pending_);
  pending_.clear();
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(outFd_, buffer, sizeof buffer)) != 0) {
    if (n > 0) {
      rest.append(buffer, static_cast<std::size_t>(n));
    } else if (errno != EINTR) {
      break;
    }
  }
  return rest;
}

bool TRunningProgram::Running() {
  if (pid_ <= 0) return false;
  if (::waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;  // ended and reaped
  return false;
}

std::string TypedCommandLine(const std::string& argv0, const std::vector<std::string>& args) {
  std::string line = Quoted(argv0);
  for (const std::string& arg : args) line += ' ' + Quoted(arg);
  return line;
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (value.empty()) {
    ::unsetenv(name.c_str());
  } else {
    ::setenv(name.c_str(), value.c_str(), 1);
  }
}

TNoKeyboard::TNoKeyboard() {
  saved_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(::dup(STDIN_FILENO)));
  const int none = ::open("/dev/null", O_RDONLY);
  ::dup2(none, STDIN_FILENO);
  ::close(none);
}

TNoKeyboard::~TNoKeyboard() {
  const int saved = static_cast<int>(reinterpret_cast<std::intptr_t>(saved_));
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
}

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? value : "";
}

}  // namespace tamsel::test
