// End-to-end: the modes beside the plain search (parallel engine, debug run,
// benchmark, the number queries) and a machine whose processors cannot be
// counted. Where a result depends on the processor count, the program reads
// a made-up processor topology instead of this machine's.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/fake_machine.h"
#include "tests/support/run_program.h"

namespace tamsel::test {
namespace {

const std::string kDashes(75, '-');
const std::string kPrimeListRule(75, '=');

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

// The fields of the statistics line from "[S:" up to the method, e.g.
// "S:...100,000 T:... H:... P:.2] // Parallel"; empty without the line.
std::string StatsFields(const std::string& out) {
  const std::string head = "## Prime Number Stats [";
  const std::size_t start = out.find(head);
  if (start == std::string::npos) return "";
  const std::size_t end = out.find(" // DURATION: ", start);
  return out.substr(start + head.size(), end - start - head.size());
}

// The section headers of a debug run, in order.
std::vector<std::string> Headers(const std::string& out) {
  std::vector<std::string> headers;
  for (const std::string& line : Lines(out)) {
    if (line.rfind("--- ", 0) == 0) headers.push_back(line.substr(4));
  }
  return headers;
}

std::vector<std::string> ReportLines(const std::string& limit, const std::string& count,
                                     const std::string& highest) {
  return {"Search up to ....... " + limit, "Total Primes ....... " + count,
          "Highest Prime ...... " + highest};
}

// One block of a debug run, times masked: header, the empty line that
// precedes an unlisted report, the report and the timing frame.
void AppendDebugBlock(std::vector<std::string>& lines, const std::string& title, char marker,
                      bool emptyLineBeforeReport, const std::vector<std::string>& report) {
  lines.insert(lines.end(), {"", kDashes, "--- " + title, kDashes});
  if (emptyLineBeforeReport) lines.push_back("");
  lines.insert(lines.end(), report.begin(), report.end());
  lines.insert(lines.end(), {kDashes, "Start Time ......... ##/##/#### ##:##:##.###",
                             "End Time ........... ##/##/#### ##:##:##.###",
                             "Elapsed Time .......            ##:##:##.###",
                             std::string(75, marker)});
}

const char* const kSimpleTitle = "Simple Sieve";
const char* const kSegmentedTitle = "Normal Segmented Sieve";
const char* const kPlusTitle = "Segmented Sieve PLUS (Segment Processing in External Subroutine)";

std::string ParallelTitle(int threads) {
  return "Segmented Sieve PARALLEL (Concurrency: " + std::to_string(threads) + " Threads)";
}

// ---------------------------------------------------------------------------
// Parallel engine

const std::string kHundredThousand =
    "S:........100,000 T:........9,592 H:.........99,991 ";

// A machine of two cores with two threads each: four logical processors, so
// the default of two threads, an explicit count and the clamp all differ.
TEST(ParallelRun, ThreadCountAndEngineFollowParallelAndForce) {
  TFakeMachine machine(2, 2);
  const struct {
    std::vector<std::string> args;
    const char* fields;
  } cases[] = {
      {{"100000", "-p"}, "P:.2] // Parallel"},
      {{"100000", "--parallel:3"}, "P:.3] // Parallel"},
      {{"100000", "-p", "3"}, "P:.3] // Parallel"},
      {{"100000", "-p:999"}, "P:.4] // Parallel"},
      {{"100000", "-p:1"}, "P:.1] // Plus"},
      {{"100000", "-p:0"}, "P:.1] // Plus"},
      {{"100000", "-p:1", "-f"}, "P:.1] // Parallel"},
      {{"100000", "-f"}, "P:.2] // Parallel"},
      {{"100000", "-p:abc"}, "P:.2] // Parallel"},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 0) << c.args[1];
    EXPECT_EQ(r.Err, "") << c.args[1];
    EXPECT_EQ(StatsFields(r.Out), kHundredThousand + c.fields) << c.args[1];
  }
}

TEST(ParallelRun, ReportsLikeTheOtherEngines) {
  TFakeMachine machine(2, 2);
  const TProgramResult r = RunTamsel({"1,000,000", "-p:3"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(MaskTimes(r.Out),
            "\n"
            "Search up to ....... 1,000,000 (0xF4240)\n"
            "Total Primes .......    78,498 (0x132A2)\n"
            "Highest Prime ......   999,983 (0xF422F)\n" +
                kDashes +
                "\n"
                "Start Time ......... ##/##/#### ##:##:##.###\n"
                "End Time ........... ##/##/#### ##:##:##.###\n"
                "Elapsed Time .......            ##:##:##.###\n" +
                kDashes +
                "\n"
                "## Prime Number Stats [S:......1,000,000 T:.......78,498 H:........999,983 "
                "P:.3] // Parallel // DURATION: ##:##:##.### // START: ##/##/#### ##:##:##.### "
                "// END: ##/##/#### ##:##:##.### // Tamsel v3.2.0.340 x64\n");
}

// Numbers up to 20,000 stay with the single-threaded simple sieve, and the
// statistics line then reports the one thread that searched.
TEST(ParallelRun, SmallNumbersUseTheSimpleSieveUnlessAlwaysSegmented) {
  TFakeMachine machine(2, 2);
  const std::string fields = "S:............100 T:...........25 H:.............97 ";
  EXPECT_EQ(StatsFields(RunTamsel({"100", "-p"}).Out), fields + "P:.1] // Simple");
  EXPECT_EQ(StatsFields(RunTamsel({"100", "-p:4", "-f"}).Out), fields + "P:.1] // Simple");
  EXPECT_EQ(StatsFields(RunTamsel({"100", "-a", "-p:3"}).Out), fields + "P:.3] // Parallel");
  EXPECT_EQ(StatsFields(RunTamsel({"2", "-a", "-p:4"}).Out),
            "S:..............2 T:............1 H:..............2 P:.4] // Parallel");
}

TEST(ParallelRun, ShowPrimesIsIgnoredButStillSetsItsBit) {
  TFakeMachine machine(2, 2);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"100000", "-s", "-p"},
        std::vector<std::string>{"100000", "-p:1", "-f", "-s", "-x"}}) {
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 4);
    EXPECT_EQ(r.Err, "");
    // No list was written, so the usual empty line opens the report.
    EXPECT_EQ(r.Out.rfind("\nSearch up to ....... 100,000 (0x186A0)\n", 0), 0u) << r.Out;
    EXPECT_TRUE(Contains(StatsFields(r.Out), "] // Parallel"));
  }
  // -s is claimed before -p is looked up, so -p finds its value taken.
  const TProgramResult taken = RunTamsel({"100000", "-p", "-s"});
  EXPECT_EQ(taken.ExitCode, 67);
  EXPECT_TRUE(Contains(taken.Err, "Incomplete Parameters Provided: -p")) << taken.Err;
  EXPECT_EQ(taken.Out, "");
}

