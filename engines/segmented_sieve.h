// The segmented sieves: the base range 0..s sieved whole, the rest of the
// range in consecutive segments of s numbers in one reused table.
#pragma once
#include <cstdint>

#include "core/console/datetime.h"
#include "engines/prime_records.h"
#include "engines/sieve_kernel.h"

namespace tamsel {

struct TSegmentSizes {
  std::uint64_t Size = 0;        // s, the truncated square root of n
  std::uint64_t FirstLow = 0;    // s + 1
  std::uint64_t FirstHigh = 0;   // 2s
  std::uint64_t LastIndex = 0;   // the last segment k, covering k*s+1 .. (k+1)*s
};

TSegmentSizes SegmentSizes(std::uint64_t n);

// Segments of s numbers from s + 1 up to n, the last one possibly short.
std::uint64_t SegmentCount(std::uint64_t n, std::uint64_t s);

// The base primes of a segmented search up to n, as the kernel keeps them,
// and a sieve that walks the segments s + 1 .. n (made from Primes once the
// list is gone, so that the two never take room together).
struct TBasePrimes {
  TBasePrimes(const TPrimeFound& primesUpToS, std::uint64_t n, std::uint64_t s);
  TPresieve Presieve;
  TSievingPrimes Primes;
  TSegmentSieve Sieve;
};

// The work for one segment low..high (inclusive) in a table of s + 1
// elements: cross out, find the segment's highest prime, count and show.
// Segments must come in ascending order, each following the one before.
void SieveSegment(TPrimeCheck& table, TPrimeRecord& record, TBasePrimes& base,
                  std::uint64_t low, std::uint64_t high);

// The normal segmented sieve (label "Segmented"), with the segment work
// written into its loop.
void SegmentedSieve(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                    TTimeStamp& endTime);

// The segmented sieve Plus (label "Plus"): SieveSegment once per segment.
void SegmentedSievePlus(TPrimeCheck& table, TPrimeRecord& record, std::uint64_t n,
                        TTimeStamp& endTime);

}  // namespace tamsel
