#include "driver/help.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/console/channels.h"
#include "driver/base/run_state.h"
#include "tests/support/run_program.h"

namespace tamsel {
namespace {

using Text = std::vector<std::string>;

const Text kSyntax = {
    "-----------",
    "CMD SYNTAX:",
    "-----------",
    " tamsel [number] [options]",
    "",
    " tamsel [help/info_options]",
    "",
    " tamsel [number] [-q] [-d [-x]] [-n] [-s [-x]]",
    " tamsel [number] [-q] [-d [-x]] [-n] [-p[:procs] [-f]]",
    " tamsel <number> [-q] --isprime",
    " tamsel <number> [-q] [--factors|--primefactors]",
    "",
    " tamsel [-h|-?|--h2|--??] [-v]",
    " tamsel [-i|--Info|--Version-Only]",
    "",
};

// The extended screen on a machine with 8 logical processors and 4 cores.
const Text kExtendedRest = {
    "-------------------",
    "OPTION DEFINITIONS:",
    "-------------------",
    " -q, --quiet ............... Hide the \"Please Wait\" message for large tests.",
    " -b, --banner .............. Display banner information on each program execution.",
    " -t, --strict-eval ......... Generate an error for invalid numbers, rather than going with the default (250000).",
    " -s, --show-primes ......... Show all prime numbers found.  (USE CAUTION HERE)",
    " -x, --hexadecimal ......... Show found primes in hexadecimal.",
    " -d, --debug-mode .......... Generates prime numbers using all processing modes.",
    " -a, --always-segmented .... Use Segmented Sieve (rather than Simple Sieve) even for totals less than 20000.",
    " -n, --no-count ............ Do not count the number of primes found (overrides -s and -d).",
    " -p, --parallel ............ Use parallel processing routines, selecting from 2 to 8 threads.",
    " -f, --force ............... Force parallel processing mode even if only ONE thread is selected (-P:1).",
    "     --isprime ............. Determine if the selected number is a prime number.",
    "     --factors ............. Print the list of factors of the selected number.",
    "     --primefactors ........ Indicate which factors are prime factors (implies --factors).",
    "     --benchmark ........... Time the execution of a single CPU plus a full processor load against a single number.",
    " -v, --verbose, --build .... Display extended build information, plus application exit/return codes.",
    " -h, --help, -? ............ Display this help message.",
    "     --h2, --??, --help2 ... Display extended help information, plus exit/return codes.",
    " -i, --info ................ Display banner and build information, then exit.",
    "     --version-only ........ Display build information without banner, then exit.",
    "     --audible-error ....... Enable a beep on syntax error.",
    "     --error-delay ......... Enable a ~7 second delay on syntax error.",
    "",
    "----------------",
    "SYNTAX EXAMPLES:",
    "----------------",
    " tamsel",
    " tamsel 10000000",
    " tamsel 20,000,000",
    " tamsel 300,000,000 -n -v",
    " tamsel 1,000,000,000 -p:8",
    " tamsel 100,000 -s",
    " tamsel 50,000 -s -x",
    " tamsel 100,001 --factors",
    " tamsel 1,000,001 --isprime",
    " tamsel 2,000,000,000 --benchmark",
    " tamsel -h",
    "",
    "--------------------",
    "GENERAL USAGE NOTES:",
    "--------------------",
    " * Entering tamsel with no parameters will display this help message.",
    " * Parameters surrounded by <> are mandatory; Those surrounded by [] are optional.",
    " * Parameters are case-insensitive, but may be shown in uppercase for clarity.",
    " * Single-character parameters (e.g. -h) can be prefaced by \"-\" or \"/\".",
    " * Multi-character parameters (e.g. --help) should be prefaced by \"--\".",
    " * All parameters need to be separated from each other by at least one space.",
    " * The -H, --?? --Version-Only and --Info parameters supersede all other options -- in that order.",
    " * The -V parameter causes application build mode info to be shown whenever the banner is shown.",
    " * Combining -H/-? and -V will display extended help info plus application exit/return codes.",
    " * The --?? parameter behaves like the -H/-? and -V parameters combined.",
    " * The -I parameter will ONLY show the banner, with build info, and quit.  It will process no other data.",
    " * Providing multiple instance of the same parameter (other than -?, -H etc) will result in a syntax error.",
    " * The application banner is only displayed when Help Syntax is displayed, or when -B is used.",
    "",
    "-------------------",
    "APP SPECIFIC NOTES:",
    "-------------------",
    " * The first parameter, if provided, must be a number, minimum value of 2.",
    " * Be very careful with the -S parameter, as it will generate a whole lot of data to screen or disk (if redirected).",
    " * The minimum number to check for --IsPrime is 0.",
    " * The minimum number to check for --Factors or --PrimeFactors is 1.",
    " * The maximum number that can be processed is: 18,000,000,000,000,000,000",
    " * Unless -A is selected, values up to 20,000 will be generated by Simple Sieve only.",
    " * The maximum number of threads that can be used in -P mode on this system is: 8.",
    " * If you plan to search up to a sizeable number (>100 Billion), consider setting -P to a max of 4. e.g. -P:4",
    " * While -P:1 is a valid parameter, it will result in Parallel Mode being disabled, unless -F is also present.",
    " * Parallel processing is ignored for --Factors, --PrimeFactors and --IsPrime.",
    " * Be sure to consider the balance between the amount of work to process, and the overhead of multiple threads.",
    " * The -S parameter is ignored for parallel processing mode, due to the arbitrary execution order of threaded output.",
    " * If --Debug-Mode is used, then Audible Error and Error Delay will also be enabled.",
    "",
    "------------------",
    "EXIT/RETURN CODES:",
    "------------------",
    " * Exit/Return Codes will be generated for the following conditions:",
    "      0 - Command Completed Successfully",
    "      2 - Debug Mode is enabled     (Bitmasked)",
    "      4 - Display Prime Values      (Bitmasked)",
    "      8 - Don't Count Prime Numbers (Bitmasked)",
    "     16 - Benchmark Enabled         (Bitmasked)",
    "     64 - Missing Necessary/Essential Parameters",
    "     65 - Invalid parameters were found",
    "     82 - Integer too Large",
    "     88 - Minimum Value Must Be At Least 2",
    "     89 - Default Value used in place of Supplied Number",
    "    255 - Syntax Help Requested",
};

Text Concat(Text head, const Text& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// kExtendedRest up to the line that starts with prefix (that line excluded).
Text RestUntil(const std::string& prefix) {
  Text rest;
  for (const std::string& line : kExtendedRest) {
    if (line.rfind(prefix, 0) == 0) break;
    rest.push_back(line);
  }
  return rest;
}

Text Without(Text text, const std::vector<std::string>& needles) {
  std::erase_if(text, [&](const std::string& line) {
    for (const std::string& needle : needles) {
      if (line.find(needle) != std::string::npos) return true;
    }
    return false;
  });
  return text;
}

class ShowHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramName = "tamsel";
    MaxThreads = 8;
    SuggestedThreads = 4;
    RunOptions = TRunOptions{};
  }
  void TearDown() override {
    ProgramName = saved_name_;
    MaxThreads = saved_max_;
    SuggestedThreads = saved_suggested_;
    RunOptions = saved_options_;
  }
  static Text Help(bool shortForm) {
    TChannelCapture capture;
    ShowHelp(shortForm);
    EXPECT_EQ(capture.Err(), "");
    const std::string out = capture.Out();
    EXPECT_TRUE(out.empty() || out.back() == '\n');
    return test::Lines(out);
  }