TEST(ParallelRun, NoCountStillFindsTheHighestPrime) {
  TFakeMachine machine(2, 2);
  const TProgramResult r = RunTamsel({"100000", "-p:2", "-n"});
  EXPECT_EQ(r.ExitCode, 8);
  EXPECT_FALSE(Contains(r.Out, "Total Primes"));
  EXPECT_TRUE(Contains(r.Out, "Highest Prime ......  99,991 (0x18697)\n"));
  EXPECT_EQ(StatsFields(r.Out),
            "S:........100,000 T:..........n/a H:.........99,991 P:.2] // Parallel");
}

TEST(ParallelRun, SingleProcessorMachineNeedsForce) {
  TFakeMachine machine(1, 1);
  EXPECT_EQ(StatsFields(RunTamsel({"100000", "-p"}).Out), kHundredThousand + "P:.1] // Plus");
  EXPECT_EQ(StatsFields(RunTamsel({"100000", "-p:8"}).Out), kHundredThousand + "P:.1] // Plus");
  EXPECT_EQ(StatsFields(RunTamsel({"100000", "-f"}).Out),
            kHundredThousand + "P:.1] // Parallel");
}

// More threads than the engine starts (64 at most) still give exact results.
TEST(ParallelRun, ManyProcessorsGiveTheSameResults) {
  TFakeMachine machine(65, 2);
  const TProgramResult r = RunTamsel({"1,000,000", "-p:100"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(StatsFields(r.Out).rfind("S:......1,000,000 T:.......78,498 H:........999,983 P:", 0),
            0u)
      << r.Out;
  EXPECT_TRUE(Contains(StatsFields(r.Out), "] // Parallel"));
}

// ---------------------------------------------------------------------------
// Debug run

TEST(DebugRun, RunsTheFourEnginesInOrder) {
  const TProgramResult r = RunTamsel({"1000", "-d"});
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Err, "");
  const std::vector<std::string> report =
      ReportLines("1,000 (0x3E8)", "  168 (0xA8)", "  997 (0x3E5)");
  std::vector<std::string> expected;
  AppendDebugBlock(expected, kSimpleTitle, '-', true, report);
  AppendDebugBlock(expected, kSegmentedTitle, '@', true, report);
  AppendDebugBlock(expected, kPlusTitle, '+', true, report);
  AppendDebugBlock(expected, ParallelTitle(1), '*', true, report);
  expected.push_back(std::string(100, '-'));
  EXPECT_EQ(Lines(MaskTimes(r.Out)), expected);
}

TEST(DebugRun, ParallelHeaderNamesTheThreadCount) {
  TFakeMachine machine(2, 2);
  const struct {
    std::vector<std::string> args;
    int threads;
  } cases[] = {{{"1000", "-d", "-p"}, 2},
               {{"1000", "-d", "-p:3"}, 3},
               {{"1000", "-d", "-p:1"}, 1},
               {{"1000", "-d", "-p:1", "-f"}, 1},
               {{"1000", "-d", "-f"}, 2}};
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 2);
    const std::vector<std::string> headers = Headers(r.Out);
    ASSERT_EQ(headers.size(), 4u) << r.Out;
    EXPECT_EQ(headers[3], ParallelTitle(c.threads));
    EXPECT_EQ(CountOf(r.Out, "Total Primes .......   168 (0xA8)\n"), 4u);
    EXPECT_FALSE(Contains(r.Out, "## Prime Number Stats"));
  }
}

