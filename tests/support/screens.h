// End-to-end aids for the screens around the command line: the expected
// banner, build line, syntax-error screen and help, built line by line, and
// ways to run the program on a made-up machine or under another file name.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/fake_machine.h"
#include "tests/support/platform.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace tamsel::test {

using TLines = std::vector<std::string>;

inline TLines Concat(TLines head, const TLines& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// The build date, the build hour and the toolchain change with every build;
// they are replaced by "dd Mmm yyyy", "hh" and "<toolchain>".
inline std::string MaskBuildStamp(const std::string& text) {
  static const std::regex bannerDate(R"(\(\d\d [A-Z][a-z]{2} \d{4}\) - )");
  static const std::regex buildStamp(R"( was compiled on \d\d [A-Z][a-z]{2} \d{4} @ \d\d:00:00)"
                                     R"( using (g\+\+|clang\+\+) \d+\.\d+\.\d+)");
  const std::string banner = std::regex_replace(text, bannerDate, "(dd Mmm yyyy) - ");
  return std::regex_replace(banner, buildStamp,
                            " was compiled on dd Mmm yyyy @ hh:00:00 using <toolchain>");
}

// Compares texts line by line and names the first line that differs.
inline ::testing::AssertionResult SameLines(const std::string& actual, const TLines& expected) {
  const TLines lines = Lines(actual);
  for (std::size_t i = 0; i < lines.size() && i < expected.size(); ++i) {
    if (lines[i] != expected[i]) {
      return ::testing::AssertionFailure() << "line " << i + 1 << " is\n  [" << lines[i]
                                           << "]\nexpected\n  [" << expected[i] << "]";
    }
  }
  if (lines.size() != expected.size()) {
    return ::testing::AssertionFailure()
           << lines.size() << " lines instead of " << expected.size() << ":\n"
           << actual;
  }
  if (!actual.empty() && actual.back() != '\n') {
    return ::testing::AssertionFailure() << "the last line is not ended";
  }
  return ::testing::AssertionSuccess();
}

// The banner on standard error, with its empty line; name is the program
// file's name without its extension.
inline TLines BannerLines(const std::string& name) {
  return {name + " v3.2.0 x64 (dd Mmm yyyy) - Generate Prime Numbers via Segmented Sieve "
                 "Method, Plus Other Info",
          "Copyright (c) The Tamsel project. All rights reserved.",
          "Written by the Tamsel developers.", ""};
}

// fileName is the program file's name as on disk.
inline std::string BuildLine(const std::string& fileName) {
  return fileName + " v3.2.0.340 x64 was compiled on dd Mmm yyyy @ hh:00:00 using <toolchain>";
}

// Banner, build line and the empty line after both.
inline TLines BannerAndBuildLines(const std::string& name, const std::string& fileName) {
  return Concat(BannerLines(name), {BuildLine(fileName), ""});
}

inline TLines Framed(const std::string& title) {
  const std::string dashes(title.size(), '-');
  return {dashes, title, dashes};
}

inline TLines SyntaxSection(const std::string& name) {
  const std::string n = " " + name;
  return Concat(Framed("CMD SYNTAX:"),
                {n + " [number] [options]", "", n + " [help/info_options]", "",
                 n + " [number] [-q] [-d [-x]] [-n] [-s [-x]]",
                 n + " [number] [-q] [-d [-x]] [-n] [-p[:procs] [-f]]",
                 n + " <number> [-q] --isprime", n + " <number> [-q] [--factors|--primefactors]",
                 "", n + " [-h|-?|--h2|--??] [-v]", n + " [-i|--Info|--Version-Only]", ""});
}

// The help that follows a syntax error.
inline TLines ShortHelp(const std::string& name) {
  return Concat(SyntaxSection(name), {"For more details, please type: " + name + " -?  OR  " +
                                      name + " --??"});
}

// The help of -h (extended = false) or --h2 on a machine with maxThreads
// logical processors and suggested physical cores.
inline TLines FullHelp(const std::string& name, int maxThreads, int suggested, bool extended) {
  const bool threads = maxThreads > 1;
  const std::string n = " " + name;
  const std::string max = std::to_string(maxThreads);
  TLines help = SyntaxSection(name);
  help = Concat(help, Framed("OPTION DEFINITIONS:"));
  help = Concat(help, {
      " -q, --quiet ............... Hide the \"Please Wait\" message for large tests.",
      " -b, --banner .............. Display banner information on each program execution.",
      " -t, --strict-eval ......... Generate an error for invalid numbers, rather than going "
      "with the default (250000).",
      " -s, --show-primes ......... Show all prime numbers found.  (USE CAUTION HERE)",
      " -x, --hexadecimal ......... Show found primes in hexadecimal.",
      " -d, --debug-mode .......... Generates prime numbers using all processing modes.",
      " -a, --always-segmented .... Use Segmented Sieve (rather than Simple Sieve) even for "
      "totals less than 20000.",
      " -n, --no-count ............ Do not count the number of primes found (overrides -s and "
      "-d)."});
  if (threads) {
    help = Concat(help, {" -p, --parallel ............ Use parallel processing routines, "
                         "selecting from 2 to " + max + " threads.",
                         " -f, --force ............... Force parallel processing mode even if "
                         "only ONE thread is selected (-P:1)."});
  }
  help = Concat(help, {
      "     --isprime ............. Determine if the selected number is a prime number.",
      "     --factors ............. Print the list of factors of the selected number.",
      "     --primefactors ........ Indicate which factors are prime factors (implies "
      "--factors).",
      "     --benchmark ........... Time the execution of a single CPU plus a full processor "
      "load against a single number.",
      " -v, --verbose, --build .... Display extended build information, plus application "
      "exit/return codes.",
      " -h, --help, -? ............ Display this help message.",
      "     --h2, --??, --help2 ... Display extended help information, plus exit/return codes.",
      " -i, --info ................ Display banner and build information, then exit.",
      "     --version-only ........ Display build information without banner, then exit."});
  if (extended) {
    help = Concat(help, {"     --audible-error ....... Enable a beep on syntax error.",
                         "     --error-delay ......... Enable a ~7 second delay on syntax error."});
  }
  help.push_back("");
  help = Concat(help, Framed("SYNTAX EXAMPLES:"));
  help = Concat(help, {n, n + " 10000000", n + " 20,000,000", n + " 300,000,000 -n -v"});
  if (threads) help.push_back(n + " 1,000,000,000 -p:" + max);
  help = Concat(help, {n + " 100,000 -s", n + " 50,000 -s -x", n + " 100,001 --factors",
                       n + " 1,000,001 --isprime", n + " 2,000,000,000 --benchmark", n + " -h",
                       ""});
  if (!extended) return help;

  help = Concat(help, Framed("GENERAL USAGE NOTES:"));
  help = Concat(help, {
      " * Entering " + name + " with no parameters will display this help message.",
      " * Parameters surrounded by <> are mandatory; Those surrounded by [] are optional.",
      " * Parameters are case-insensitive, but may be shown in uppercase for clarity.",
      " * Single-character parameters (e.g. -h) can be prefaced by \"-\" or \"/\".",
      " * Multi-character parameters (e.g. --help) should be prefaced by \"--\".",
      " * All parameters need to be separated from each other by at least one space.",
      " * The -H, --?? --Version-Only and --Info parameters supersede all other options -- in "
      "that order.",
      " * The -V parameter causes application build mode info to be shown whenever the banner "
      "is shown.",
      " * Combining -H/-? and -V will display extended help info plus application exit/return "
      "codes.",
      " * The --?? parameter behaves like the -H/-? and -V parameters combined.",
      " * The -I parameter will ONLY show the banner, with build info, and quit.  It will "
      "process no other data.",
      " * Providing multiple instance of the same parameter (other than -?, -H etc) will result "
      "in a syntax error.",
      " * The application banner is only displayed when Help Syntax is displayed, or when -B is "
      "used.",
      ""});
  help = Concat(help, Framed("APP SPECIFIC NOTES:"));
  help = Concat(help, {
      " * The first parameter, if provided, must be a number, minimum value of 2.",
      " * Be very careful with the -S parameter, as it will generate a whole lot of data to "
      "screen or disk (if redirected).",
      " * The minimum number to check for --IsPrime is 0.",
      " * The minimum number to check for --Factors or --PrimeFactors is 1.",
      " * The maximum number that can be processed is: 18,000,000,000,000,000,000",
      " * Unless -A is selected, values up to 20,000 will be generated by Simple Sieve only."});
  if (threads) {
    const std::string cores = std::to_string(suggested);
    help = Concat(help, {
        " * The maximum number of threads that can be used in -P mode on this system is: " +
            max + ".",
        " * If you plan to search up to a sizeable number (>100 Billion), consider setting -P "
        "to a max of " + cores + ". e.g. -P:" + cores,
        " * While -P:1 is a valid parameter, it will result in Parallel Mode being disabled, "
        "unless -F is also present.",
        " * Parallel processing is ignored for --Factors, --PrimeFactors and --IsPrime.",
        " * Be sure to consider the balance between the amount of work to process, and the "
        "overhead of multiple threads.",
        " * The -S parameter is ignored for parallel processing mode, due to the arbitrary "
        "execution order of threaded output."});
  }
  help = Concat(help, {" * If --Debug-Mode is used, then Audible Error and Error Delay will "
                       "also be enabled.",
                       ""});
  help = Concat(help, Framed("EXIT/RETURN CODES:"));
  return Concat(help, {" * Exit/Return Codes will be generated for the following conditions:",
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
                       "    255 - Syntax Help Requested"});
}

// The folder the program shows after "Execution Path ... ".
inline std::string ExecutionFolder(const std::string& exe) {
  const std::filesystem::path folder = std::filesystem::canonical(exe).parent_path();
  return Quoted(folder.string() + static_cast<char>(std::filesystem::path::preferred_separator));
}

// The screen from its title to the empty line after the message, for a
// program started as argv0 with args.
inline TLines SyntaxErrorScreen(const std::string& exe, const std::string& argv0,
                                const std::vector<std::string>& args, const std::string& message) {
  const std::string entered = TypedCommandLine(argv0, args);
  return {"Invalid or Incomplete Syntax!",
          "",
          std::string("Execution Path ... ") + ExecutionFolder(exe),
          "You entered ...... " + entered,
          "",
          message,
          ""};
}

// A copy of the built program stored as fileName in a fresh folder whose
// name holds a blank.
class TRenamedCopy {
 public:
  explicit TRenamedCopy(const std::string& fileName) : folder_("tamsel copy ") {
    path_ = folder_.Path() / fileName;
    std::filesystem::copy_file(TamselPath(), path_);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  }
  std::string Path() const { return path_.string(); }
  TProgramResult Run(const std::vector<std::string>& args) const {
    return RunProgram(Path(), args);
  }

 private:
  TTempFolder folder_;
  std::filesystem::path path_;
};

}  // namespace tamsel::test
