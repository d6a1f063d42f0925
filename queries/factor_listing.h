// The factor listing: every pair (factor, co-factor) of one number, then a
// rule line and a summary; prime members are marked with --primefactors.
#pragma once
#include <cstdint>
#include <string_view>

namespace tamsel {

// The state of one ShowFactors call, shared by its pair routines.
struct TFactorListing {
  std::uint64_t Number = 0;
  std::int32_t Width = 0;        // decimal digits of Number plus 2
  std::uint64_t Count = 0;       // factors counted
  std::uint64_t PrimeCount = 0;  // prime marks counted
};

// The largest small factor the listing shows: the truncated double root of n
// read as a signed 32-bit number. From 2^62 - 256 on it is zero or negative,
// so nothing is counted and the listing reports an error.
std::int32_t FactorLoopBound(std::uint64_t n);

// Writes the listing of n on the standard channel, reading Quiet, NoCount and
// PrimeFactors of RunOptions. When nothing was counted it writes an error
// line instead of the summary and assigns exit code 82.
void ShowFactors(std::uint64_t n);

// The pair (i, Number / i) when i divides Number, plain or with prime marks.
void ShowFactorPair(TFactorListing& listing, std::uint64_t i);
void ShowPrimeFactorPair(TFactorListing& listing, std::uint64_t i);

// Writes the line unless Quiet and counts what it stands for.
void ReportFactorPair(TFactorListing& listing, std::string_view line, std::uint32_t factors,
                      std::uint32_t primes);

}  // namespace tamsel
