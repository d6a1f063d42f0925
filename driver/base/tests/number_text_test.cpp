// Numbers as the reports show them: grouped in thousands, in hexadecimal,
// and filled on the left for the fixed fields of the one-line summaries.
#include "driver/base/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tamsel {
namespace {

constexpr std::uint64_t kLargest = 18446744073709551615ULL;

TEST(FormatThousands, GroupsFromTheRightWithCommas) {
  EXPECT_EQ(FormatThousands(0), "0");
  EXPECT_EQ(FormatThousands(7), "7");
  EXPECT_EQ(FormatThousands(100), "100");
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(1000), "1,000");
  EXPECT_EQ(FormatThousands(12345), "12,345");
  EXPECT_EQ(FormatThousands(250000), "250,000");
  EXPECT_EQ(FormatThousands(1000000), "1,000,000");
  EXPECT_EQ(FormatThousands(18000000000000000000ULL), "18,000,000,000,000,000,000");
  EXPECT_EQ(FormatThousands(kLargest), "18,446,744,073,709,551,615");
}

TEST(NumberDigits, PlainDecimalAndUppercaseHexadecimal) {
  EXPECT_EQ(ToDecimal(0), "0");
  EXPECT_EQ(ToDecimal(kLargest), "18446744073709551615");
  EXPECT_EQ(ToHex(0), "0");
  EXPECT_EQ(ToHex(10), "A");
  EXPECT_EQ(ToHex(1000), "3E8");
  EXPECT_EQ(ToHex(18000000000000000000ULL), "F9CCD8A1C5080000");
  EXPECT_EQ(ToHex(kLargest), "FFFFFFFFFFFFFFFF");
}

TEST(PadLeft, FillsOnTheLeftAndCutsOnlyWhenAsked) {
  EXPECT_EQ(PadLeft("250,000", 15, '.'), "........250,000");
  EXPECT_EQ(PadLeft("", 3, '0'), "000");
  EXPECT_EQ(PadLeft("abc", 3, '.'), "abc");
  EXPECT_EQ(PadLeft("abc", 0, '.'), "abc");

  const std::string twenty = "12345678901234567890";
  EXPECT_EQ(PadLeft(twenty, 15, '.'), twenty);
  EXPECT_EQ(PadLeft(twenty, 15, '.', true), "678901234567890");
  EXPECT_EQ(PadLeft(twenty, 0, '.', true), "");
  // The cut flag changes nothing for a text that fits.
  EXPECT_EQ(PadLeft("97", 5, ' ', true), "   97");
  EXPECT_EQ(PadLeft("abc", 3, '.', true), "abc");
}

TEST(PadNumber, PlainDigitsFilledToTheWidth) {
  EXPECT_EQ(PadNumber(4, 2, '0'), "04");
  EXPECT_EQ(PadNumber(1, 2, '.'), ".1");
  EXPECT_EQ(PadNumber(0, 2, '0'), "00");
  EXPECT_EQ(PadNumber(16, 2, '.'), "16");
  EXPECT_EQ(PadNumber(128, 2, '0'), "128");
  EXPECT_EQ(PadNumber(128, 2, '0', true), "28");
  EXPECT_EQ(PadNumber(1000000, 9, ' '), "  1000000");  // no group separators
}

}  // namespace
}  // namespace tamsel
