// The records every search engine fills and the shared ways of showing what
// a search found: the list of primes on standard error and the three-line
// result report on standard output.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// Allocates without value-initialising, so that a sieve table of a billion
// bytes is written once (by the sieve) rather than twice.
template <typename T>
struct TUninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = TUninitialisedAllocator<U>;
  };
  using std::allocator<T>::allocator;
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) == 0) {
      ::new (static_cast<void*>(p)) U;
    } else {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  }
};

// A sieve table, one byte per number: 1 while the number may be prime.
using TPrimeCheck = std::vector<std::uint8_t, TUninitialisedAllocator<std::uint8_t>>;
// Found primes in ascending order. They are base primes, at most a square root of a 64-bit limit and so
// below 2^32: 32 bits each are half the room (0.3 MB at 10^12, 0.8 GB at the top of the range).
using TPrimeFound = std::vector<std::uint32_t>;

struct TPrimeRecord {
  std::uint64_t Capacity = 0;  // slots allocated while CollectPrimes filled its list
  std::uint64_t Count = 0;     // "Total Primes"
  std::uint64_t Highest = 0;   // "Highest Prime", 0 when none was found
  std::string Method;          // "Simple", "Segmented", "Plus" or "Parallel"
};

// Empties Method; the numbers are the engine's to set.
inline void PrepareRecord(TPrimeRecord& record) { record.Method.clear(); }

// Writes one prime (with its ordinal in debug mode) and a blank to standard
// error, in decimal or hexadecimal.
void ShowPrime(std::uint64_t prime, std::uint64_t ordinal);

// Opens the list of shown primes when ShowPrimes is on.
void BeginPrimeList();

// Fills found with the primes of a whole-range table and sets the record.
void CollectPrimes(TPrimeFound& found, TPrimeRecord& record, const TPrimeCheck& table,
                   std::string_view method);

// Closes the list of shown primes, or writes the empty line before the report.
void EndPrimeList();

// "Search up to", "Total Primes" (unless NoCount) and "Highest Prime".
void ReportResults(std::uint64_t limit, const TPrimeRecord& record);

}  // namespace tamsel