 private:
  std::string saved_name_ = ProgramName;
  std::int32_t saved_max_ = MaxThreads;
  std::int32_t saved_suggested_ = SuggestedThreads;
  TRunOptions saved_options_ = RunOptions;
};

TEST_F(ShowHelpTest, ExtendedFormShowsEverySection) {
  RunOptions.Verbose = true;
  EXPECT_EQ(Help(false), Concat(kSyntax, kExtendedRest));
}

TEST_F(ShowHelpTest, PlainFormStopsAfterTheExamplesWithoutTheErrorOptions) {
  Text expected = Concat(kSyntax, Without(RestUntil("--------------------"),
                                          {"--audible-error", "--error-delay"}));
  EXPECT_EQ(Help(false), expected);
}

TEST_F(ShowHelpTest, ShortFormIsTheSyntaxAndAPointerWhateverVerboseSays) {
  const Text expected =
      Concat(kSyntax, {"For more details, please type: tamsel -?  OR  tamsel --??"});
  EXPECT_EQ(Help(true), expected);
  RunOptions.Verbose = true;
  EXPECT_EQ(Help(true), expected);
}

TEST_F(ShowHelpTest, SingleProcessorMachineHasNoThreadLines) {
  MaxThreads = 1;
  RunOptions.Verbose = true;
  const Text expected = Without(Concat(kSyntax, kExtendedRest),
                                {"--parallel", "--force", "-p:8", "threads", "-P:", "Parallel",
                                 "parallel processing mode"});
  EXPECT_EQ(Help(false).size(), Concat(kSyntax, kExtendedRest).size() - 9);
  EXPECT_EQ(Help(false), expected);
}

TEST_F(ShowHelpTest, EveryMentionUsesTheProgramsOwnName) {
  ProgramName = "Primes";
  RunOptions.Verbose = true;
  Text expected = Concat(kSyntax, kExtendedRest);
  for (std::string& line : expected) {
    for (std::size_t at; (at = line.find("tamsel")) != std::string::npos;) {
      line.replace(at, 6, "Primes");
    }
  }
  EXPECT_EQ(Help(false), expected);
}

TEST_F(ShowHelpTest, TitleIsFramedByDashesOfItsLength) {
  TChannelCapture capture;
  PrintTitle("AB C");
  PrintTitle("");
  EXPECT_EQ(capture.Out(), "----\nAB C\n----\n\n\n\n");
}

}  // namespace
}  // namespace tamsel
