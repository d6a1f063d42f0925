// The progress of a long search on the terminal: one status line on
// standard error with the share of the range done, the time elapsed and an
// estimate of the time left.
#pragma once
#include <cstdint>
#include <string>

#include "engines/search_progress.h"

namespace tamsel {

// "Searching: 42.3% done, 00:01:12 elapsed, about 00:01:38 left". The
// estimate comes from the pace since the engine began counting its work
// (countingMilliseconds ago) and is left out until some work is done;
// before the engine counts, the search is "preparing".
std::string ProgressText(const TProgressReading& reading, std::int64_t elapsedMilliseconds,
                         std::int64_t countingMilliseconds);

// From now on every search shows its progress, provided standard error is a
// terminal and the run neither lists primes nor was asked to be quiet.
// Redirected output is never touched.
void ShowProgressWhenSuitable();

// Put around one engine call, so that the line also covers what the engine
// does before it counts its work (for the largest numbers, finding the base
// primes takes a while). The engine stops the line before it reports.
class TSearchWatch {
 public:
  TSearchWatch();
  ~TSearchWatch();
  TSearchWatch(const TSearchWatch&) = delete;
  TSearchWatch& operator=(const TSearchWatch&) = delete;
};

}  // namespace tamsel