// Lists carry ordinals in a debug run; every engine but the parallel one
// writes its own list, closed by the rule line.
TEST(DebugRun, ShowPrimesListsEachSequentialEngineWithOrdinals) {
  const struct {
    std::vector<std::string> args;
    const char* list;
  } cases[] = {
      {{"30", "-d", "-s"}, "Prime Numbers: 1=2 2=3 3=5 4=7 5=11 6=13 7=17 8=19 9=23 10=29 \n"},
      {{"30", "-d", "-s", "-x"}, "Prime Numbers: 1=2 2=3 3=5 4=7 5=B 6=D 7=11 8=13 9=17 A=1D \n"},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, 6);
    const std::string block = std::string(c.list) + kPrimeListRule + "\n";
    EXPECT_EQ(r.Err, block + block + block);

    // The report stays decimal with hexadecimal in brackets; it follows the
    // header directly where a list was written.
    const std::vector<std::string> report =
        ReportLines("30 (0x1E)", "10 (0xA)", "29 (0x1D)");
    std::vector<std::string> expected;
    AppendDebugBlock(expected, kSimpleTitle, '-', false, report);
    AppendDebugBlock(expected, kSegmentedTitle, '@', false, report);
    AppendDebugBlock(expected, kPlusTitle, '+', false, report);
    AppendDebugBlock(expected, ParallelTitle(1), '*', true, report);
    expected.push_back(std::string(100, '-'));
    EXPECT_EQ(Lines(MaskTimes(r.Out)), expected);
  }
  // Outside the debug run the list has no ordinals.
  EXPECT_EQ(RunTamsel({"30", "-s", "-x"}).Err,
            "Prime Numbers: 2 3 5 7 B D 11 13 17 1D \n" + kPrimeListRule + "\n");
}

