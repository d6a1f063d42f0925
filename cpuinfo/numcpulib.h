// Logical processor and physical core counts of the machine.
#pragma once
#include <cstdint>

namespace tamsel {

std::int32_t LogicalProcessorCount();
std::int32_t PhysicalProcessorCount();

}  // namespace tamsel
