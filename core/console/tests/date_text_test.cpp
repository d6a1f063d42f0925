#include "core/console/date_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <utility>

namespace tamsel {
namespace {

class ParseDateTimeTextTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = FormatSettings(); }
  void TearDown() override { FormatSettings() = saved_; }
  static void UsePattern(std::string pattern) {
    FormatSettings().ShortDateFormat = std::move(pattern);
  }
  static std::string Text(std::optional<TDateTime> value) {
    return value ? FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", *value) : "unreadable";
  }

 private:
  TFormatSettings saved_;
};

TEST_F(ParseDateTimeTextTest, ReadsInTheOrderOfTheShortDatePattern) {
  UsePattern("yyyy/mm/dd");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07 11:27:47", "mm/dd/yyyy")),
            "2024/03/07 11:27:47.000");
  EXPECT_EQ(Text(ParseDateTimeText("2024/3/7", "mm/dd/yyyy")), "2024/03/07 00:00:00.000");
  UsePattern("mm/dd/yyyy");
  EXPECT_EQ(Text(ParseDateTimeText("03/07/2024 9:05", "mm/dd/yyyy")), "2024/03/07 09:05:00.000");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07", "mm/dd/yyyy")), "unreadable");
}

TEST_F(ParseDateTimeTextTest, FractionBecomesMilliseconds) {
  UsePattern("yyyy/mm/dd");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07 11:27:47.5", "")), "2024/03/07 11:27:47.500");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07 11:27:47.12345", "")), "2024/03/07 11:27:47.123");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07 11:27:47.", "")), "2024/03/07 11:27:47.000");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07 11:27:47.25.9", "")), "2024/03/07 11:27:47.250");
}

TEST_F(ParseDateTimeTextTest, FollowsTheCurrentSeparators) {
  UsePattern("yyyy/mm/dd");
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = 'h';
  EXPECT_EQ(Text(ParseDateTimeText("2024-03-07 11h27h47", "")), "2024-03-07 11h27h47.000");
  EXPECT_EQ(Text(ParseDateTimeText("2024/03/07", "")), "unreadable");
}

TEST_F(ParseDateTimeTextTest, RejectsImpossibleOrIncompleteTexts) {
  UsePattern("yyyy/mm/dd");
  for (const char* text : {"", "   ", "2024/13/01", "2023/02/29", "2024/04/31", "2024/03/00",
                           "24/03/07", "2024/03/07 24:00", "2024/03/07 10:60",
                           "2024/03/07 10:00:60", "2024/03/0710:00", "2024/03/07 10",
                           "2024/03/07 10:00 x", "abc"}) {
    EXPECT_EQ(Text(ParseDateTimeText(text, "mm/dd/yyyy")), "unreadable") << text;
  }
  EXPECT_EQ(Text(ParseDateTimeText("2024/02/29", "mm/dd/yyyy")), "2024/02/29 00:00:00.000");
}

TEST_F(ParseDateTimeTextTest, TimeAloneFallsOnTodayEvenWhenPatternsDiffer) {
  UsePattern("yyyy/mm/dd");  // today is written as mm/dd/yyyy and must not be misread
  const double before = std::floor(Now().Wall);
  const auto value = ParseDateTimeText("10:20:30.4", "mm/dd/yyyy");
  const double after = std::floor(Now().Wall);
  ASSERT_TRUE(value.has_value());
  const double day = std::floor(*value);
  EXPECT_TRUE(day == before || day == after);
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", *value), "10:20:30.400");
}

TEST_F(ParseDateTimeTextTest, TheZeroDateWrittenOutIsKept) {
  UsePattern("mm/dd/yyyy");
  const auto value = ParseDateTimeText("12/30/1899 10:00", "mm/dd/yyyy");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(std::floor(*value), 0.0);
}

}  // namespace
}  // namespace tamsel
