#include "cpuinfo/numcpulib.h"

#include <optional>
#include <utility>

#include "cpuinfo/cpu_services.h"
#include "cpuinfo/os_cpu.h"

namespace tamsel {

namespace {

constexpr const char* kLogicalCountError = "An Error Occured while getting the Logical CPU Count.";
constexpr const char* kPhysicalCountError =
    "An Error Occured while getting the Physical CPU Count.";

std::string gTopologyRoot;

}  // namespace

std::int32_t LogicalProcessorCount() {
  const std::optional<TCpuCounts> topology = WalkCpuTopology(CpuTopologyRoot());
  const std::int32_t count =
      topology ? topology->Logical
               : FallbackLogicalCount(os::ProcessAffinityMask(), os::ConfiguredProcessorCount());
  if (count < 1) Raise<ENumCPULibException>(kLogicalCountError);
  return count;
}

std::int32_t PhysicalProcessorCount() {
  const std::optional<TCpuCounts> topology = WalkCpuTopology(CpuTopologyRoot());
  const std::int32_t count = topology ? topology->Physical : -1;
  if (count < 1) Raise<ENumCPULibException>(kPhysicalCountError);
  return count;
}

std::int32_t CountBits(std::uint64_t mask) {
  std::int32_t count = 0;
  for (int bit = 63; bit >= 0; --bit) count += static_cast<std::int32_t>((mask >> bit) & 1);
  return count;
}

void SetCpuTopologyRoot(std::string root) { gTopologyRoot = std::move(root); }

std::string CpuTopologyRoot() {
  if (!gTopologyRoot.empty()) return gTopologyRoot;
  std::string named = os::CpuTopologyRootFromEnvironment();
  return named.empty() ? std::string(os::kCpuTopologyRoot) : named;
}

}  // namespace tamsel
