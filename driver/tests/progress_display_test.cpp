#include "driver/progress_display.h"

#include <gtest/gtest.h>

namespace tamsel {
namespace {

TEST(ProgressTextTest, ShareElapsedAndEstimateLeft) {
  constexpr std::int64_t kHour = 3600 * 1000;
  const struct {
    TProgressReading reading;
    std::int64_t elapsed, counting;
    const char* expected;
  } cases[] = {
      {{0, 0}, 12500, 0, "Searching: preparing, 00:00:12 elapsed"},
      {{0, 4}, 1500, 1500, "Searching: 0.0% done, 00:00:01 elapsed"},
      // The estimate counts from the start of the engine's counting.
      {{423, 1000}, 80000, 72000,
       "Searching: 42.3% done, 00:01:20 elapsed, about 00:01:38 left"},
      // 100% only when every unit is done.
      {{999999, 1000000}, 1000, 1000,
       "Searching: 99.9% done, 00:00:01 elapsed, about 00:00:00 left"},
      // A search up to the maximum: days, not hours.
      {{1, 4000000000}, 100 * kHour, kHour,
       "Searching: 0.0% done, 4 days elapsed, about 166,666,666 days left"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressText(c.reading, c.elapsed, c.counting), c.expected);
  }
}

}  // namespace
}  // namespace tamsel
