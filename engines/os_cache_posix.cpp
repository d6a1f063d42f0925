#include <unistd.h>

#include "engines/os_cache.h"

namespace tamsel::os {

std::uint64_t DataCacheBytes(int level) {
  long bytes = -1;
#if defined(_SC_LEVEL1_DCACHE_SIZE) && defined(_SC_LEVEL2_CACHE_SIZE)
  bytes = sysconf(level == 1 ? _SC_LEVEL1_DCACHE_SIZE : _SC_LEVEL2_CACHE_SIZE);
#else
  (void)level;
#endif
  return bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}

}  // namespace tamsel::os