TEST(DebugRun, NoCountDropsTheTotalsAndTheLists) {
  const TProgramResult r = RunTamsel({"1000", "-d", "-n", "-s"});
  EXPECT_EQ(r.ExitCode, 10);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(Headers(r.Out).size(), 4u);
  EXPECT_FALSE(Contains(r.Out, "Total Primes"));
  EXPECT_EQ(CountOf(r.Out, "Highest Prime ......   997 (0x3E5)\n"), 4u);
}

// The replaced number's 89 keeps the debug bit: 91.
TEST(DebugRun, ReplacedNumberRunsOnTheDefault) {
  const TProgramResult r = RunTamsel({"1", "-d"});
  EXPECT_EQ(r.ExitCode, 91);
  EXPECT_EQ(r.Err, "ERROR: Invalid Value Provided (1) -- Using Default Instead...\n\n");
  EXPECT_EQ(Headers(r.Out),
            (std::vector<std::string>{kSimpleTitle, kSegmentedTitle, kPlusTitle, ParallelTitle(1)}));
  EXPECT_EQ(CountOf(r.Out, "Total Primes .......  22,044 (0x561C)\n"), 4u);
}

// From one billion on the simple sieve's table would be too large; -q hides
// the start line. This search takes a second or two.
TEST(DebugRun, FromOneBillionTheSimpleSieveIsSkipped) {
  const TProgramResult r = RunTamsel({"1000000000", "-d", "-q"});
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Out.rfind("\n" + kDashes + "\n--- " + kSegmentedTitle + "\n", 0), 0u);
  EXPECT_EQ(Headers(r.Out),
            (std::vector<std::string>{kSegmentedTitle, kPlusTitle, ParallelTitle(1)}));
  EXPECT_EQ(CountOf(r.Out, "Total Primes .......    50,847,534 (0x307DF2E)\n"), 3u);
}

// ---------------------------------------------------------------------------
// Benchmark

const std::string kBenchmarkStart = "tamsel v3.2.0.340 -- Benchmark Started at ##/##/#### ##:##:##";

std::string BenchmarkLine(const std::string& threads, const std::string& bracket) {
  return "Prime Number Benchmark // T1: ##:##.### * T" + threads + ": ##:##.### [" + bracket +
         "] // DURATION: ##:##:##.### // START: ##/##/#### ##:##:##.### // END: ##/##/#### "
         "##:##:##.### // Tamsel v3.2.0.340 x64";
}

// The benchmark always uses every logical processor, whatever -p or -f say,
// and -q does not hide its start line.
TEST(Benchmark, StartLineAndSummaryLine) {
  TFakeMachine machine(2, 2);
  const struct {
    std::vector<std::string> args;
    const char* bracket;
    int exitCode;
  } cases[] = {
      {{"1,000,000", "--benchmark"}, "....1,000,000 C", 16},
      {{"1,000,000", "--benchmark", "-n"}, "....1,000,000 N", 24},
      {{"1,000,000", "--benchmark", "-q", "-p:1"}, "....1,000,000 C", 16},
      {{"1000", "--benchmark", "-f"}, "........1,000 C", 16},
      // Benchmark comes before the debug run, which then never starts.
      {{"1000", "--benchmark", "-d"}, "........1,000 C", 16},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.bracket;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(Lines(MaskTimes(r.Out)),
              (std::vector<std::string>{kBenchmarkStart, BenchmarkLine("04", c.bracket)}));
  }
}

