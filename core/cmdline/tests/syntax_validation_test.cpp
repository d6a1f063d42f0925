#include "core/cmdline/syntax_validation.h"

#include "core/cmdline/tests/cmdline_fixture.h"

namespace tamsel {
namespace {

using ValidateParamsTest = CmdlineTest;

TParamStatisticsRec Validate(std::string_view essentials = {}, bool required = true,
                             std::int32_t first = -1) {
  TParamStatisticsRec record;
  ValidateParams(record, ParamList, essentials, required, first, -1);
  return record;
}

TEST_F(ValidateParamsTest, EmptyCommandLineIsValid) {
  Load({});
  const TParamStatisticsRec record = Validate();
  EXPECT_TRUE(record.Valid && record.Evaluated);
  EXPECT_EQ(record.TotalCount + record.CheckedCount + record.OutsideCount, 0);
  EXPECT_EQ(record.FirstParam + record.LastParam, 0);
}

TEST_F(ValidateParamsTest, ListsQuoteEmptyAndSpacedArguments) {
  Load({"-h", "-h", "", "a b"});
  FindSwitch(ParamList, "H");
  const TParamStatisticsRec record = Validate();
  EXPECT_FALSE(record.Valid);
  EXPECT_EQ(record.InvalidCount, 3);
  EXPECT_EQ(record.InvalidList, "-h \"\" \"a b\" ");
  EXPECT_EQ(record.TotalList, "-h -h \"\" \"a b\" ");
  EXPECT_EQ(record.NonEmptyCount, 3);
  EXPECT_EQ(record.SwitchList, "-h ");
}

TEST_F(ValidateParamsTest, RepeatsAreArgumentsContainedInAnEarlierOneIgnoringCase) {
  Load({"-help", "-h"});
  TParamStatisticsRec record = Validate();
  EXPECT_EQ(record.TotalCount, 2);
  EXPECT_EQ(record.UniqueCount, 1);
  EXPECT_EQ(record.UniqueList, "-help ");

  Load({"--help", "-H", "100", "1", "10", "a b", "A", "-h2", ""});
  record = Validate();
  EXPECT_EQ(record.UniqueList, "--help 100 \"a b\" -h2 \"\" ");
  EXPECT_EQ(record.UniqueCount, 5);
  EXPECT_EQ(record.TotalCount, 9);

  // A longer argument after a shorter one is new; two empty arguments are one.
  Load({"-h", "-help", "", ""});
  record = Validate();
  EXPECT_EQ(record.UniqueList, "-h -help \"\" ");
}

TEST_F(ValidateParamsTest, CountsByStatus) {
  Load({"-p", "4", "-q", "-x:1"});
  FindParam(ParamList, "P", -1, -1, 1, 0);
  FindSwitch(ParamList, "Q");
  FindSwitch(ParamList, "X");
  const TParamStatisticsRec record = Validate();
  EXPECT_TRUE(record.Valid);
  EXPECT_EQ(record.SwitchList, "-p -q ");
  EXPECT_EQ(record.ValueList, "4 ");
  EXPECT_EQ(record.AttachedList, "-x:1 ");
  EXPECT_EQ(record.OtherList, "-x:1 ");
  EXPECT_EQ(record.CheckedCount, 4);
}

TEST_F(ValidateParamsTest, EssentialOptionIsAPlainSpellingOrOneWithAColonValue) {
  for (const char* argument : {"-p:4", "-P:4", "/p", "/P:"}) {
    Load({argument});
    FindParam(ParamList, "P", -1, -1, 1, 0);
    const TParamStatisticsRec record = Validate("P");
    EXPECT_TRUE(record.Valid) << argument;
    EXPECT_FALSE(record.EssentialMissing) << argument;
    EXPECT_EQ(record.EssentialFound, std::string(argument).substr(0, 2) + " ");
  }
  EXPECT_EQ(Validate("P").EssentialForms, "/P -P ");
}

TEST_F(ValidateParamsTest, ValueAttachedWithEqualsHidesTheEssentialOption) {
  for (const char* argument : {"-p=4", "/P=4"}) {
    Load({argument});
    FindParam(ParamList, "P", -1, -1, 1, 0);
    ASSERT_EQ(ParamList[0].Status, psSwitchWithValue);
    const TParamStatisticsRec record = Validate("P");
    EXPECT_EQ(record.EssentialFound, "") << argument;
    EXPECT_TRUE(record.EssentialMissing) << argument;
    EXPECT_FALSE(record.Valid) << argument;
  }
}

TEST_F(ValidateParamsTest, EssentialOptionMissingOrNotRequired) {
  Load({"-q", "-p"});
  FindSwitch(ParamList, "Q");
  // The unclaimed -p is invalid, not an option, so it does not count.
  EXPECT_EQ(Validate("P").EssentialFound, "");
  EXPECT_TRUE(Validate("P").EssentialMissing);
  FindSwitch(ParamList, "P");
  EXPECT_EQ(Validate("P").EssentialFound, "-p ");
  EXPECT_TRUE(Validate("P").Valid);

  const TParamStatisticsRec optional = Validate("Q D", false);
  EXPECT_EQ(optional.EssentialFound, "-q ");
  EXPECT_FALSE(Validate("D", false).EssentialMissing);
  EXPECT_TRUE(Validate("D", false).Valid);
}

TEST_F(ValidateParamsTest, EssentialWordsAreSplitAtColonsAcrossBothOptionLists) {
  // Plain options come first, then those with attached values; the text
  // after a ":" is a word of its own.
  Load({"-x:-p", "-P", "-q"});
  FindSwitch(ParamList, "X");
  FindSwitch(ParamList, "P");
  FindSwitch(ParamList, "Q");
  EXPECT_EQ(Validate("P").EssentialFound, "-P -p ");
  EXPECT_EQ(Validate("X Q").EssentialFound, "-q -x ");
}

TEST_F(ValidateParamsTest, FirstIndexLeavesEarlierArgumentsOutside) {
  Load({"7", "-x", "-y"});
  std::uint64_t number = 0;
  GetNumberParam(ParamList, number, 1);
  FindSwitch(ParamList, "X");
  FindSwitch(ParamList, "Y");
  const TParamStatisticsRec record = Validate({}, true, 1);
  EXPECT_TRUE(record.Valid);
  EXPECT_EQ(record.OutsideList, "7 ");
  EXPECT_EQ(record.NumberList, "7 ");
  EXPECT_EQ(record.TotalCount, 2);
  EXPECT_EQ(record.FirstParam * 10 + record.LastParam, 12);
  EXPECT_TRUE(Validate({}, true, 2).Valid);
  EXPECT_FALSE(Validate({}, true, 3).Valid);  // nothing left to validate
}

TEST_F(ValidateParamsTest, WrappedCountsDoNotHideInvalidArguments) {
  Load(std::vector<std::string>(65536, "x"));
  const TParamStatisticsRec record = Validate();
  EXPECT_EQ(record.InvalidCount, 0);
  EXPECT_FALSE(record.Valid);
}

TEST_F(ValidateParamsTest, DefaultRecordIsFilledOnce) {
  Load({"a"});
  ValidateSyntax(CustomSyntaxRecord, ParamList, {}, true, -1, -1);
  ParamList[0].Status = psSwitch;
  ValidateSyntax(CustomSyntaxRecord, ParamList, {}, true, -1, -1);
  EXPECT_TRUE(CustomSyntaxRecord.Valid);
  EXPECT_FALSE(DefaultSyntaxRecord.Valid);
  EXPECT_EQ(DefaultSyntaxRecord.Name, "Default Syntax Validation Record");
  EXPECT_EQ(CustomSyntaxRecord.Name, "Custom Syntax Validation Record");

  // The default record always covers the whole list, whatever range the
  // program validated.
  Load({"a", "b"});
  ValidateSyntax(CustomSyntaxRecord, ParamList, {}, true, 1, -1);
  EXPECT_EQ(CustomSyntaxRecord.TotalList, "b ");
  EXPECT_EQ(DefaultSyntaxRecord.TotalList, "a b ");
}

TEST(FormListTest, ListsEverySpellingOnce) {
  EXPECT_EQ(FormList("H,HELP", 0), "/H -H /HELP --HELP ");
  EXPECT_EQ(FormList("P P p", 2), "/P -P /P: -P: /P= -P= /p -p /p: -p: /p= -p= ");
  EXPECT_EQ(FormList("+", 1), "+ /+ -+ ");
  EXPECT_EQ(FormList("", 3), "");
}

TEST(BuildHelpFormsTest, KeepsOnlyRegisteredWordsOnce) {
  std::string list;
  BuildHelpForms(list, "BATCH ?? INFO", kHelpWords);
  EXPECT_EQ(list, "--?? --INFO");
  BuildHelpForms(list, "H ? INFO", kHelpWords);
  EXPECT_EQ(list, "--?? --INFO -H -?");
}

}  // namespace
}  // namespace tamsel
