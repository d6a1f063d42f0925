#include "cpuinfo/cpu_services.h"

#include <algorithm>
#include <limits>

#include "cpuinfo/numcpulib.h"

namespace tamsel {

std::int32_t FallbackLogicalCount(std::optional<std::uint64_t> affinity, std::int64_t configured) {
  if (affinity) {
    const std::int32_t low = CountBits(*affinity & 0xFFFFFFFFu);
    if (low > 0) return low;
  }
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(configured, -1, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace tamsel
