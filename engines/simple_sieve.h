// The simple sieve: one table holding every number from 0 to the limit.
#pragma once
#include <cstdint>

#include "core/console/datetime.h"
#include "engines/prime_records.h"

namespace tamsel {

// Builds the finished sieve of 0..limit (limit >= 1) into table, then
// stores the current time as endTime.
void SieveTable(TPrimeCheck& table, std::uint64_t limit, TTimeStamp& endTime);

// A new finished table of 0..limit; the end time is dropped.
TPrimeCheck FreshSieveTable(std::uint64_t limit);

// Finds the highest prime, counts (and shows) the primes of a finished
// whole-range table, then closes the list and reports.
void CountPrimes(const TPrimeCheck& table, TPrimeRecord& record);

}  // namespace tamsel