TEST(Benchmark, NumberBelowTwoRunsOnTheDefault) {
  TFakeMachine machine(1, 1);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--benchmark"}, std::vector<std::string>{"0", "--benchmark"}}) {
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 89);
    EXPECT_EQ(r.Err, "ERROR: Invalid Value Provided (0) -- Using Default Instead...\n\n");
    EXPECT_EQ(Lines(MaskTimes(r.Out)),
              (std::vector<std::string>{kBenchmarkStart, BenchmarkLine("01", "......250,000 C")}));
  }
}

TEST(Benchmark, TakesPrecedenceOverIsPrimeButNotOverFactors) {
  TFakeMachine machine(2, 2);
  const TProgramResult isPrime = RunTamsel({"100", "--isprime", "--benchmark"});
  EXPECT_EQ(isPrime.ExitCode, 16);
  EXPECT_EQ(Lines(MaskTimes(isPrime.Out)),
            (std::vector<std::string>{kBenchmarkStart, BenchmarkLine("04", "..........100 C")}));
  // --isprime lets 0 through the lower limit; the benchmark then runs on 1.
  const TProgramResult zero = RunTamsel({"0", "--isprime", "--benchmark"});
  EXPECT_EQ(zero.ExitCode, 16);
  EXPECT_EQ(zero.Err, "");
  EXPECT_EQ(Lines(MaskTimes(zero.Out)),
            (std::vector<std::string>{kBenchmarkStart, BenchmarkLine("04", "............1 C")}));

  const TProgramResult factors = RunTamsel({"100", "--factors", "--benchmark"});
  EXPECT_EQ(factors.ExitCode, 0);
  EXPECT_FALSE(Contains(factors.Out, "Benchmark"));
  EXPECT_TRUE(Contains(factors.Out, "There are 9 factors of 100\n")) << factors.Out;
}

// The single-thread pass still lists its primes; the list is left open
// because the benchmark suppresses the closing rule.
TEST(Benchmark, ShowPrimesListsTheSingleThreadPassOnly) {
  TFakeMachine machine(2, 2);
  const TProgramResult r = RunTamsel({"30", "--benchmark", "-s"});
  EXPECT_EQ(r.ExitCode, 20);
  EXPECT_EQ(r.Err, "Prime Numbers: 2 3 5 7 11 13 17 19 23 29 ");
  EXPECT_EQ(Lines(MaskTimes(r.Out)),
            (std::vector<std::string>{kBenchmarkStart, BenchmarkLine("04", "...........30 C")}));
}

std::int64_t Milliseconds(const std::string& minutes, const std::string& seconds,
                          const std::string& millis, std::int64_t hours = 0) {
  return ((hours * 60 + std::stoll(minutes)) * 60 + std::stoll(seconds)) * 1000 +
         std::stoll(millis);
}

// The one large benchmark of the suite (a couple of seconds): the number
// fills its field exactly, and the duration spans both timed passes.
TEST(Benchmark, TwoBillionFillsTheNumberField) {
  TFakeMachine machine(1, 2);
  const TProgramResult r = RunTamsel({"2,000,000,000", "--benchmark"});
  EXPECT_EQ(r.ExitCode, 16);
  const std::vector<std::string> lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u) << r.Out;
  EXPECT_EQ(Lines(MaskTimes(r.Out))[1], BenchmarkLine("02", "2,000,000,000 C"));
  static const std::regex times(
      R"(T1: (\d\d):(\d\d)\.(\d{3}) \* T02: (\d\d):(\d\d)\.(\d{3}) .* DURATION: (\d\d):(\d\d):(\d\d)\.(\d{3}) )");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(lines[1], m, times)) << lines[1];
  const std::int64_t single = Milliseconds(m[1], m[2], m[3]);
  const std::int64_t full = Milliseconds(m[4], m[5], m[6]);
  const std::int64_t duration = Milliseconds(m[8], m[9], m[10], std::stoll(m[7]));
  EXPECT_GT(single, 0);
  EXPECT_GT(full, 0);
  EXPECT_GE(duration + 2, single + full) << lines[1];  // each part truncated to the ms
  EXPECT_LE(duration, single + full + 1000) << lines[1];
}

