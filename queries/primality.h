// Whether one number is prime.
#pragma once
#include <cstdint>

namespace tamsel {

bool IsPrime(std::uint64_t n);

}  // namespace tamsel
