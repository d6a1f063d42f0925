#include "cpuinfo/os_cpu.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace tamsel::os {

namespace {

// /proc/cpuinfo takes about 1.5 KiB a processor.
constexpr std::size_t kMaxSystemFileBytes = 16 << 20;
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

// Every processor of the affinity, not only the first 64.
std::optional<std::vector<std::uint32_t>> ProcessAffinity() {
  for (int processors = CPU_SETSIZE; processors <= kMaxAffinityProcessors; processors *= 2) {
    cpu_set_t* set = CPU_ALLOC(processors);
    if (set == nullptr) return std::nullopt;
    const std::size_t bytes = CPU_ALLOC_SIZE(processors);
    const bool known = ::sched_getaffinity(0, bytes, set) == 0;
    const int error = errno;
    std::vector<std::uint32_t> cpus;
    for (int cpu = 0; known && cpu < processors; ++cpu) {
      if (CPU_ISSET_S(cpu, bytes, set)) cpus.push_back(static_cast<std::uint32_t>(cpu));
    }
    CPU_FREE(set);
    if (known) return cpus;
    if (error != EINVAL) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

TMachineDescription ThisMachine() {
  const char* root = std::getenv("TAMSEL_CPU_TOPOLOGY_ROOT");
  if (root != nullptr && *root != '\0') {
    return {root, std::string(root) + "/cpuinfo", ProcessAffinity()};
  }
  return {kCpuTopologyRoot, kCpuInfoFile, ProcessAffinity()};
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
  const auto cpus = ProcessAffinity();
  if (!cpus) return std::nullopt;
  std::uint64_t mask = 0;
  for (const std::uint32_t cpu : *cpus) {
    if (cpu < 64) mask |= std::uint64_t{1} << cpu;
  }
  return mask;
}

std::int64_t ConfiguredProcessorCount() {
  const long count = ::sysconf(_SC_NPROCESSORS_CONF);
  return count > 0 ? count : -1;
}

}  // namespace tamsel::os