// ---------------------------------------------------------------------------
// Number queries

TEST(PrimalityQuery, AnswersInOneLine) {
  const struct {
    std::vector<std::string> args;
    const char* out;
  } cases[] = {
      {{"97", "--isprime"}, "Is 97 a prime number?  TRUE\n"},
      {{"97", "--isprime", "-q"}, "TRUE\n"},
      {{"1", "--isprime"}, "Is 1 a prime number?  FALSE\n"},
      {{"0", "--isprime"}, "Is 0 a prime number?  FALSE\n"},
      {{"1", "--isprime", "-q"}, "FALSE\n"},
      {{"2", "--isprime"}, "Is 2 a prime number?  TRUE\n"},
      {{"1,000,001", "--isprime"}, "Is 1,000,001 a prime number?  FALSE\n"},
      {{"1000000007", "--isprime"}, "Is 1,000,000,007 a prime number?  TRUE\n"},
      // A strong pseudoprime to base 2 and a product of two 32-bit primes.
      {{"3215031751", "--isprime"}, "Is 3,215,031,751 a prime number?  FALSE\n"},
      {{"17179869194064771037", "--isprime", "-q"}, "FALSE\n"},
      {{"2305843009213693951", "--isprime", "-q"}, "TRUE\n"},
      // The largest prime the program accepts; answered at once.
      {{"17,999,999,999,999,999,921", "--isprime"},
       "Is 17,999,999,999,999,999,921 a prime number?  TRUE\n"},
      // The parallel options play no part in the question; 1,000,000,000
      // prints no start line here.
      {{"1000000000", "--isprime", "-f"}, "Is 1,000,000,000 a prime number?  FALSE\n"},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.Out, c.out) << c.args[0];
    EXPECT_EQ(r.Err, "") << c.args[0];
    EXPECT_EQ(r.ExitCode, 0) << c.args[0];
  }
}

TEST(PrimalityQuery, NumberAboveTheMaximumIsReplaced) {
  const TProgramResult r = RunTamsel({"18000000000000000001", "--isprime"});
  EXPECT_EQ(r.ExitCode, 89);
  EXPECT_EQ(r.Err,
            "ERROR: Invalid Value Provided (18,000,000,000,000,000,001) -- Using Default "
            "Instead...\n\n");
  EXPECT_EQ(r.Out, "Is 18,000,000,000,000,000,000 a prime number?  FALSE\n");
}

