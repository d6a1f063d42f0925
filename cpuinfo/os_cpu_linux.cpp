#include "cpuinfo/os_cpu.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace tamsel::os {

namespace {

constexpr std::size_t kMaxSystemFileBytes = 1 << 20;
// The kernel refuses an affinity buffer smaller than its own processor
// limit, so the buffer grows until it is accepted or absurdly large.
constexpr int kMaxAffinityProcessors = 1 << 16;

int ReadAll(int fd, std::string& text) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kMaxSystemFileBytes) return EFBIG;
  }
}

}  // namespace

TMachineDescription ThisMachine() {
  const char* root = std::getenv("TAMSEL_CPU_TOPOLOGY_ROOT");
  return {root != nullptr && *root != '\0' ? root : kCpuTopologyRoot};
}

int ReadSystemFile(const std::string& path, std::string& text) {
  text.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ReadAll(fd, text);
  ::close(fd);
  return error;
}

std::optional<std::uint64_t> ProcessAffinityMask() {
  for (int processors = CPU_SETSIZE; processors <= kMaxAffinityProcessors; processors *= 2) {
    cpu_set_t* set = CPU_ALLOC(processors);
    if (set == nullptr) return std::nullopt;
    const std::size_t bytes = CPU_ALLOC_SIZE(processors);
    const bool known = ::sched_getaffinity(0, bytes, set) == 0;
    const int error = errno;
    std::uint64_t mask = 0;
    for (int cpu = 0; known && cpu < 64; ++cpu) {
      if (CPU_ISSET_S(cpu, bytes, set)) mask |= std::uint64_t{1} << cpu;
    }
    CPU_FREE(set);
    if (known) return mask;
    if (error != EINVAL) return std::nullopt;
  }
  return std::nullopt;
}

std::int64_t ConfiguredProcessorCount() {
  const long count = ::sysconf(_SC_NPROCESSORS_CONF);
  return count > 0 ? count : -1;
}

}  // namespace tamsel::os
