// The straightforward versions of the two queries, slow on large numbers and
// kept only as references for the tests and the benchmark: trial division by
// every odd number up to the root, and a listing that tries every candidate
// from 1 to the loop bound.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"

namespace tamsel::plain {

inline bool IsPrime(std::uint64_t n) {
  if (n < 2) return false;
  if (n < 4) return true;
  if (n % 2 == 0) return false;
  const double root = std::sqrt(static_cast<double>(n));
  for (std::uint64_t d = 3; static_cast<double>(d) <= root; d += 2) {
    if (n % d == 0) return false;
  }
  return true;
}

// The truncated double root cut to a signed 32-bit number.
inline std::int32_t LoopBound(std::uint64_t n) {
  const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(root));
}

// Calls visit(i) for every i = 1 .. LoopBound(n) that divides n.
template <typename Visit>
void ForEachLoopDivisor(std::uint64_t n, Visit visit) {
  const std::int32_t bound = LoopBound(n);
  for (std::int64_t i = 1; i <= bound; ++i) {
    if (n % static_cast<std::uint64_t>(i) == 0) visit(static_cast<std::uint64_t>(i));
  }
}

// The listing of n for the divisors that forEach(visit) produces in order,
// with isPrime deciding the marks.
template <typename ForEach, typename PrimeTest>
void WriteListing(std::uint64_t n, ForEach forEach, PrimeTest isPrime) {
  const int width = static_cast<int>(std::to_string(n).size()) + 2;
  const bool marks = RunOptions.PrimeFactors;
  std::uint64_t count = 0, primes = 0;
  forEach([&](std::uint64_t i) {
    if (RunOptions.NoCount) return;
    const unsigned long long j = n / i;
    const bool pi = marks && isPrime(i), pj = marks && isPrime(j);
    char line[96];
    std::snprintf(line, sizeof line, marks ? "%*llu%7s * %*llu%7s" : "%*llu%s * %*llu%s", width,
                  static_cast<unsigned long long>(i), pi ? "Prime!" : "", width, j,
                  pj ? "Prime!" : "");
    if (!RunOptions.Quiet) StdChannel().WriteLn(line);
    count += i == j ? 1 : 2;
    primes += (pi ? 1 : 0) + (pj ? 1 : 0);
  });
  StdChannel().WriteLn(std::string(75, '-'));
  if (count == 0) {
    StdChannel().WriteLn("ERROR: Could Not Compute Factors for: " + FormatThousands(n) +
                         ".  Please Try a smaller number.");
    AssignExitCode(82);
    return;
  }
  std::string summary = "There are " + FormatThousands(count) + " factors of " + FormatThousands(n);
  if (marks) summary += " (with " + FormatThousands(primes) + " total prime factors).";
  StdChannel().WriteLn(summary);
}

inline void ShowFactors(std::uint64_t n) {
  WriteListing(
      n, [n](auto visit) { ForEachLoopDivisor(n, visit); }, IsPrime);
}

}  // namespace tamsel::plain
