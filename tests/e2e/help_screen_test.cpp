// End-to-end: the help screen in its sizes, on made-up machines and on this
// one, and the program's own name wherever it is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/screens.h"
#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

using TArgs = std::vector<std::string>;

std::string Shown(const TArgs& args) {
  std::string text;
  for (const std::string& arg : args) text += " " + arg;
  return text;
}

std::string Joined(const TLines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(HelpScreen, PlainHelpOnStandardOutputAfterTheBanner) {
  const TFakeMachine machine(4, 2);
  const TProgramResult r = RunTamsel({"-h"});
  EXPECT_EQ(r.ExitCode, 255);
  EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), BannerLines("tamsel")));
  EXPECT_TRUE(SameLines(r.Out, FullHelp("tamsel", 8, 4, false)));
}

TEST(HelpScreen, ExtendedHelpAddsTheNotesAndTheBuildLine) {
  const TFakeMachine machine(4, 2);
  const TProgramResult r = RunTamsel({"--h2"});
  EXPECT_EQ(r.ExitCode, 255);
  EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), BannerAndBuildLines("tamsel", ProgramFileName())));
  EXPECT_TRUE(SameLines(r.Out, FullHelp("tamsel", 8, 4, true)));
}

TEST(HelpScreen, EveryHelpSpellingGivesOneOfTheTwoSizes) {
  const TFakeMachine machine(4, 2);
  const std::string plain = Joined(FullHelp("tamsel", 8, 4, false));
  const std::string extended = Joined(FullHelp("tamsel", 8, 4, true));
  const struct {
    TArgs args;
    const std::string& out;
  } cases[] = {
      {{"-?"}, plain},
      {{"/H"}, plain},
      {{"--HELP"}, plain},
      // Help wins over everything else, valid or not.
      {{"-h", "100", "-x"}, plain},
      {{"100", "200", "-h"}, plain},
      {{"100", "-p", "-d", "/?"}, plain},
      {{"-h", "--version-only", "-i", "-b"}, plain},
      {{"--??"}, extended},
      {{"--help2"}, extended},
      {{"/H2"}, extended},
      {{"-h", "-v"}, extended},
      {{"/?", "--build"}, extended},
      {{"100", "--??", "-s"}, extended},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 255) << Shown(c.args);
    EXPECT_EQ(r.Out, c.out) << Shown(c.args);
    const TLines err = &c.out == &plain ? BannerLines("tamsel")
                                        : BannerAndBuildLines("tamsel", ProgramFileName());
    EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), err)) << Shown(c.args);
  }
}

TEST(HelpScreen, OneProcessorMachineHasNoThreadLines) {
  const TFakeMachine machine(1, 1);
  EXPECT_TRUE(SameLines(RunTamsel({"-h"}).Out, FullHelp("tamsel", 1, 1, false)));
  const std::string extended = RunTamsel({"--??"}).Out;
  EXPECT_TRUE(SameLines(extended, FullHelp("tamsel", 1, 1, true)));
  EXPECT_EQ(extended.find("--parallel"), std::string::npos);
  EXPECT_EQ(extended.find("-P:"), std::string::npos);
}

TEST(HelpScreen, ManyCoreMachineShowsItsCounts) {
  const TFakeMachine machine(12, 2);
  const TProgramResult r = RunTamsel({"-h", "-v"});
  EXPECT_TRUE(SameLines(r.Out, FullHelp("tamsel", 24, 12, true)));
}

