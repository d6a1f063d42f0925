// The program's own lookups, in its order, on whole command lines: the
// interplay of earlier and later marks decides what validation reports.
#include "core/cmdline/tests/cmdline_fixture.h"

namespace tamsel {
namespace {

struct TRun {
  bool Help = false, Verbose = false, Force = false, Delay = false, Beep = false;
  std::int32_t Threads = 0;
};

constexpr const char* kSwitchesBeforeParallel[] = {
    "  VERSION-ONLY BUILD-ONLY", "I INFO", "B BANNER", "Q QUIET",
    "T STRICT-EVAL STRICT-EVALUATION", "S SHOW-PRIMES", "X HEXADECIMAL", "N NO-COUNT",
    "A ALWAYS-SEGMENTED"};
constexpr const char* kSwitchesAfterForce[] = {"  ISPRIME", "  FACTORS",
                                               "  PRIMEFACTORS PRIME-FACTORS", "  BENCHMARK"};

TRun RunLookups(const std::vector<std::string>& arguments) {
  InitParamList(arguments);
  SyntaxMode = 2;
  TRun run;
  std::uint64_t number = 0;
  GetNumberParam(ParamList, number, 1);
  FindSwitch(ParamList, "D DEBUG DEBUG-MODE");
  CheckSwitch(ParamList, "  ERROR-DELAY", run.Delay);
  CheckSwitch(ParamList, "  AUDIBLE-ERROR", run.Beep);
  run.Help = FindSwitch(ParamList, "H HELP ? H2 HELP2 ??").Found;
  run.Verbose = FindSwitch(ParamList, "V VERBOSE BUILD H2 HELP2 ??").Found;
  for (const char* aliases : kSwitchesBeforeParallel) FindSwitch(ParamList, aliases);
  GetIntParam(ParamList, "P PARALLEL", run.Threads, 2, 1, 8);
  run.Force = FindSwitch(ParamList, "F FORCE").Found;
  for (const char* aliases : kSwitchesAfterForce) FindSwitch(ParamList, aliases);
  ValidateSyntax(CustomSyntaxRecord, ParamList, {}, true, -1, -1);
  return run;
}

using LookupSequenceTest = CmdlineTest;

TEST_F(LookupSequenceTest, StartupCapturesTheArgumentsExactly) {
  CustomSyntaxRecord.Valid = false;
  const char* const argv[] = {"/opt/tamsel", "100", "", "-P:4"};
  CoreStartup(4, argv);
  ASSERT_EQ(ParamList.size(), 3u);
  EXPECT_EQ(ParamList[1].Text + ParamList[2].Text, "-P:4");
  EXPECT_EQ(Statuses(), (std::vector{psUnmatched, psUnmatched, psUnmatched}));
  EXPECT_TRUE(CustomSyntaxRecord.Valid);
  EXPECT_EQ(CustomSyntaxRecord.Name, "Custom Syntax Validation Record");
}

TEST_F(LookupSequenceTest, ValueTakenOnlyWhileTheNextArgumentIsUnclaimed) {
  RunLookups({"100", "-p", "-d"});
  EXPECT_EQ(CustomSyntaxRecord.IncompleteList, "-p ");
  EXPECT_FALSE(CustomSyntaxRecord.Valid);
  const TRun run = RunLookups({"100", "-p", "-f"});
  EXPECT_TRUE(CustomSyntaxRecord.Valid);
  EXPECT_TRUE(run.Force);
  EXPECT_EQ(run.Threads, 2);
}

TEST_F(LookupSequenceTest, ThreadCountFromEverySpelling) {
  EXPECT_EQ(RunLookups({"100", "-p", "4"}).Threads, 4);
  EXPECT_EQ(RunLookups({"100", "--parallel=99"}).Threads, 8);
  EXPECT_EQ(RunLookups({"100", "-p:0"}).Threads, 1);
  EXPECT_EQ(RunLookups({"100", "-p:abc"}).Threads, 2);
  EXPECT_EQ(RunLookups({"100"}).Threads, 2);
}

TEST_F(LookupSequenceTest, HelpIsFoundWhateverElseIsInvalid) {
  const TRun run = RunLookups({"-h", "100", "-x:1", "-x"});
  EXPECT_TRUE(run.Help);
  EXPECT_EQ(CustomSyntaxRecord.InvalidList, "100 -x ");
  EXPECT_TRUE(RunLookups({"100", "--H2"}).Help && RunLookups({"100", "--??"}).Verbose);
}

TEST_F(LookupSequenceTest, OptionTypedFirstEndsAsAnOptionAndAnythingElseAsTheNumber) {
  RunLookups({"-help", "-h"});
  EXPECT_EQ(Statuses(), (std::vector{psNumber, psSwitch}));
  EXPECT_TRUE(CustomSyntaxRecord.Valid);
  // -h is contained in -help, so it counts as a repeat.
  EXPECT_EQ(CustomSyntaxRecord.TotalCount, 2);
  EXPECT_EQ(CustomSyntaxRecord.UniqueCount, 1);
  RunLookups({"100", "200"});
  EXPECT_EQ(CustomSyntaxRecord.InvalidList, "200 ");
}

TEST_F(LookupSequenceTest, ConsoleSwitchTakesTheNextArgumentOnlyWhileUnclaimed) {
  // The delay switch is looked up first and takes the still unclaimed beep
  // switch as its value; the beep lookup then claims it for itself.
  TRun run = RunLookups({"100", "--error-delay", "--audible-error"});
  EXPECT_TRUE(run.Delay && run.Beep);
  EXPECT_TRUE(CustomSyntaxRecord.Valid);
  // The other way round the beep switch finds its next argument claimed.
  run = RunLookups({"100", "--audible-error", "--error-delay"});
  EXPECT_TRUE(run.Delay && run.Beep);
  EXPECT_EQ(CustomSyntaxRecord.IncompleteList, "--audible-error ");
}

TEST_F(LookupSequenceTest, HelpFormsListTheProgramsHelpSpellings) {
  const std::string expected = "-H --HELP -? --H2 --HELP2 --?? --VERSION-ONLY --BUILD-ONLY --INFO";
  RunLookups({"100"});
  EXPECT_EQ(HelpForms, expected);
  RunLookups({"100"});
  EXPECT_EQ(HelpForms, expected);
}

}  // namespace
}  // namespace tamsel
