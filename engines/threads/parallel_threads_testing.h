// Test aid of the worker-thread pool, kept out of its header.
#pragma once
#include <cstdint>

namespace tamsel {

// From now on each RunWorkers call starts at most limit threads, as if the
// system refused the rest; a negative limit lifts it.
void SetWorkerThreadLimit(std::int32_t limit);

}  // namespace tamsel
