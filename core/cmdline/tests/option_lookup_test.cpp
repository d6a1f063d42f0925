#include "core/cmdline/option_lookup.h"

#include "core/cmdline/number_parse.h"
#include "core/cmdline/tests/cmdline_fixture.h"

namespace tamsel {
namespace {

using FindParamTest = CmdlineTest;

TFindParamRec FindP(std::int32_t valuesTaken, std::int32_t flags = 0) {
  return FindParam(ParamList, "P PARALLEL", -1, -1, valuesTaken, flags);
}

TEST_F(FindParamTest, AttachedValueSatisfiesTheOption) {
  for (const char* argument : {"-p:4", "-P:4", "/p=4", "--parallel=4"}) {
    Load({argument, "x"});
    const TFindParamRec result = FindP(1);
    EXPECT_TRUE(result.Found && result.ValueAttached) << argument;
    EXPECT_EQ(result.Value, "4");
    EXPECT_EQ(result.Param, std::string(argument).substr(0, std::string(argument).size() - 2));
    EXPECT_EQ(Statuses(), (std::vector{psSwitchWithValue, psUnmatched})) << argument;
    EXPECT_TRUE(ParamList[0].IsValue && ParamList[0].IsAttached);
  }
}

TEST_F(FindParamTest, SeparateValueIsTheNextArgument) {
  Load({"100", "-p", "4"});
  const TFindParamRec result = FindP(1);
  EXPECT_EQ(result.Value, "4");
  EXPECT_FALSE(result.ValueAttached);
  EXPECT_EQ(result.Index, 1);
  EXPECT_EQ(result.ParamNumber, 2);
  EXPECT_EQ(Statuses(), (std::vector{psUnmatched, psSwitch, psValue}));
}

TEST_F(FindParamTest, MissingValueFailsOnlyWhenRequired) {
  Load({"-p"});
  EXPECT_TRUE(FindP(1).Found);
  EXPECT_EQ(ParamList[0].Status, psSwitch);
  EXPECT_FALSE(FindP(1, fpFirstValueRequired).Found);
  EXPECT_EQ(ParamList[0].Status, psIncomplete);
  Load({"-p:"});
  EXPECT_FALSE(FindP(0, fpFirstValueRequired).Found);
  EXPECT_EQ(ParamList[0].Status, psIncomplete);
  EXPECT_TRUE(ParamList[0].IsAttached);
}

TEST_F(FindParamTest, ClaimedNextArgumentLeavesTheOptionIncomplete) {
  Load({"-p", "-d"});
  FindSwitch(ParamList, "D DEBUG");
  const TFindParamRec result = FindP(1);
  EXPECT_TRUE(result.Found);
  EXPECT_EQ(result.Value, "-d");
  EXPECT_EQ(Statuses(), (std::vector{psIncomplete, psSwitch}));
  // An unclaimed option is taken as the value until its own lookup runs.
  Load({"-p", "-q"});
  FindP(1);
  EXPECT_EQ(ParamList[1].Status, psValue);
  FindSwitch(ParamList, "Q QUIET");
  EXPECT_EQ(Statuses(), (std::vector{psSwitch, psSwitch}));
}

TEST_F(FindParamTest, SecondValueRules) {
  Load({"-r", "a", "b"});
  const TFindParamRec both = FindParam(ParamList, "R", -1, -1, 2, fpAllValuesRequired);
  EXPECT_TRUE(both.Found);
  EXPECT_EQ(both.Value + both.Value2, "ab");
  EXPECT_EQ(Statuses(), (std::vector{psSwitch, psValue, psValue}));
  Load({"-r", "a"});
  EXPECT_FALSE(FindParam(ParamList, "R", -1, -1, 2, fpAllValuesRequired).Found);
  EXPECT_EQ(ParamList[0].Status, psIncomplete);
  EXPECT_TRUE(ParamList[0].IsSwitch);
}

TEST_F(FindParamTest, FirstMatchWinsUnlessScanningAll) {
  Load({"-h", "-h"});
  EXPECT_EQ(FindSwitch(ParamList, "H").Index, 0);
  EXPECT_EQ(Statuses(), (std::vector{psSwitch, psUnmatched}));
  EXPECT_EQ(FindSwitch(ParamList, "H", fpScanAll).Index, 1);
  EXPECT_EQ(Statuses(), (std::vector{psSwitch, psSwitch}));
}

TEST_F(FindParamTest, PositionSelectsTheRange) {
  Load({"-h", "x", "-h"});
  EXPECT_EQ(FindSwitch(ParamList, "H", 0, 1, pkFrom).Index, 2);
  EXPECT_EQ(FindSwitch(ParamList, "H", 0, 1, pkUpTo).Index, 0);
  EXPECT_FALSE(FindSwitch(ParamList, "H", 0, -2, pkUpTo).Found);
  Load({});
  const TFindParamRec absent = FindParam(ParamList, "H", -1, -1, 1, 0, "d1", "d2");
  EXPECT_EQ(absent.Index, -1);
  EXPECT_EQ(absent.Value + absent.Value2, "d1d2");
}

TEST_F(FindParamTest, RegistersEachAliasWordOnceAndRecordsHistory) {
  Load({"-a", "-b:1"});
  RecordHistory = true;
  FindSwitch(ParamList, "  A,ALPHA;B");
  FindSwitch(ParamList, "B");
  EXPECT_EQ(KnownOptions, "A ALPHA B");
  ASSERT_EQ(ParamHistory.size(), 1u);  // a match with its value attached is not recorded
  EXPECT_EQ(ParamHistory[0].Param, "-a");
}

using GetIntParamTest = CmdlineTest;

TEST_F(GetIntParamTest, ConvertsClampsAndRewritesTheValue) {
  struct Case {
    const char* text;
    std::int32_t expected;
    bool adjusted;
  };
  for (const Case& c : {Case{"4", 4, false}, Case{"0", 1, true}, Case{"99", 8, true},
                        Case{"abc", 2, true}, Case{"1,000", 8, true}, Case{"3.9", 3, false},
                        Case{".5", 2, true}, Case{"2", 2, true}}) {
    Load({"-p", c.text});
    std::int32_t value = 0;
    const TFindParamRec result = GetIntParam(ParamList, "P", value, 2, 1, 8);
    EXPECT_EQ(value, c.expected) << c.text;
    EXPECT_EQ(result.Value, std::to_string(c.expected));
    EXPECT_EQ(result.ValueAdjusted, c.adjusted) << c.text;
    EXPECT_EQ(LastValueAdjusted, c.adjusted) << c.text;
  }
}

TEST_F(GetIntParamTest, AbsentOptionAndNegativeBoundsKeepTheirMeaning) {
  Load({});
  std::int32_t value = 0;
  TFindParamRec result = GetIntParam(ParamList, "P", value, 2, 1, 8);
  EXPECT_FALSE(result.Found);
  EXPECT_EQ(result.Value, "2");
  EXPECT_TRUE(result.ValueAdjusted);
  EXPECT_EQ(GetIntParam(ParamList, "P", value, -1, -5, 10).Value, "-1");
  Load({"-p:3"});
  GetIntParam(ParamList, "P", value, 0, -5, 10);
  EXPECT_EQ(value, 3);
  Load({"-p:18446744073709551615"});
  GetIntParam(ParamList, "P", value, 0, 0, 2147483647);
  EXPECT_EQ(value, 2147483647);
}

using CheckSwitchTest = CmdlineTest;

TEST_F(CheckSwitchTest, NextArgumentClaimedEarlierMakesTheSwitchIncomplete) {
  Load({"100", "--audible-error", "--error-delay", "5"});
  bool delay = false, beep = false;
  CheckSwitch(ParamList, "  ERROR-DELAY", delay);
  const TFindParamRec result = CheckSwitch(ParamList, "  AUDIBLE-ERROR", beep);
  EXPECT_TRUE(delay && beep);
  EXPECT_EQ(result.Value, "--error-delay");
  EXPECT_EQ(Statuses(), (std::vector{psUnmatched, psIncomplete, psSwitch, psValue}));
}

using GetNumberParamTest = CmdlineTest;

TEST_F(GetNumberParamTest, MarksTheArgumentWhateverItHolds) {
  Load({"foo", ""});
  std::uint64_t number = 7;
  GetNumberParam(ParamList, number, 1);
  EXPECT_EQ(number, 0u);
  EXPECT_EQ(ParamList[0].Status, psNumber);
  EXPECT_TRUE(ParamList[0].IsNumber);
  number = 7;
  for (const std::int32_t position : {0, 2, 3}) GetNumberParam(ParamList, number, position);
  EXPECT_EQ(number, 7u);
  EXPECT_EQ(ParamList[1].Status, psUnmatched);
}

}  // namespace
}  // namespace tamsel
