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

TEST_F(ValidateParamsTest, RepeatsAreWholeArgumentsIgnoringCase) {
  Load({"--help", "-h", "-H", "1", "100"});
  const TParamStatisticsRec record = Validate();
  EXPECT_EQ(record.UniqueList, "--help -h 1 100 ");
  EXPECT_EQ(record.UniqueCount, 4);
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

TEST_F(ValidateParamsTest, EssentialOptionInAnyAcceptedSpelling) {
  for (const char* argument : {"-p:4", "-P=4", "/p"}) {
    Load({argument});
    FindParam(ParamList, "P", -1, -1, 1, 0);
    const TParamStatisticsRec record = Validate("P");
    EXPECT_TRUE(record.Valid) << argument;
    EXPECT_EQ(record.EssentialFound, std::string(argument).substr(0, 2) + " ");
  }
  EXPECT_EQ(Validate("P").EssentialForms, "/P -P ");
  Load({"-q"});
  FindSwitch(ParamList, "Q");
  EXPECT_TRUE(Validate("P").EssentialMissing);
  EXPECT_FALSE(Validate("P").Valid);
  EXPECT_TRUE(Validate("Q", false).Valid);
  EXPECT_EQ(Validate("Q", false).EssentialFound, "-q ");
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
