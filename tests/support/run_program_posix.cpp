#include "tests/support/run_program.h"
#include "tests/support/platform.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tamsel::test {

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

std::string TypedCommandLine(const std::string& argv0, const std::vector<std::string>& args) {
  std::string line = argv0;
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