// A first argument the number reader cannot take reads as 0, which the
// queries accept: the answer about the number used stands, a warning names
// what was typed and that number, and the exit code tells a script so.
TEST(NumberQueries, UnreadableNumberIsAnsweredWithAWarningAndExitCode89) {
  TFakeMachine machine(2, 2);
  const std::string rule = kDashes + "\n";
  const std::string factorsOfOne = "  1 *   1\n" + rule + "There are 1 factors of 1\n";
  const auto warning = [](const std::string& given, const char* used) {
    return "ERROR: " + given + " -- Using " + used + " Instead...\n\n";
  };
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string err;  // the whole of standard error, or part of the error screen with -t
    int exitCode;
  } cases[] = {
      {{"abc", "--isprime"}, "Is 0 a prime number?  FALSE\n",
       warning("Invalid Value Provided (abc)", "0"), 89},
      // -q leaves the answer and the warning; bits set before are replaced.
      {{"1e9+7", "--isprime", "-q"}, "FALSE\n", warning("Invalid Value Provided (1e9+7)", "0"),
       89},
      {{"abc", "--isprime", "-s", "-n"}, "Is 0 a prime number?  FALSE\n",
       warning("Invalid Value Provided (abc)", "0"), 89},
      {{"1 000 000", "--isprime"}, "Is 0 a prime number?  FALSE\n",
       warning("Invalid Value Provided (\"1 000 000\")", "0"), 89},
      // Arabic-Indic digits.
      {{"\xd9\xa1\xd9\xa0\xd9\xa0", "--isprime"}, "Is 0 a prime number?  FALSE\n",
       warning("Invalid Value Provided (\xd9\xa1\xd9\xa0\xd9\xa0)", "0"), 89},
      // Nothing before the "." is no number; "0.5" is a typed 0.
      {{".5", "--isprime"}, "Is 0 a prime number?  FALSE\n",
       warning("Invalid Value Provided (.5)", "0"), 89},
      {{"0.5", "--isprime"}, "Is 0 a prime number?  FALSE\n", "", 0},
      {{"--isprime"}, "Is 0 a prime number?  FALSE\n", warning("No Value Provided", "0"), 89},
      // The factor listing and the benchmark work on 1.
      {{"-100", "--factors"}, factorsOfOne, warning("Invalid Value Provided (-100)", "1"), 89},
      {{"1_000_000", "--primefactors"},
       "  1        *   1       \n" + rule + "There are 1 factors of 1 (with 0 total prime factors).\n",
       warning("Invalid Value Provided (1_000_000)", "1"), 89},
      {{"--factors", "-q"}, rule + "There are 1 factors of 1\n", warning("No Value Provided", "1"),
       89},
      {{"abc", "--isprime", "--benchmark"},
       "tamsel v3.2.0.340 -- Benchmark Started at ##/##/#### ##:##:##\n"
       "Prime Number Benchmark // T1: ##:##.### * T04: ##:##.### [............1 C] // DURATION: "
       "##:##:##.### // START: ##/##/#### ##:##:##.### // END: ##/##/#### ##:##:##.### // Tamsel "
       "v3.2.0.340 x64\n",
       warning("Invalid Value Provided (abc)", "1"), 89},
      // A listing that fails afterwards replaces the 89 with its own code.
      {{"abc", "--factors", "-n"},
       rule + "ERROR: Could Not Compute Factors for: 1.  Please Try a smaller number.\n",
       warning("Invalid Value Provided (abc)", "1"), 82},
      // With -t it is a syntax error, and nothing is answered.
      {{"abc", "--isprime", "-t"}, "", "\nIncorrect Value Provided: abc is not a valid number\n",
       88},
      {{"1 000", "--factors", "-t"}, "",
       "\nIncorrect Value Provided: \"1 000\" is not a valid number\n", 88},
      {{"--primefactors", "-t"}, "", "\nIncorrect Value Provided: No number was given\n", 88},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(MaskTimes(r.Out), c.out) << c.args[0];
    if (c.exitCode == 88) {
      EXPECT_TRUE(Contains(r.Err, c.err)) << r.Err;
    } else {
      EXPECT_EQ(r.Err, c.err) << c.args[0];
    }
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.args[0];
  }
}

