// NumCPULib: how many logical processors (hardware threads) and physical
// cores the machine offers, read from the operating system's processor
// topology, with simpler sources as fallbacks for the logical count.
#pragma once
#include <cstdint>
#include <string>

#include "core/console/program_errors.h"

namespace tamsel {

class ENumCPULibException : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// At least 1. Without a topology the count comes from the process affinity
// (processors 0 to 31) or the configured processors; raises
// ENumCPULibException when none of them gives a count, and EPlatformError
// when a topology is there but cannot be read.
std::int32_t LogicalProcessorCount();

// At least 1. Raises ENumCPULibException when there is no topology, and
// EPlatformError when a topology is there but cannot be read.
std::int32_t PhysicalProcessorCount();

// The number of set bits in mask (0 to 64).
std::int32_t CountBits(std::uint64_t mask);

// The folder the topology is read from: the one set here; else the one named
// by the environment variable TAMSEL_CPU_TOPOLOGY_ROOT, so that a test can
// present a made-up machine to the whole program; else the kernel's own. An
// empty root undoes the setting.
void SetCpuTopologyRoot(std::string root);
std::string CpuTopologyRoot();

}  // namespace tamsel
