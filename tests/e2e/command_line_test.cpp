// End-to-end: the command line as a user types it; option spellings, exit
// codes, the syntax-error screen and the build-information displays.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "tests/support/screens.h"
#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

using TArgs = std::vector<std::string>;

std::string Shown(const TArgs& args) {
  std::string text;
  for (const std::string& arg : args) {
    text += ' ';
    text += Quoted(arg);
  }
  return text;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The statistics line's thread field and method, as in "P:.2] // Parallel".
std::string ThreadsAndMethod(const std::string& out) {
  const std::size_t at = out.find(" P:.");
  if (at == std::string::npos) return "(no statistics line)";
  const std::size_t end = out.find(" // ", out.find("] // ", at) + 5);
  return out.substr(at + 1, end - at - 1);
}

TEST(ExitCode, OptionBitsAddUpAndWholeCodesReplaceThem) {
  const struct {
    TArgs args;
    int code;
  } cases[] = {
      {{"100"}, 0},
      {{"100", "-s"}, 4},
      {{"100", "-n"}, 8},
      {{"100", "-n", "-s"}, 8},
      {{"100", "-d"}, 2},
      {{"100", "-d", "-s"}, 6},
      {{"100", "-d", "-n"}, 10},
      {{"100", "--benchmark"}, 16},
      {{"100", "--benchmark", "-n"}, 24},
      // A replaced number assigns 89, dropping bits 4 and 8; the debug run and
      // the benchmark add theirs afterwards (89 already holds 16).
      {{"1", "-s"}, 89},
      {{"1", "-n"}, 89},
      {{"1", "-d"}, 91},
      {{"--benchmark"}, 89},
      {{"1", "-t"}, 88},
      {{"18000000000000000001", "-t"}, 88},
      {{"100", "200"}, 65},
      // (100 -p -d is 67 too, but the debug option adds the key wait: see
      // the error-delay test below.)
      {{"100", "-p", "-q"}, 67},
      {{"-h"}, 255},
      {{"-h", "100", "-x"}, 255},
      {{"--version-only"}, 0},
      {{"-i"}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunTamsel(c.args).ExitCode, c.code) << Shown(c.args);
  }
}

TEST(ExitCode, BitsMatchWhatTheRunDid) {
  // -n wins over -s: nothing listed, count shown as n/a.
  const TProgramResult noCount = RunTamsel({"100", "-n", "-s"});
  EXPECT_EQ(noCount.Err, "");
  EXPECT_TRUE(Has(noCount.Out, "T:..........n/a ")) << noCount.Out;
  // -n does not switch the debug run off.
  const TProgramResult debug = RunTamsel({"100", "-d", "-n"});
  EXPECT_TRUE(Has(debug.Out, "Normal Segmented Sieve")) << debug.Out;
  const TProgramResult shown = RunTamsel({"100", "-d", "-s"});
  EXPECT_TRUE(Has(shown.Err, "Prime Numbers: 1=2 2=3 3=5 4=7 5=11 ")) << shown.Err;
  // The benchmark of a replaced number runs up to the default.
  const TProgramResult bench = RunTamsel({"--benchmark"});
  EXPECT_EQ(bench.Err, "ERROR: Invalid Value Provided (0) -- Using Default Instead...\n\n");
  EXPECT_TRUE(Has(bench.Out, "[......250,000 C]")) << bench.Out;
  const TProgramResult small = RunTamsel({"100", "--benchmark", "-n"});
  EXPECT_TRUE(Has(small.Out, "[..........100 ")) << small.Out;
}

TEST(ExitCode, RangeLimitsWithStrictEvaluationSpareTheNumberQueries) {
  // The lower limit is not checked for the queries; the maximum itself is
  // accepted.
  const TProgramResult one = RunTamsel({"1", "-t", "--isprime"});
  EXPECT_EQ(one.ExitCode, 0);
  EXPECT_EQ(one.Out, "Is 1 a prime number?  FALSE\n");
  const TProgramResult max = RunTamsel({"18,000,000,000,000,000,000", "-t", "--isprime"});
  EXPECT_EQ(max.ExitCode, 0);
  EXPECT_EQ(max.Err, "");
  EXPECT_EQ(max.Out, "Is 18,000,000,000,000,000,000 a prime number?  FALSE\n");
  const TProgramResult above = RunTamsel({"18000000000000000001", "-t", "--isprime"});
  EXPECT_EQ(above.ExitCode, 88);
  EXPECT_EQ(above.Out, "");
}

// Every option in each of its spellings: "-x" or "/x" for one letter,
// "--name" or "/name" for a word, letters in any case.
TEST(OptionSpelling, EveryAcceptedSpellingHasTheOptionsEffect) {
  const TFakeMachine machine(4, 2);
  const struct {
    TArgs spellings;
    TArgs before;
    int code;
    const char* outHas;
    const char* outLacks;
    const char* errHas;
  } options[] = {
      {{"-d", "/d", "-D", "--debug", "/DEBUG", "--debug-mode", "/Debug-Mode"}, {"100"}, 2,
       "Normal Segmented Sieve", "", ""},
      {{"--error-delay", "/ERROR-DELAY", "--Error-Delay"}, {"100"}, 0, "## Prime Number Stats",
       "", ""},
      {{"--audible-error", "/Audible-Error", "--AUDIBLE-ERROR"}, {"100"}, 0,
       "## Prime Number Stats", "", ""},
      {{"-h", "/h", "-H", "-?", "/?", "--help", "/Help", "--h2", "--HELP2", "/??", "--??"},
       {"100"}, 255, "OPTION DEFINITIONS:", "", ""},
      {{"-v", "/V", "--verbose", "--BUILD", "/build"}, {"100"}, 0, "## Prime Number Stats", "",
       " was compiled on "},
      {{"--version-only", "/VERSION-ONLY", "--build-only", "/Build-Only"}, {}, 0, "", "",
       " was compiled on "},
      {{"-i", "/I", "--info", "/INFO"}, {}, 0, "", "", " was compiled on "},
      {{"-b", "/B", "--banner", "/Banner"}, {"100"}, 0, "## Prime Number Stats", "",
       "Copyright"},
      {{"-q", "/Q", "--quiet", "/QUIET"}, {"97", "--isprime"}, 0, "TRUE", "Is 97", ""},
      {{"-t", "/T", "--strict-eval", "/Strict-Eval", "--STRICT-EVALUATION"}, {"1"}, 88, "", "",
       "Minimum valid number is 2"},
      {{"-s", "/s", "-S", "/S", "--show-primes", "--SHOW-PRIMES", "/Show-Primes"}, {"100"}, 4,
       "", "", "Prime Numbers: 2 3 5 7 11 13 "},
      {{"-x", "/X", "--hexadecimal", "/HexaDecimal"}, {"100", "-s"}, 4, "", "",
       "Prime Numbers: 2 3 5 7 B D 11 13 17 1D "},
      {{"-n", "/N", "--no-count", "/NO-COUNT"}, {"100"}, 8, "T:..........n/a", "", ""},
      {{"-a", "/A", "--always-segmented", "/Always-Segmented"}, {"100"}, 0, "] // Plus //",
       "", ""},
      {{"-p", "/P", "-p:2", "/p=2", "--parallel", "/PARALLEL", "--Parallel:2"}, {"30000"}, 0,
       "P:.2] // Parallel //", "", ""},
      {{"-f", "/F", "--force", "/Force"}, {"100", "-a", "-p:1"}, 0, "P:.1] // Parallel //", "",
       ""},
      {{"--isprime", "/ISPRIME", "--IsPrime"}, {"97"}, 0, "Is 97 a prime number?  TRUE", "", ""},
      {{"--factors", "/Factors", "--FACTORS"}, {"12"}, 0, "There are 6 factors of 12", "Prime!",
       ""},
      {{"--primefactors", "--prime-factors", "/PrimeFactors", "/PRIME-FACTORS"}, {"12"}, 0,
       "Prime!", "", ""},
      {{"--benchmark", "/Benchmark"}, {"100"}, 16, "Prime Number Benchmark", "", ""},
  };
  for (const auto& option : options) {
    for (const std::string& spelling : option.spellings) {
      TArgs args = option.before;
      args.push_back(spelling);
      const TProgramResult r = RunTamsel(args);
      EXPECT_EQ(r.ExitCode, option.code) << Shown(args) << "\n" << r.Err;
      EXPECT_TRUE(Has(r.Out, option.outHas)) << Shown(args) << "\n" << r.Out;
      if (*option.outLacks != '\0') {
        EXPECT_FALSE(Has(r.Out, option.outLacks)) << Shown(args) << "\n" << r.Out;
      }
      EXPECT_TRUE(Has(r.Err, option.errHas)) << Shown(args) << "\n" << r.Err;
    }
  }
}

TEST(OptionSpelling, WrongPrefixesAndRepeatsAreInvalid) {
  const struct {
    TArgs args;
    const char* listed;
  } cases[] = {
      {{"100", "-parallel"}, "-parallel "},
      {{"100", "--p"}, "--p "},
      {{"100", "-show-primes"}, "-show-primes "},
      {{"100", "--s"}, "--s "},
      {{"100", "s"}, "s "},
      {{"100", "-h2"}, "-h2 "},
      {{"100", "---help"}, "---help "},
      {{"100", "-"}, "- "},
      {{"100", "/"}, "/ "},
      {{"100", "-sx"}, "-sx "},
      // The number must come first: a later number is not read.
      {{"-s", "100"}, "100 "},
      // Only the first of two matching arguments is claimed.
      {{"100", "-s", "/S"}, "/S "},
      {{"100", "-p:2", "-p", "2"}, "-p 2 "},
      {{"100", "--isprime", "--IsPrime", "--isPRIME"}, "--IsPrime --isPRIME "},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 65) << Shown(c.args);
    EXPECT_EQ(r.Out, "") << Shown(c.args);
    EXPECT_TRUE(Has(r.Err, std::string("\nInvalid Parameters Provided: ") + c.listed + "\n"))
        << Shown(c.args) << "\n" << r.Err;
  }
}

