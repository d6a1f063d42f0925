#include "engines/os_memory.h"

namespace tamsel::os {

// The Windows heap maps large blocks by itself: nothing to set.
void KeepLargeBlocksMapped() {}

}  // namespace tamsel::os
