#include "queries/primality.h"

namespace tamsel {

bool IsPrime(std::uint64_t n) {
  if (n < 2) return false;
  if (n < 4) return true;
  if (n % 2 == 0) return false;
  for (std::uint64_t d = 3; d <= n / d; d += 2) {
    if (n % d == 0) return false;
  }
  return true;
}

}  // namespace tamsel
