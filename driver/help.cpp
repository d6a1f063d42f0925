#include "driver/help.h"

#include <string>

#include "core/console/channels.h"
#include "core/console/text_helpers.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"

namespace tamsel {

namespace {

void Line(std::string_view text = {}) { StdChannel().WriteLn(text); }

// The program's name after one blank, then the text.
void ProgramLine(std::string_view text) { Line(" " + ProgramName + std::string(text)); }

bool HasThreadChoice() { return MaxThreads > 1; }

void PrintSyntax() {
  PrintTitle("CMD SYNTAX:");
  ProgramLine(" [number] [options]");
  Line();
  ProgramLine(" [help/info_options]");
  Line();
  ProgramLine(" [number] [-q] [-d [-x]] [-n] [-s [-x]]");
  ProgramLine(" [number] [-q] [-d [-x]] [-n] [-p[:procs] [-f]]");
  ProgramLine(" <number> [-q] --isprime");
  ProgramLine(" <number> [-q] [--factors|--primefactors]");
  Line();
  ProgramLine(" [-h|-?|--h2|--??] [-v]");
  ProgramLine(" [-i|--Info|--Version-Only]");
  Line();
}

void PrintMoreDetailsPointer() {
  Line("For more details, please type: " + ProgramName + " -?  OR  " + ProgramName + " --??");
}

void PrintThreadOptions() {
  Line(" -p, --parallel ............ Use parallel processing routines, selecting from 2 to " +
       std::to_string(MaxThreads) + " threads.");
  Line(" -f, --force ............... Force parallel processing mode even if only ONE thread is "
       "selected (-P:1).");
}

void PrintOptions() {
  PrintTitle("OPTION DEFINITIONS:");
  Line(" -q, --quiet ............... Hide the \"Please Wait\" message for large tests.");
  Line(" -b, --banner .............. Display banner information on each program execution.");
  Line(" -t, --strict-eval ......... Generate an error for invalid numbers, rather than going "
       "with the default (" + std::to_string(DefaultLimit) + ").");
  Line(" -s, --show-primes ......... Show all prime numbers found.  (USE CAUTION HERE)");
  Line(" -x, --hexadecimal ......... Show found primes in hexadecimal.");
  Line(" -d, --debug-mode .......... Generates prime numbers using all processing modes.");
  Line(" -a, --always-segmented .... Use Segmented Sieve (rather than Simple Sieve) even for "
       "totals less than " + std::to_string(SimpleSieveLimit) + ".");
  Line(" -n, --no-count ............ Do not count the number of primes found (overrides -s and "
       "-d).");
  if (HasThreadChoice()) PrintThreadOptions();
  Line("     --isprime ............. Determine if the selected number is a prime number.");
  Line("     --factors ............. Print the list of factors of the selected number.");
  Line("     --primefactors ........ Indicate which factors are prime factors (implies "
       "--factors).");
  Line("     --benchmark ........... Time the execution of a single CPU plus a full processor "
       "load against a single number.");
  Line(" -v, --verbose, --build .... Display extended build information, plus application "
       "exit/return codes.");
  Line(" -h, --help, -? ............ Display this help message.");
  Line("     --h2, --??, --help2 ... Display extended help information, plus exit/return codes.");
  Line(" -i, --info ................ Display banner and build information, then exit.");
  Line("     --version-only ........ Display build information without banner, then exit.");
  if (RunOptions.Verbose) {
    Line("     --audible-error ....... Enable a beep on syntax error.");
    Line("     --error-delay ......... Enable a ~7 second delay on syntax error.");
  }
  Line();
}

void PrintExamples() {
  PrintTitle("SYNTAX EXAMPLES:");
  ProgramLine("");
  ProgramLine(" 10000000");
  ProgramLine(" 20,000,000");
  ProgramLine(" 300,000,000 -n -v");
  if (HasThreadChoice()) ProgramLine(" 1,000,000,000 -p:" + std::to_string(MaxThreads));
  ProgramLine(" 100,000 -s");
  ProgramLine(" 50,000 -s -x");
  ProgramLine(" 100,001 --factors");
  ProgramLine(" 1,000,001 --isprime");
  ProgramLine(" 2,000,000,000 --benchmark");
  ProgramLine(" -h");
  Line();
}

void PrintUsageNotes() {
  PrintTitle("GENERAL USAGE NOTES:");
  Line(" * Entering " + ProgramName + " with no parameters will display this help message.");
  Line(" * Parameters surrounded by <> are mandatory; Those surrounded by [] are optional.");
  Line(" * Parameters are case-insensitive, but may be shown in uppercase for clarity.");
  Line(" * Single-character parameters (e.g. -h) can be prefaced by \"-\" or \"/\".");
  Line(" * Multi-character parameters (e.g. --help) should be prefaced by \"--\".");
  Line(" * All parameters need to be separated from each other by at least one space.");
  Line(" * The -H, --?? --Version-Only and --Info parameters supersede all other options -- in "
       "that order.");
  Line(" * The -V parameter causes application build mode info to be shown whenever the banner "
       "is shown.");
  Line(" * Combining -H/-? and -V will display extended help info plus application exit/return "
       "codes.");
  Line(" * The --?? parameter behaves like the -H/-? and -V parameters combined.");
  Line(" * The -I parameter will ONLY show the banner, with build info, and quit.  It will "
       "process no other data.");
  Line(" * Providing multiple instance of the same parameter (other than -?, -H etc) will result "
       "in a syntax error.");
  Line(" * The application banner is only displayed when Help Syntax is displayed, or when -B is "
       "used.");
  Line();
}

void PrintThreadNotes() {
  const std::string suggested = std::to_string(SuggestedThreads);
  Line(" * The maximum number of threads that can be used in -P mode on this system is: " +
       std::to_string(MaxThreads) + ".");
  Line(" * If you plan to search up to a sizeable number (>100 Billion), consider setting -P to "
       "a max of " + suggested + ". e.g. -P:" + suggested);
  Line(" * While -P:1 is a valid parameter, it will result in Parallel Mode being disabled, "
       "unless -F is also present.");
  Line(" * Parallel processing is ignored for --Factors, --PrimeFactors and --IsPrime.");
  Line(" * Be sure to consider the balance between the amount of work to process, and the "
       "overhead of multiple threads.");
  Line(" * The -S parameter is ignored for parallel processing mode, due to the arbitrary "
       "execution order of threaded output.");
}

void PrintProgramNotes() {
  PrintTitle("APP SPECIFIC NOTES:");
  Line(" * The first parameter, if provided, must be a number, minimum value of 2.");
  Line(" * Be very careful with the -S parameter, as it will generate a whole lot of data to "
       "screen or disk (if redirected).");
  Line(" * The minimum number to check for --IsPrime is 0.");
  Line(" * The minimum number to check for --Factors or --PrimeFactors is 1.");
  Line(" * The maximum number that can be processed is: " + FormatThousands(MaxLimit));
  Line(" * Unless -A is selected, values up to " + FormatThousands(SimpleSieveLimit) +
       " will be generated by Simple Sieve only.");
  if (HasThreadChoice()) PrintThreadNotes();
  Line(" * If --Debug-Mode is used, then Audible Error and Error Delay will also be enabled.");
  Line();
}

void PrintExitCodes() {
  PrintTitle("EXIT/RETURN CODES:");
  Line(" * Exit/Return Codes will be generated for the following conditions:");
  Line("      0 - Command Completed Successfully");
  Line("      2 - Debug Mode is enabled     (Bitmasked)");
  Line("      4 - Display Prime Values      (Bitmasked)");
  Line("      8 - Don't Count Prime Numbers (Bitmasked)");
  Line("     16 - Benchmark Enabled         (Bitmasked)");
  Line("     64 - Missing Necessary/Essential Parameters");
  Line("     65 - Invalid parameters were found");
  Line("     82 - Integer too Large");
  Line("     88 - Minimum Value Must Be At Least 2");
  Line("     89 - Default Value used in place of Supplied Number");
  Line("    255 - Syntax Help Requested");
}

}  // namespace

void PrintTitle(std::string_view title) {
  const auto width = static_cast<std::int32_t>(title.size());
  WriteDashLine(width, false);
  Line(title);
  WriteDashLine(width, false);
}

void ShowHelp(bool shortForm) {
  PrintSyntax();
  if (shortForm) {
    PrintMoreDetailsPointer();
    return;
  }
  PrintOptions();
  PrintExamples();
  if (!RunOptions.Verbose) return;
  PrintUsageNotes();
  PrintProgramNotes();
  PrintExitCodes();
}

}  // namespace tamsel