// This machine's own counts, read from the help, must be the ones the run
// uses: -p is clamped to the logical processor count.
TEST(HelpScreen, ThisMachinesCountsMatchTheThreadClamping) {
  const std::string help = RunTamsel({"--h2"}).Out;
  const TProgramResult run = RunTamsel({"30000", "-p:999"});
  std::smatch max;
  if (!std::regex_search(help, max, std::regex(R"(selecting from 2 to (\d+) threads\.)"))) {
    // A single processor: no thread lines, and -p cannot raise the count.
    EXPECT_NE(run.Out.find(" P:.1] // Plus // "), std::string::npos) << run.Out;
    EXPECT_TRUE(SameLines(help, FullHelp("tamsel", 1, 1, true)));
    return;
  }
  std::smatch cores;
  ASSERT_TRUE(std::regex_search(help, cores, std::regex(R"(a max of (\d+)\. e\.g\. -P:(\d+)\n)")));
  const int maxThreads = std::stoi(max[1]);
  const int suggested = std::stoi(cores[1]);
  EXPECT_EQ(cores[1], cores[2]);
  EXPECT_GE(suggested, 1);
  EXPECT_LE(suggested, maxThreads);
  EXPECT_NE(run.Out.find(std::string(" P:.") + std::to_string(maxThreads) + "] // Parallel // "),
            std::string::npos)
      << run.Out;
  EXPECT_TRUE(SameLines(help, FullHelp("tamsel", maxThreads, suggested, true)));
  const TProgramResult four = RunTamsel({"30000", "-p:4"});
  const std::string clamped = std::to_string(std::min(4, maxThreads));
  EXPECT_NE(four.Out.find(" P:." + clamped + "] // Parallel"), std::string::npos) << four.Out;
}

// A copy of the program under another file name shows that name in the
// banner, the build line and the help; the statistics line keeps the
// program's internal name.
TEST(ProgramName, RenamedCopyShowsItsNameEverywhere) {
  const TFakeMachine machine(4, 2);
  const TRenamedCopy copy("PrimeTool");

  const TProgramResult help = copy.Run({"--h2"});
  EXPECT_EQ(help.ExitCode, 255);
  EXPECT_TRUE(SameLines(MaskBuildStamp(help.Err), BannerAndBuildLines("PrimeTool", "PrimeTool")));
  EXPECT_TRUE(SameLines(help.Out, FullHelp("PrimeTool", 8, 4, true)));

  const TProgramResult version = copy.Run({"--version-only"});
  EXPECT_EQ(MaskBuildStamp(version.Err), BuildLine("PrimeTool") + "\n");

  // The folder holds a blank, so it is shown in quotes.
  const TProgramResult error = copy.Run({"100", "200"});
  EXPECT_EQ(error.ExitCode, 65);
  const TLines expected = Concat(
      Concat(BannerLines("PrimeTool"), SyntaxErrorScreen(copy.Path(), copy.Path(), {"100", "200"},
                                                         "Invalid Parameters Provided: 200 ")),
      ShortHelp("PrimeTool"));
  EXPECT_TRUE(SameLines(MaskBuildStamp(error.Err), expected));
  EXPECT_NE(error.Err.find("Execution Path ... \"" + copy.Path().substr(0, 1)), std::string::npos)
      << error.Err;

  const TProgramResult run = copy.Run({"100"});
  EXPECT_NE(run.Out.find("// Tamsel v3.2.0.340 x64\n"), std::string::npos) << run.Out;
}

TEST(ProgramName, StartLineShowsTheRenamedTitle) {
  const TRenamedCopy copy("PrimeTool");
  const TProgramResult r = copy.Run({"1,000,000,000"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(Lines(MaskTimes(r.Out)).front(),
            "PrimeTool v3.2.0.340 -- Find Prime Numbers at ##/##/#### ##:##:##");
}

TEST(ProgramName, EveryOccurrenceOfTheExtensionIsDroppedWhateverItsCase) {
  const struct {
    const char* fileName;
    const char* name;
  } cases[] = {
      {"Tamsel.bin.bin", "Tamsel"},
      {"prime.EXE.exe", "prime"},
      {"my.tool.exe.Tool", "my.exe"},
      {"PRIMES", "PRIMES"},
  };
  for (const auto& c : cases) {
    const TRenamedCopy copy(c.fileName);
    const TProgramResult info = copy.Run({"-i"});
    EXPECT_EQ(info.ExitCode, 0) << c.fileName;
    EXPECT_TRUE(SameLines(MaskBuildStamp(info.Err), BannerAndBuildLines(c.name, c.fileName)))
        << c.fileName;
    const TProgramResult error = copy.Run({"-x", "-x"});
    EXPECT_NE(error.Err.find(Joined(ShortHelp(c.name))), std::string::npos)
        << c.fileName << "\n" << error.Err;
  }
}

}  // namespace
}  // namespace tamsel::test
