#include "core/cmdline/alias_words.h"

#include "core/cmdline/tests/cmdline_fixture.h"

namespace tamsel {
namespace {

using AliasFormsTest = CmdlineTest;

TEST_F(AliasFormsTest, SplitsAtRunsOfBlanksCommasAndSemicolons) {
  EXPECT_EQ(SplitAliasWords("A,B;C  D"), (TStringArray{"A", "B", "C", "D"}));
  EXPECT_EQ(SplitAliasWords("  ISPRIME"), TStringArray{"ISPRIME"});
  EXPECT_TRUE(SplitAliasWords(" ,; ").empty());
}

TEST_F(AliasFormsTest, ShortAndLongNamesTakeTheirOwnPrefixes) {
  SyntaxMode = 2;
  EXPECT_EQ(AliasForms("H"), (TStringArray{"/H", "-H"}));
  EXPECT_EQ(AliasForms("H2"), (TStringArray{"/H2", "--H2"}));
  DoubleDashLongNames = false;
  EXPECT_EQ(AliasForms("HELP"), (TStringArray{"/HELP", "-HELP", "--HELP"}));
}

TEST_F(AliasFormsTest, BareCharactersOnlyInModesOneAndThree) {
  for (const std::int32_t mode : {0, 1, 2, 3, 7}) {
    SyntaxMode = mode;
    const bool bare = mode == 1 || mode == 3;
    const TStringArray expected = bare ? TStringArray{"+", "/+", "-+"} : TStringArray{"/+", "-+"};
    EXPECT_EQ(AliasForms("+"), expected) << mode;
    EXPECT_EQ(AliasForms("?"), (TStringArray{"/?", "-?"}));
  }
}

using MatchParamTest = CmdlineTest;

TEST_F(MatchParamTest, ComparesSpellingsWithoutCase) {
  SyntaxMode = 2;
  EXPECT_TRUE(MatchParam("--HeLp", "HELP").Matched);
  EXPECT_TRUE(MatchParam("/help", "HELP").Matched);
  EXPECT_FALSE(MatchParam("-help", "HELP").Matched);
  EXPECT_FALSE(MatchParam("--p", "P").Matched);
  EXPECT_FALSE(MatchParam("-p4", "P").Matched);
  EXPECT_FALSE(MatchParam("-\xC9", "\xE9").Matched);  // only ASCII letters fold
}

TEST_F(MatchParamTest, SplitsAnAttachedValueOnlyInModesTwoAndThree) {
  SyntaxMode = 2;
  const TParamMatch match = MatchParam("--Parallel=a:b", "PARALLEL");
  EXPECT_TRUE(match.HasValue);
  EXPECT_EQ(match.Param, "--Parallel");
  EXPECT_EQ(match.Value, "a:b");
  EXPECT_EQ(MatchParam("-p:", "P").Value, "");
  EXPECT_TRUE(MatchParam("-p:", "P").HasValue);
  EXPECT_EQ(MatchParam("-p:" + std::string(1200, 'x'), "P").Value, std::string(999, 'x'));
  SyntaxMode = 0;
  EXPECT_FALSE(MatchParam("-p:4", "P").Matched);
}

}  // namespace
}  // namespace tamsel
