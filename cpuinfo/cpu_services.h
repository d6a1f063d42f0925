// The sources of the processor counts, below NumCPULib's own rules.
//
// Linux: the topology is the kernel's processor folder: the list of online
// processors ("online") and, for each of them, the processors sharing its
// core (cpuN/topology/core_cpus_list, or thread_siblings_list on older
// kernels). Every processor belongs to exactly one core, so a core is known
// by its processor set alone; package and die numbers add nothing.
// Absent (the counts fall back, the physical count fails): no "online" list,
// or no online processor with a core list. A processor without a core list
// is skipped, as one that went offline while we read. Present but broken
// (EPlatformError, no fallback): a list that exists but cannot be read
// raises the read's error code; one that is not a processor list, a core that
// leaves out its own processor or shares one with another core, EINVAL.
// Where sysfs is absent (a chroot or container without it), /proc/cpuinfo
// gives the cores as distinct pairs of "physical id" and "core id", counting
// only the processors of the process's affinity; absent when it cannot be
// read or lists no processor.
//
// Windows: the records of GetLogicalProcessorInformationEx, or of the older
// GetLogicalProcessorInformation when the newer service is missing. Each
// processor-core record is one core; its logical processors are the bits of
// its group masks, in every processor group. Other records are skipped.
// Absent: neither service. Broken (EPlatformError): a failed call raises its
// error code; records that run past their buffer, ERROR_INVALID_DATA.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cpuinfo/os_cpu.h"

namespace tamsel {

struct TCpuCounts {
  std::int32_t Logical = 0;
  std::int32_t Physical = 0;
};

// The cores of the machine and the total of their processors; nullopt when
// the description holds no topology.
std::optional<TCpuCounts> WalkCpuTopology(const os::TMachineDescription& machine);

// The logical count without a topology: the set bits among processors 0 to
// 31 of the affinity mask when it has any, else the configured processors.
std::int32_t FallbackLogicalCount(std::optional<std::uint64_t> affinity, std::int64_t configured);

#ifndef _WIN32
// Processor numbers at or below this are plausible; larger ones are taken
// for a damaged list rather than allocated for.
inline constexpr std::uint32_t kMaxCpuNumber = 65535;

// Parses the kernel's processor list ("0-3,8,10-11", a line end allowed)
// into ascending numbers; false for an empty or malformed list.
bool ParseCpuList(std::string_view text, std::vector<std::uint32_t>& cpus);
#endif

}  // namespace tamsel