TEST(OptionSpelling, OptionsWithAValueTakeAnUnclaimedNextArgument) {
  // An unclaimed word after the switch is swallowed as its value. (A claimed
  // one makes it incomplete: see the error-delay test below.)
  EXPECT_EQ(RunTamsel({"100", "--audible-error", "whatever"}).ExitCode, 0);
  // -p takes the still unclaimed -f as its (unreadable) value; -f is then
  // claimed by its own lookup.
  const TProgramResult r = RunTamsel({"30000", "-p", "-f"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(ThreadsAndMethod(r.Out), "P:.2] // Parallel") << r.Out;
}

// On a made-up machine with 8 logical processors, so that every count is
// reachable.
TEST(ThreadCount, SameFromEveryValueFormAndClampedToTheProcessors) {
  const TFakeMachine machine(4, 2);
  const struct {
    TArgs options;
    const char* expected;
  } cases[] = {
      {{"-p:4"}, "P:.4] // Parallel"},
      {{"-p=4"}, "P:.4] // Parallel"},
      {{"-p", "4"}, "P:.4] // Parallel"},
      {{"/P:4"}, "P:.4] // Parallel"},
      {{"--parallel=4"}, "P:.4] // Parallel"},
      {{"--PARALLEL", "4"}, "P:.4] // Parallel"},
      {{"/parallel:4"}, "P:.4] // Parallel"},
      {{"-p:4.9"}, "P:.4] // Parallel"},
      {{"-p:99"}, "P:.8] // Parallel"},
      {{"-p:1,000"}, "P:.8] // Parallel"},
      {{"-p"}, "P:.2] // Parallel"},
      {{"-p:"}, "P:.2] // Parallel"},
      {{"-p:abc"}, "P:.2] // Parallel"},
      {{"-f"}, "P:.2] // Parallel"},
      {{"-p:1"}, "P:.1] // Plus"},
      {{"-p:0"}, "P:.1] // Plus"},
      {{"-p:1", "-f"}, "P:.1] // Parallel"},
      {{"-p:0", "-f"}, "P:.1] // Parallel"},
      {{}, "P:.1] // Plus"},
  };
  for (const auto& c : cases) {
    TArgs args = {"30000"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 0) << Shown(args);
    EXPECT_EQ(ThreadsAndMethod(r.Out), c.expected) << Shown(args);
  }
  const TProgramResult debug = RunTamsel({"100", "-d", "-p", "4"});
  EXPECT_TRUE(Has(debug.Out, "Segmented Sieve PARALLEL (Concurrency: 4 Threads)")) << debug.Out;
}

TEST(ThreadCount, SmallSearchesUseTheSimpleSieveUnlessAlwaysSegmented) {
  const TFakeMachine machine(4, 2);
  const std::string simple = ThreadsAndMethod(RunTamsel({"100", "-p:4"}).Out);
  EXPECT_EQ(simple.substr(simple.find(']')), "] // Simple");
  EXPECT_EQ(ThreadsAndMethod(RunTamsel({"100", "-p:4", "-a"}).Out), "P:.4] // Parallel");
  EXPECT_EQ(ThreadsAndMethod(RunTamsel({"100", "-p:1", "-a"}).Out), "P:.1] // Plus");
}

TEST(ThreadCount, OneProcessorMachineRunsOneThreadUnlessForced) {
  const TFakeMachine machine(1, 1);
  EXPECT_EQ(ThreadsAndMethod(RunTamsel({"30000", "-p:4"}).Out), "P:.1] // Plus");
  EXPECT_EQ(ThreadsAndMethod(RunTamsel({"30000", "-p"}).Out), "P:.1] // Plus");
  EXPECT_EQ(ThreadsAndMethod(RunTamsel({"30000", "-f"}).Out), "P:.1] // Parallel");
}

TEST(ParameterOne, TextThatIsNoNumberRunsLikeAnEmptyCommandLine) {
  const TProgramResult empty = RunTamsel({});
  const TProgramResult text = RunTamsel({"abc"});
  EXPECT_EQ(text.ExitCode, 89);
  EXPECT_EQ(text.Err, "ERROR: Invalid Value Provided (0) -- Using Default Instead...\n\n");
  EXPECT_EQ(text.Err, empty.Err);
  EXPECT_EQ(MaskTimes(text.Out), MaskTimes(empty.Out));
  // An option typed first is an option, not the number.
  const TProgramResult help = RunTamsel({"-h", "abc"});
  EXPECT_EQ(help.ExitCode, 255);
  EXPECT_NE(help.Out.find("OPTION DEFINITIONS:"), std::string::npos);
}

// As many distinct arguments as a command line holds (a wildcard may expand
// to that many): each one that is not the number is listed, in order. How
// long their validation takes is measured by bench/validation_bench.
TEST(LongCommandLine, AsManyArgumentsAsTheLineHoldsAreAllListed) {
  TArgs args{"100"};
  std::string listed;
  for (int i = 1; i < kManyArguments; ++i) {
    args.push_back(std::to_string(i).insert(0, 1, 'z'));
    listed += args.back() + " ";
  }
  const TProgramResult r = RunTamsel(args);
  EXPECT_EQ(r.ExitCode, 65);
  EXPECT_TRUE(Has(r.Err, "\nInvalid Parameters Provided: " + listed + "\n"));
}

// The whole error output: banner, screen and the short help; nothing on
// standard output.
TEST(SyntaxErrorScreen, BannerScreenAndShortHelpOnStandardErrorOnly) {
  const struct {
    TArgs args;
    int code;
    const char* message;
  } cases[] = {
      {{"100", "200"}, 65, "Invalid Parameters Provided: 200 "},
      // -q is claimed before -p is looked up, so it cannot be the value of -p.
      {{"100", "-p", "-q"}, 67, "Incomplete Parameters Provided: -p "},
      {{"100", "--parallel", "/Q", "-s"}, 67, "Incomplete Parameters Provided: --parallel "},
      // Incomplete options are reported before invalid arguments.
      {{"100", "-p", "-q", "200"}, 67, "Incomplete Parameters Provided: -p "},
      {{"1", "-t"}, 88, "Incorrect Value Provided: Minimum valid number is 2"},
      {{"0x10", "-t", "--strict-eval"}, 65, "Invalid Parameters Provided: --strict-eval "},
      {{"18000000000000000001", "-t"},
       88,
       "Incorrect Value Provided: Maximum valid number is 18,000,000,000,000,000,000"},
      // An empty first argument is not taken as the number.
      {{"", "100"}, 65, "Invalid Parameters Provided: \"\" 100 "},
      {{""}, 65, "Invalid Parameters Provided: \"\" "},
      {{"100", "a b", "-x"}, 65, "Invalid Parameters Provided: \"a b\" "},
      {{"100", "", "-s", "200"}, 65, "Invalid Parameters Provided: \"\" 200 "},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunProgram(TamselPath(), c.args, "tamsel");
    EXPECT_EQ(r.ExitCode, c.code) << Shown(c.args);
    EXPECT_EQ(r.Out, "") << Shown(c.args);
    const TLines expected =
        Concat(Concat(BannerLines("tamsel"),
                      SyntaxErrorScreen(TamselPath(), "tamsel", c.args, c.message)),
               ShortHelp("tamsel"));
    EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), expected)) << Shown(c.args);
  }
}

