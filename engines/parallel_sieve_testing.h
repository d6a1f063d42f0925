// Test aids of the parallel segmented sieve, kept out of its header so that
// the program's own code sees only what it uses.
#pragma once
#include <cstdint>

namespace tamsel {

// From now on the worker that takes segment `segment` fails as if its memory
// had run out, and runs have the given length (0 lifts each).
void SetSegmentFailureForTest(std::uint64_t segment);
void SetRunLengthForTest(std::uint64_t length);

}  // namespace tamsel
