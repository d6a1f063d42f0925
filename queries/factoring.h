// Prime factorisation of 64-bit numbers and the divisors built from it.
#pragma once
#include <cstdint>
#include <vector>

namespace tamsel {

struct TPrimePower {
  std::uint64_t Prime = 0;
  std::uint32_t Exponent = 0;
  bool operator==(const TPrimePower&) const = default;
};

// The prime powers whose product is n, by increasing prime; empty for 0 and 1.
std::vector<TPrimePower> FactorInteger(std::uint64_t n);

// Every divisor of the number with this factorisation that is at most limit,
// in increasing order.
std::vector<std::uint64_t> DivisorsUpTo(const std::vector<TPrimePower>& factors,
                                        std::uint64_t limit);

}  // namespace tamsel
