// NumCPULib: how many logical processors (hardware threads) and physical
// cores the machine offers, read from the operating system's processor
// topology, with simpler sources as fallbacks for the logical count.
#pragma once
#include <cstdint>
#include <string>

#include "core/console/program_errors.h"
#include "cpuinfo/os_cpu.h"

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

// The same counts for the machine a description presents (tests hand in a
// made-up one).
std::int32_t LogicalProcessorCount(const os::TMachineDescription& machine);
std::int32_t PhysicalProcessorCount(const os::TMachineDescription& machine);

}  // namespace tamsel
