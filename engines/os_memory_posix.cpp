#include "engines/os_memory.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace tamsel::os {

// glibc raises its bound for mapped blocks to the largest one freed: after
// the base table (1 MB at 10^12) the sieve's window and bucket slabs came
// from the heap, which keeps room once touched (0.13 MB more at 10^12).
// Setting the bound keeps it where it is.
void KeepLargeBlocksMapped() {
#ifdef M_MMAP_THRESHOLD
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace tamsel::os