TEST(SyntaxErrorScreen, EnteredLineShowsTheProgramAsStarted) {
  const TProgramResult r = RunProgram(TamselPath(), {"100", "200"}, "./bin/../tamsel");
  EXPECT_TRUE(Has(r.Err, "\nYou entered ...... ./bin/../tamsel 100 200\n")) << r.Err;
  const TProgramResult spaced = RunProgram(TamselPath(), {"100", "zz"}, "/tmp/x y/tamsel");
  EXPECT_TRUE(Has(spaced.Err, "\nYou entered ...... \"/tmp/x y/tamsel\" 100 zz\n")) << spaced.Err;
  // The name in the help comes from the program file, not from argv[0].
  EXPECT_TRUE(Has(r.Err, "\nFor more details, please type: tamsel -?  OR  tamsel --??\n"));
}

TEST(SyntaxErrorScreen, BannerAndBuildLineAreShownOnceBeforeTheScreen) {
  const struct {
    TArgs args;
    bool build;
    const char* message;
  } cases[] = {
      {{"1", "-t", "-b"}, false, "Incorrect Value Provided: Minimum valid number is 2"},
      {{"1", "-t", "-b", "-v"}, true, "Incorrect Value Provided: Minimum valid number is 2"},
      {{"100", "200", "-v"}, true, "Invalid Parameters Provided: 200 "},
      {{"100", "200", "--banner", "--verbose"}, true, "Invalid Parameters Provided: 200 "},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunProgram(TamselPath(), c.args, "tamsel");
    EXPECT_EQ(r.Out, "");
    const TLines head = c.build ? BannerAndBuildLines("tamsel", ProgramFileName()) : BannerLines("tamsel");
    // -v does not widen the help after a syntax error.
    const TLines expected = Concat(
        Concat(head, SyntaxErrorScreen(TamselPath(), "tamsel", c.args, c.message)),
        ShortHelp("tamsel"));
    EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), expected)) << Shown(c.args);
  }
}

