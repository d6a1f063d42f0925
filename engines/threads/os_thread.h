// Operating-system seam for threads: start one with a given stack size, wait
// for it, release it.
#pragma once
#include <cstddef>

namespace tamsel::os {

struct TThreadHandle;

using TThreadEntry = void (*)(void* argument);

// Starts entry(argument) on a new thread whose stack holds stackBytes;
// nullptr when the system refuses the thread or that stack size.
TThreadHandle* StartThread(std::size_t stackBytes, TThreadEntry entry, void* argument);

// Waits for the thread to end, then releases the handle.
void JoinThread(TThreadHandle* handle);

}  // namespace tamsel::os
