#include "cpuinfo/numcpulib.h"

#include <optional>

#include "cpuinfo/cpu_services.h"

namespace tamsel {

namespace {

constexpr const char* kLogicalCountError = "An Error Occured while getting the Logical CPU Count.";
constexpr const char* kPhysicalCountError =
    "An Error Occured while getting the Physical CPU Count.";

}  // namespace

std::int32_t LogicalProcessorCount() { return LogicalProcessorCount(os::ThisMachine()); }

std::int32_t PhysicalProcessorCount() { return PhysicalProcessorCount(os::ThisMachine()); }

std::int32_t LogicalProcessorCount(const os::TMachineDescription& machine) {
  const std::optional<TCpuCounts> topology = WalkCpuTopology(machine);
  const std::int32_t count =
      topology ? topology->Logical
               : FallbackLogicalCount(os::ProcessAffinityMask(), os::ConfiguredProcessorCount());
  if (count < 1) Raise<ENumCPULibException>(kLogicalCountError);
  return count;
}

std::int32_t PhysicalProcessorCount(const os::TMachineDescription& machine) {
  const std::optional<TCpuCounts> topology = WalkCpuTopology(machine);
  const std::int32_t count = topology ? topology->Physical : -1;
  if (count < 1) Raise<ENumCPULibException>(kPhysicalCountError);
  return count;
}

std::int32_t CountBits(std::uint64_t mask) {
  std::int32_t count = 0;
  for (int bit = 63; bit >= 0; --bit) count += static_cast<std::int32_t>((mask >> bit) & 1);
  return count;
}

}  // namespace tamsel