// The only test that sits through the wait (30 ticks of a quarter second,
// since standard input is no keyboard). --error-delay asks for it, and so
// does the debug option, which also makes -p incomplete here. A switch whose
// next argument an earlier lookup claimed is incomplete too. The programs
// run side by side to keep the wait to one.
TEST(SyntaxErrorScreen, ErrorDelayAndDebugModeWaitWithThirtyDotsAfterTheMessage) {
  const struct {
    TArgs args;
    int code;
    const char* message;
  } cases[] = {
      {{"100", "200", "--error-delay"}, 65, "Invalid Parameters Provided: 200 "},
      {{"100", "-p", "-d"}, 67, "Incomplete Parameters Provided: -p "},
      {{"100", "--error-delay", "-d"}, 67, "Incomplete Parameters Provided: --error-delay "},
      {{"100", "--audible-error", "--error-delay=no"},
       67,
       "Incomplete Parameters Provided: --audible-error "},
  };
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::future<TProgramResult>> runs;
  for (const auto& c : cases) {
    runs.push_back(std::async(std::launch::async,
                              [&c] { return RunProgram(TamselPath(), c.args, "tamsel"); }));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const TProgramResult r = runs[i].get();
    const auto& c = cases[i];
    EXPECT_EQ(r.ExitCode, c.code) << Shown(c.args);
    EXPECT_EQ(r.Out, "") << Shown(c.args);
    const TLines expected = Concat(
        Concat(Concat(BannerLines("tamsel"),
                      SyntaxErrorScreen(TamselPath(), "tamsel", c.args, c.message)),
               {"Press Any Key to Continue..." + std::string(30, '.'), ""}),
        ShortHelp("tamsel"));
    EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), expected)) << Shown(c.args);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(7000));
  EXPECT_LT(elapsed, std::chrono::seconds(20));
}

