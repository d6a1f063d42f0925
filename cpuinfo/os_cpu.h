// Operating-system seam for processor information: a description of the
// machine's processors as the system gives it, the process's processor
// affinity and the number of processors the system has.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::os {

#ifdef _WIN32

// What one of the processor-information services answered: its records,
// byte for byte, or the error code of the call that failed.
struct TProcessorInfoAnswer {
  std::vector<unsigned char> Records;
  std::uint32_t Error = 0;  // 0 when Records holds the answer
};

// The answers of GetLogicalProcessorInformationEx (asked for every
// relationship) and GetLogicalProcessorInformation; a service the system
// lacks has none. The older service is asked only when the newer is missing.
struct TMachineDescription {
  std::optional<TProcessorInfoAnswer> Extended;
  std::optional<TProcessorInfoAnswer> Plain;
};

#else

// Where the kernel publishes the processors: the topology folder of sysfs
// and, for a system without sysfs (a plain chroot, a minimal container), the
// processor list of /proc with each processor's package and core numbers.
// An empty path stands for a file that is not there.
struct TMachineDescription {
  std::string TopologyRoot;
  std::string CpuInfoFile;
  // The processors this process may run on, ascending; nullopt when unknown.
  std::optional<std::vector<std::uint32_t>> Affinity;
};

inline constexpr const char* kCpuTopologyRoot = "/sys/devices/system/cpu";
inline constexpr const char* kCpuInfoFile = "/proc/cpuinfo";

// Reads a small system file whole; 0, or the error code of the failed call
// (EFBIG for a file larger than any the kernel writes here).
int ReadSystemFile(const std::string& path, std::string& text);

#endif

// This machine's description. A test can present a made-up machine to the
// whole program by naming a folder in TAMSEL_CPU_TOPOLOGY_ROOT: on Linux laid
// out as the kernel's topology folder, with a file "cpuinfo" standing for
// /proc/cpuinfo if it has one; on Windows holding each service's records in
// a file named after the service.
TMachineDescription ThisMachine();

// The process's affinity for processors 0 to 63; nullopt when the system
// does not tell.
std::optional<std::uint64_t> ProcessAffinityMask();

// The processors the system has, online or not; -1 when unknown.
std::int64_t ConfiguredProcessorCount();

}  // namespace tamsel::os
