#include "cpuinfo/cpu_services.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <set>
#include <string>
#include <utility>

#include "core/console/program_errors.h"
#include "cpuinfo/os_cpu.h"

namespace tamsel {

namespace {

bool ParseCpuNumber(std::string_view text, std::uint32_t& cpu) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), cpu);
  return error == std::errc() && end == text.data() + text.size() && cpu <= kMaxCpuNumber;
}

bool ParseCpuRange(std::string_view item, std::vector<std::uint32_t>& cpus) {
  const std::size_t dash = item.find('-');
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  if (!ParseCpuNumber(item.substr(0, dash), low)) return false;
  if (dash == std::string_view::npos) high = low;
  else if (!ParseCpuNumber(item.substr(dash + 1), high) || high < low) return false;
  for (std::uint32_t cpu = low; cpu <= high; ++cpu) cpus.push_back(cpu);
  return true;
}

bool Absent(int error) { return error == ENOENT || error == ENOTDIR; }

// A list that is there must read and parse; nullopt when it is not there.
std::optional<std::vector<std::uint32_t>> ReadCpuList(const std::string& path) {
  std::string text;
  const int error = os::ReadSystemFile(path, text);
  if (Absent(error)) return std::nullopt;
  if (error != 0) Raise<EPlatformError>(error);
  std::vector<std::uint32_t> cpus;
  if (!ParseCpuList(text, cpus)) Raise<EPlatformError>(EINVAL);
  return cpus;
}

std::optional<std::vector<std::uint32_t>> ReadCoreOf(const std::string& root, std::uint32_t cpu) {
  const std::string topology = root + "/cpu" + std::to_string(cpu) + "/topology/";
  auto core = ReadCpuList(topology + "core_cpus_list");
  return core ? core : ReadCpuList(topology + "thread_siblings_list");
}

// Marks the core's processors as counted; each must belong to this core only.
void ClaimCore(const std::vector<std::uint32_t>& core, std::uint32_t cpu,
               std::vector<bool>& counted) {
  if (!std::binary_search(core.begin(), core.end(), cpu)) Raise<EPlatformError>(EINVAL);
  for (const std::uint32_t member : core) {
    if (counted[member]) Raise<EPlatformError>(EINVAL);
    counted[member] = true;
  }
}

// Counts from sysfs; nullopt when it does not describe the cores. Each core
// is read once, through the first of its processors met in the online list.
std::optional<TCpuCounts> WalkSysfsTopology(const std::string& root) {
  const auto online = ReadCpuList(root + "/online");
  if (!online) return std::nullopt;
  std::vector<bool> counted(kMaxCpuNumber + 1, false);
  TCpuCounts counts;
  for (const std::uint32_t cpu : *online) {
    if (counted[cpu]) continue;
    const auto core = ReadCoreOf(root, cpu);
    if (!core) continue;
    ClaimCore(*core, cpu, counted);
    ++counts.Physical;
    counts.Logical += static_cast<std::int32_t>(core->size());
  }
  if (counts.Physical == 0) return std::nullopt;
  return counts;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

// One "processor" entry of /proc/cpuinfo with the ids of its core.
struct TCpuInfoEntry {
  std::uint32_t Processor = 0;
  std::string Package;  // "physical id"
  std::string Core;     // "core id"
};

// The entries in the file's order. An entry begins at a "processor" line with
// a number (other systems' headers, such as "Processor : ARMv7", are not
// entries); the ids that follow belong to it.
std::vector<TCpuInfoEntry> ParseCpuInfo(std::string_view text) {
  std::vector<TCpuInfoEntry> entries;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));
    std::uint32_t processor = 0;
    if (key == "processor") {
      if (ParseCpuNumber(value, processor)) entries.push_back({processor, {}, {}});
    } else if (!entries.empty() && key == "physical id") {
      entries.back().Package = value;
    } else if (!entries.empty() && key == "core id") {
      entries.back().Core = value;
    }
  }
  return entries;
}

bool Allowed(const std::optional<std::vector<std::uint32_t>>& affinity, std::uint32_t cpu) {
  return !affinity || std::binary_search(affinity->begin(), affinity->end(), cpu);
}

// Counts from /proc/cpuinfo, for a system without sysfs: a core is a
// distinct pair of package and core id, and a processor the file gives no
// core id counts as a core of its own. /proc lists every processor of the
// machine, even in a container held to a few of them, so only those of the
// process's affinity count, unless that leaves none. Nullopt when the file
// cannot be read or lists no processor.
std::optional<TCpuCounts> WalkCpuInfo(const os::TMachineDescription& machine) {
  std::string text;
  if (machine.CpuInfoFile.empty() || os::ReadSystemFile(machine.CpuInfoFile, text) != 0) {
    return std::nullopt;
  }
  std::vector<TCpuInfoEntry> entries = ParseCpuInfo(text);
  const auto outside = [&](const TCpuInfoEntry& e) {
    return !Allowed(machine.Affinity, e.Processor);
  };
  if (!std::all_of(entries.begin(), entries.end(), outside)) {
    entries.erase(std::remove_if(entries.begin(), entries.end(), outside), entries.end());
  }
  std::set<std::uint32_t> processors;
  std::set<std::pair<std::string, std::string>> cores;
  std::int32_t ownCores = 0;
  for (const TCpuInfoEntry& entry : entries) {
    if (!processors.insert(entry.Processor).second) continue;  // listed twice
    if (entry.Core.empty()) ++ownCores;
    else cores.emplace(entry.Package, entry.Core);
  }
  if (processors.empty()) return std::nullopt;
  return TCpuCounts{static_cast<std::int32_t>(processors.size()),
                    static_cast<std::int32_t>(cores.size()) + ownCores};
}

}  // namespace

bool ParseCpuList(std::string_view text, std::vector<std::uint32_t>& cpus) {
  cpus.clear();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (text.empty()) return false;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    if (!ParseCpuRange(text.substr(start, comma - start), cpus)) return false;
    start = comma + 1;
  }
  std::sort(cpus.begin(), cpus.end());
  cpus.erase(std::unique(cpus.begin(), cpus.end()), cpus.end());
  return true;
}

// Sysfs first; /proc/cpuinfo only where sysfs does not describe the cores.
// Sysfs present but broken raises, with no fallback.
std::optional<TCpuCounts> WalkCpuTopology(const os::TMachineDescription& machine) {
  if (auto counts = WalkSysfsTopology(machine.TopologyRoot)) return counts;
  return WalkCpuInfo(machine);
}

}  // namespace tamsel