TEST(SyntaxErrorScreen, AudibleErrorAloneNeitherWaitsNorWritesABell) {
  const TArgs args = {"100", "200", "--audible-error"};
  const auto start = std::chrono::steady_clock::now();
  const TProgramResult r = RunProgram(TamselPath(), args, "tamsel");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(r.ExitCode, 65);
  EXPECT_EQ(r.Out, "");
  const TLines expected = Concat(
      Concat(BannerLines("tamsel"), SyntaxErrorScreen(TamselPath(), "tamsel", args,
                                                      "Invalid Parameters Provided: 200 ")),
      ShortHelp("tamsel"));
  EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), expected));
  EXPECT_FALSE(Has(r.Err, "\a"));
}

TEST(BuildInformation, VersionOnlyIsTheBuildLineAlone) {
  for (const TArgs& args : {TArgs{"--version-only"}, TArgs{"--version-only", "-i"},
                            TArgs{"-i", "--version-only"}, TArgs{"--version-only", "100", "200"}}) {
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 0) << Shown(args);
    EXPECT_EQ(r.Out, "") << Shown(args);
    EXPECT_EQ(MaskBuildStamp(r.Err), BuildLine(ProgramFileName()) + "\n") << Shown(args);
  }
}

TEST(BuildInformation, InfoIsTheBannerWithTheBuildLine) {
  for (const TArgs& args :
       {TArgs{"-i"}, TArgs{"--info", "-b", "-v"}, TArgs{"100", "-p", "-d", "-i"}}) {
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 0) << Shown(args);
    EXPECT_EQ(r.Out, "") << Shown(args);
    EXPECT_TRUE(SameLines(MaskBuildStamp(r.Err), BannerAndBuildLines("tamsel", ProgramFileName())))
        << Shown(args);
  }
  // Help comes before both.
  EXPECT_EQ(RunTamsel({"-i", "--version-only", "-h"}).ExitCode, 255);
}

