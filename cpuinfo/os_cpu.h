// Operating-system seam for processor information: the kernel's topology
// files, the process's processor affinity and the configured processors.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tamsel::os {

// Where the kernel publishes the processor topology.
inline constexpr const char* kCpuTopologyRoot = "/sys/devices/system/cpu";

// The topology root named by TAMSEL_CPU_TOPOLOGY_ROOT; empty when unset.
std::string CpuTopologyRootFromEnvironment();

// Reads a small system file whole; 0, or the error code of the failed call
// (EFBIG for a file larger than any the kernel writes here).
int ReadSystemFile(const std::string& path, std::string& text);

// The process's affinity for processors 0 to 63; nullopt when the system
// does not tell.
std::optional<std::uint64_t> ProcessAffinityMask();

// The processors the system has configured, online or not; -1 when unknown.
std::int64_t ConfiguredProcessorCount();

}  // namespace tamsel::os
