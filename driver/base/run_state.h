// The driver's process-wide state that the engines, the queries and the
// reports read: the limits, the option flags and the thread counts.
#pragma once
#include <cstdint>
#include <string>

#include "driver/base/version.h"  // generated from the project's version

namespace tamsel {

inline constexpr std::uint64_t DefaultLimit = 250000;
inline constexpr std::uint64_t MaxLimit = 18000000000000000000ULL;
inline constexpr std::uint64_t SimpleSieveLimit = 20000;
inline constexpr std::uint64_t LargeSearchThreshold = 1000000000;

inline constexpr const char* kDescription =
    "Generate Prime Numbers via Segmented Sieve Method, Plus Other Info";
inline constexpr const char* kInternalName = "Tamsel";

// One flag per command-line option, after the driver's adjustments.
struct TRunOptions {
  bool Debug = false;
  bool Help = false;
  bool Verbose = false;
  bool VersionOnly = false;
  bool Info = false;
  bool Banner = false;
  bool Quiet = false;
  bool StrictEval = false;
  bool ShowPrimes = false;
  bool Hexadecimal = false;
  bool NoCount = false;
  bool AlwaysSegmented = false;
  bool Parallel = false;
  bool Force = false;
  bool IsPrimeQuery = false;
  bool Factors = false;
  bool PrimeFactors = false;
  bool Benchmark = false;
};

extern TRunOptions RunOptions;

extern std::uint64_t SearchLimit;
extern std::int32_t ThreadCount;
extern std::int32_t MaxThreads;        // logical processors
extern std::int32_t SuggestedThreads;  // physical cores

// ProgramName and ProgramTitle of the build information, for the reports.
extern std::string ProgramName;
extern std::string ProgramTitle;

}  // namespace tamsel