TEST(BuildInformation, BannerDateAndBuildDateAgree) {
  const std::string err = RunTamsel({"-i"}).Err;
  const std::size_t open = err.find(" x64 (");
  const std::size_t compiled = err.find(" was compiled on ");
  ASSERT_NE(open, std::string::npos);
  ASSERT_NE(compiled, std::string::npos);
  EXPECT_EQ(err.substr(open + 6, 11), err.substr(compiled + 17, 11)) << err;
}

TEST(BuildInformation, BannerBeforeARunKeepsTheReportOnStandardOutput) {
  const TProgramResult banner = RunTamsel({"100", "-b"});
  EXPECT_EQ(banner.ExitCode, 0);
  EXPECT_TRUE(SameLines(MaskBuildStamp(banner.Err), BannerLines("tamsel")));
  // With the banner on, the report starts at once.
  EXPECT_EQ(banner.Out.rfind("Search up to ....... 100 (0x64)\n", 0), 0u) << banner.Out;

  const TProgramResult verbose = RunTamsel({"100", "-v"});
  EXPECT_EQ(verbose.ExitCode, 0);
  EXPECT_TRUE(SameLines(MaskBuildStamp(verbose.Err), BannerAndBuildLines("tamsel", ProgramFileName())));
  EXPECT_EQ(verbose.Out.rfind("\nSearch up to ....... 100 (0x64)\n", 0), 0u) << verbose.Out;
  EXPECT_TRUE(Has(verbose.Out, "// Tamsel v3.2.0.340 x64\n"));
}

}  // namespace
}  // namespace tamsel::test
