#include "core/console/text_helpers.h"

#include <gtest/gtest.h>

#include "core/console/channels.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

TEST(QuoteIfSpacedTest, QuotesOnlyEmptyTextsAndTextsWithBlanks) {
  EXPECT_EQ(QuoteIfSpaced(""), "\"\"");
  EXPECT_EQ(QuoteIfSpaced("/opt/tamsel/"), "/opt/tamsel/");
  EXPECT_EQ(QuoteIfSpaced("/home/a user/"), "\"/home/a user/\"");
  EXPECT_EQ(QuoteIfSpaced("tab\there"), "tab\there");  // only the blank counts
}

TEST(ReplaceNoCaseTest, MatchesAnyCaseLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceNoCase("Tamsel.EXE.exe", ".exe", "", false), "Tamsel");
  EXPECT_EQ(ReplaceNoCase("Tamsel.EXE.exe", ".exe", "", true), "Tamsel.exe");
  EXPECT_EQ(ReplaceNoCase("aaa", "a", "aa", false), "aaaaaa");
  EXPECT_EQ(ReplaceNoCase("aaaa", "aa", "b", false), "bb");
  EXPECT_EQ(ReplaceNoCase("abc", "", "x", false), "abc");
  EXPECT_EQ(ReplaceNoCase("ab", "abc", "x", false), "ab");  // pattern longer than the rest
}

TEST(RepeatCharTest, CountBelowOneGivesEmptyText) {
  EXPECT_EQ(RepeatChar('-', 3), "---");
  EXPECT_EQ(RepeatChar('-', 0), "");
  EXPECT_EQ(RepeatChar('-', -5), "");
}

TEST(WriteDashLineTest, WritesToTheStandardChannelWhereverItPoints) {
  TChannelCapture capture;
  WriteDashLine(4, false);
  WriteDashLine(0, false);
  WriteDashLine(2, true);
  EXPECT_EQ(capture.Out(), "----\n\n--\n\n");
  RebindStdChannelToError();
  WriteDashLine(3, false);
  ResetStdChannel();
  EXPECT_EQ(capture.Err(), "---\n");
}

}  // namespace
}  // namespace tamsel
