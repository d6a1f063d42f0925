#include "tests/support/run_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tamsel::test {

std::string TamselPath() { return TAMSEL_EXE_PATH; }

namespace {

void ReadUntilClosed(int outFd, int errFd, TProgramResult& result) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* targets[2] = {&result.Out, &result.Err};
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
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

TProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& argv0, const std::string& input) {
  int outPipe[2], errPipe[2], inPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0 || ::pipe(inPipe) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> argvText;
  argvText.push_back(argv0.empty() ? exe : argv0);
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  TProgramResult result;
  if (spawned != 0) {
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
  ReadUntilClosed(outPipe[0], errPipe[0], result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

namespace {

// A pseudo-terminal pair; the master side is what a terminal window reads.
struct TPseudoTerminal {
  int Master = -1;
  int Slave = -1;
  TPseudoTerminal() {
    Master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (Master >= 0 && ::grantpt(Master) == 0 && ::unlockpt(Master) == 0) {
      Slave = ::open(::ptsname(Master), O_RDWR | O_NOCTTY);
    }
  }
  ~TPseudoTerminal() {
    if (Slave >= 0) ::close(Slave);
    if (Master >= 0) ::close(Master);
  }
};

// Reads the terminal (and the error pipe, if any) until both are closed,
// sending the signal when it is due; a program still running after a minute
// is killed.
void ReadTerminalUntilClosed(pid_t pid, int master, int errFd, const TTerminalRunOptions& options,
                             TTerminalRunResult& result) {
  const auto start = std::chrono::steady_clock::now();
  auto since = [&start] { return std::chrono::steady_clock::now() - start; };
  pollfd fds[2] = {{master, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* targets[2] = {&result.Terminal, &result.Err};
  bool signalled = options.Signal == 0;
  char buffer[65536];
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (!signalled && (options.SignalWhenShown.empty()
                           ? since() >= std::chrono::milliseconds(options.SignalAfterMs)
                           : result.Terminal.find(options.SignalWhenShown) != std::string::npos)) {
      ::kill(pid, options.Signal);
      signalled = true;
    }
    if (since() > std::chrono::minutes(1)) ::kill(pid, SIGKILL);
    if (::poll(fds, 2, 20) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {  // a closed terminal reads as EIO
        if (i == 1) ::close(fds[i].fd);
        fds[i].fd = -1;
      }
    }
  }
}

}  // namespace

TTerminalRunResult RunOnTerminal(const std::vector<std::string>& args,
                                 const TTerminalRunOptions& options) {
  TTerminalRunResult result;
  TPseudoTerminal terminal;
  int errPipe[2] = {-1, -1};
  if (terminal.Slave < 0 || ::pipe(errPipe) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, terminal.Slave, 1);
  posix_spawn_file_actions_adddup2(&actions, options.ErrOnTerminal ? terminal.Slave : errPipe[1],
                                   2);
  for (int fd : {terminal.Master, terminal.Slave, errPipe[0], errPipe[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> argvText = {TamselPath()};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned =
      ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  // Only the program keeps the terminal open, so it reads as closed once the
  // program has ended.
  ::close(terminal.Slave);
  terminal.Slave = -1;
  ::close(errPipe[1]);
  if (spawned != 0) {
    ::close(errPipe[0]);
    return result;
  }
  ReadTerminalUntilClosed(pid, terminal.Master, errPipe[0], options, result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
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

std::string MaskTimes(const std::string& text) {
  static const std::regex stamp(
      R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d(\.\d{3})?|\d{2,}:\d\d:\d\d\.\d{3}|\d{2,}:\d\d\.\d{3})");
  std::string out;
  auto begin = std::sregex_iterator(text.begin(), text.end(), stamp);
  std::size_t last = 0;
  for (auto it = begin; it != std::sregex_iterator(); ++it) {
    out.append(text, last, static_cast<std::size_t>(it->position()) - last);
    std::string masked = it->str();
    for (char& c : masked) {
      if (c >= '0' && c <= '9') c = '#';
    }
    out.append(masked);
    last = static_cast<std::size_t>(it->position() + it->length());
  }
  out.append(text, last);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace tamsel::test
