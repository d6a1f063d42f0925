// Operating-system seam for the processor's data caches, which size the
// sieve kernel's blocks.
#pragma once
#include <cstdint>

namespace tamsel::os {

// Bytes of the level 1 or 2 data cache of one processor; 0 when the system
// does not tell.
std::uint64_t DataCacheBytes(int level);

}  // namespace tamsel::os
