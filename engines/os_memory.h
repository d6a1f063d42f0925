// Operating-system seam for how the C heap hands large blocks back, which
// sets how much memory the searches keep resident.
#pragma once

namespace tamsel::os {

// Large blocks (128 KiB and more) come straight from the system and go back
// to it when freed, whatever was freed before. Called once at start-up.
void KeepLargeBlocksMapped();

}  // namespace tamsel::os
