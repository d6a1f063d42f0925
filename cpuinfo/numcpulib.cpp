#include "cpuinfo/numcpulib.h"

#include <thread>

namespace tamsel {

std::int32_t LogicalProcessorCount() {
  return static_cast<std::int32_t>(std::thread::hardware_concurrency());
}

std::int32_t PhysicalProcessorCount() { return LogicalProcessorCount(); }

}  // namespace tamsel
