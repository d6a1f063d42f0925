// Test aid of the syntax-error screen, kept out of its header.
#pragma once
#include <cstdint>

namespace tamsel {

// Length of one tick of the key wait (250 ms); tests shorten it.
extern std::int32_t KeyWaitTickMilliseconds;

}  // namespace tamsel
