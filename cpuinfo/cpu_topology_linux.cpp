#include "cpuinfo/cpu_services.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

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

// Each core is read once, through the first of its processors met in the
// online list.
std::optional<TCpuCounts> WalkCpuTopology(const os::TMachineDescription& machine) {
  const std::string& root = machine.TopologyRoot;
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

}  // namespace tamsel
