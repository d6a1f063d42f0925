#include "core/cmdline/number_parse.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>

namespace tamsel {
namespace {

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();

TEST(TextToNumberTest, ReadsGroupingFractionsAndBasePrefixes) {
  const std::pair<const char*, std::uint64_t> cases[] = {
      {"1,000,000", 1000000}, {"1,0,0", 100}, {",100", 100},  {"100.9", 100},
      {"1.000.000", 1},       {"$FF", 255},   {"0x10", 16},   {"Xff", 255},
      {"%101", 5},            {"&17", 15},    {"+5", 5},      {" \t7", 7},
      {"18446744073709551615", kMax64}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(TextToNumber(text, 42), expected) << text;
    EXPECT_FALSE(LastValueAdjusted) << text;
  }
}

TEST(TextToNumberTest, UnreadableTextYieldsTheDefault) {
  for (const char* text : {"-5", "5 ", "1e6", "abc", ".5", "", "18446744073709551616", "$", "0x",
                           "+", "%102", "&8"}) {
    EXPECT_EQ(TextToNumber(text, 42), 42u) << text;
    EXPECT_TRUE(LastValueAdjusted) << text;
  }
}

TEST(TextToNumberTest, LengthLimitCountsOnlyWhatIsConverted) {
  const std::string zeros(254, '0');
  EXPECT_EQ(TextToNumber(zeros + "7", 1), 7u);   // 255 characters
  EXPECT_EQ(TextToNumber(zeros + "07", 1), 1u);  // 256 characters
  EXPECT_EQ(TextToNumber(zeros + ",,,7", 1), 7u);
  EXPECT_EQ(TextToNumber(zeros + "7." + std::string(300, '9'), 1), 7u);
}

TEST(TextToNumberTest, TypingTheDefaultItselfCountsAsAdjusted) {
  EXPECT_EQ(TextToNumber("2", 2), 2u);
  EXPECT_TRUE(LastValueAdjusted);
}

TEST(TextToNumberInRangeTest, ClampsWithUnsignedComparisons) {
  EXPECT_EQ(TextToNumberInRange("4", 2, 1, 8), 4u);
  EXPECT_FALSE(LastValueAdjusted);
  EXPECT_EQ(TextToNumberInRange("0", 2, 1, 8), 1u);
  EXPECT_TRUE(LastValueAdjusted);
  EXPECT_EQ(TextToNumberInRange("99", 2, 1, 8), 8u);
  EXPECT_TRUE(LastValueAdjusted);
  EXPECT_EQ(TextToNumberInRange("5", 0, 10, 3), 3u);  // minimum above maximum
  EXPECT_EQ(TextToNumberInRange("5", 0, kMax64, kMax64), kMax64);
}

}  // namespace
}  // namespace tamsel