TEST(FactorListing, PairsRuleAndSummary) {
  const std::string rule = kDashes + "\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
    int exitCode;
  } cases[] = {
      {{"12", "--factors"},
       "   1 *   12\n   2 *    6\n   3 *    4\n" + rule + "There are 6 factors of 12\n", 0},
      {{"12", "--primefactors"},
       "   1        *   12       \n"
       "   2 Prime! *    6       \n"
       "   3 Prime! *    4       \n" +
           rule + "There are 6 factors of 12 (with 2 total prime factors).\n",
       0},
      {{"12", "--factors", "--primefactors"},
       "   1        *   12       \n"
       "   2 Prime! *    6       \n"
       "   3 Prime! *    4       \n" +
           rule + "There are 6 factors of 12 (with 2 total prime factors).\n",
       0},
      // A prime square root is one pair, counted once, marked twice.
      {{"4", "--primefactors"},
       "  1        *   4       \n"
       "  2 Prime! *   2 Prime!\n" +
           rule + "There are 3 factors of 4 (with 2 total prime factors).\n",
       0},
      {{"97", "--primefactors"},
       "   1        *   97 Prime!\n" + rule +
           "There are 2 factors of 97 (with 1 total prime factors).\n",
       0},
      {{"0", "--factors"}, "  1 *   1\n" + rule + "There are 1 factors of 1\n", 0},
      {{"100,001", "--factors"},
       "       1 *   100001\n      11 *     9091\n" + rule + "There are 4 factors of 100,001\n",
       0},
      {{"100", "--factors", "-q"}, rule + "There are 9 factors of 100\n", 0},
      {{"12", "--primefactors", "-q"},
       rule + "There are 6 factors of 12 (with 2 total prime factors).\n", 0},
      {{"100", "--factors", "-n"},
       rule + "ERROR: Could Not Compute Factors for: 100.  Please Try a smaller number.\n", 82},
      // 2^62 - 257: the largest number whose pairs are examined.
      {{"4611686018427387647", "--primefactors"},
       "                    1        *   4611686018427387647       \n"
       "                   11 Prime! *    419244183493398877 Prime!\n" +
           rule +
           "There are 4 factors of 4,611,686,018,427,387,647 (with 2 total prime factors).\n",
       0},
      {{"4611686018427387648", "--factors"},
       rule +
           "ERROR: Could Not Compute Factors for: 4,611,686,018,427,387,648.  Please Try a "
           "smaller number.\n",
       82},
  };
  for (const auto& c : cases) {
    const TProgramResult r = RunTamsel(c.args);
    EXPECT_EQ(r.Out, c.out) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(r.Err, "") << c.args[0];
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.args[0] << " " << c.args[1];
  }
}

// ---------------------------------------------------------------------------
// Processor counts

TEST(CpuTopology, UncountableProcessorsEndTheRunWithTheErrorReport) {
  TFakeMachine machine(0, 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"100"}, std::vector<std::string>{"-h"},
        std::vector<std::string>{"97", "--isprime"}}) {
    const TProgramResult r = RunTamsel(args);
    EXPECT_EQ(r.ExitCode, 217) << args[0];
    EXPECT_EQ(r.Err, "") << args[0];
    EXPECT_EQ(r.Out.rfind("An unhandled exception occurred at $", 0), 0u) << r.Out;
    EXPECT_TRUE(Contains(
        r.Out, "ENumCPULibException: An Error Occured while getting the Physical CPU Count."))
        << r.Out;
    // Nothing of the run itself.
    EXPECT_FALSE(Contains(r.Out, "Search up to")) << r.Out;
    EXPECT_FALSE(Contains(r.Out, "prime number?")) << r.Out;
    EXPECT_FALSE(Contains(r.Out, "SYNTAX")) << r.Out;
  }
}

TEST(CpuTopology, EightCoresWithTwoThreadsBoundTheThreads) {
  TFakeMachine machine(8, 2);
  const TProgramResult help = RunTamsel({"-h"});
  EXPECT_EQ(help.ExitCode, 255);
  EXPECT_TRUE(Contains(help.Out, "Use parallel processing routines, selecting from 2 to 16 "
                                 "threads.\n"))
      << help.Out;
  EXPECT_TRUE(Contains(help.Out, " 1,000,000,000 -p:16\n")) << help.Out;
  // The thread notes belong to the extended screen.
  const TProgramResult extended = RunTamsel({"--h2"});
  EXPECT_EQ(extended.ExitCode, 255);
  EXPECT_TRUE(Contains(extended.Out, "-P mode on this system is: 16.\n")) << extended.Out;
  EXPECT_TRUE(Contains(extended.Out, "consider setting -P to a max of 8. e.g. -P:8\n"))
      << extended.Out;

  EXPECT_EQ(StatsFields(RunTamsel({"100000", "-p:99"}).Out),
            kHundredThousand + "P:16] // Parallel");
  EXPECT_TRUE(Contains(RunTamsel({"1000", "--benchmark"}).Out, " * T16: "));
}

}  // namespace
}  // namespace tamsel::test
