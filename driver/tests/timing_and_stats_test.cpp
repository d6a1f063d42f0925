// The texts that sum up a run: section header, timing frame, statistics
// line, benchmark line, the primality answer and the missing-parameters
// message. Times are built from fixed stamps, so no test waits.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/cmdline/core_startup.h"
#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/console/channels.h"
#include "core/console/datetime.h"
#include "core/console/syntax_error.h"
#include "driver/base/run_state.h"
#include "driver/benchmark.h"
#include "driver/main_flow.h"
#include "driver/option_table.h"
#include "driver/timing_report.h"
#include "core/cmdline/core_startup_testing.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

constexpr std::int64_t kNsPerMs = 1000000;
const std::string kDashes(75, '-');

// Stamps of 7 March 2024 from 11:27:47.250 on; the monotonic clock starts
// at an arbitrary value, as it does in a real process.
TTimeStamp StampAfter(std::int64_t elapsedMs) {
  constexpr std::int64_t kMonotonicStart = 987654321000;
  const std::int64_t totalMs = 11LL * 3600000 + 27 * 60000 + 47250 + elapsedMs;
  const auto days = static_cast<int>(totalMs / 86400000);
  const std::int64_t dayMs = totalMs % 86400000;
  TTimeStamp stamp;
  stamp.Wall = EncodeDateTime(2024, 3, 7 + days, static_cast<int>(dayMs / 3600000),
                              static_cast<int>(dayMs / 60000 % 60),
                              static_cast<int>(dayMs / 1000 % 60), static_cast<int>(dayMs % 1000));
  stamp.MonotonicNs = kMonotonicStart + elapsedMs * kNsPerMs;
  return stamp;
}

class TimingTextTest : public testing::Test {
 protected:
  void SetUp() override {
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
  }
  void TearDown() override { FormatSettings() = saved_; }

  TTimingTexts Report(const TTimeStamp& start, const TTimeStamp& end, char marker,
                      std::string& printed) {
    TChannelCapture capture;
    const TTimingTexts texts = PrintTimingReport(start, end, marker);
    printed = capture.Out();
    EXPECT_EQ(capture.Err(), "");
    return texts;
  }

 private:
  TFormatSettings saved_ = FormatSettings();
};

TEST_F(TimingTextTest, SectionHeaderIsFramedAndPrecededByAnEmptyLine) {
  TChannelCapture capture;
  PrintSectionHeader("Normal Segmented Sieve");
  EXPECT_EQ(capture.Out(), "\n" + kDashes + "\n--- Normal Segmented Sieve\n" + kDashes + "\n");
}

TEST_F(TimingTextTest, ElapsedTimeEndsInTheColumnOfTheTimes) {
  std::string printed;
  const TTimingTexts texts = Report(StampAfter(0), StampAfter(1500), '-', printed);
  EXPECT_EQ(texts.StartText, "03/07/2024 11:27:47.250");
  EXPECT_EQ(texts.EndText, "03/07/2024 11:27:48.750");
  EXPECT_EQ(texts.DurationText, "00:00:01.500");
  EXPECT_EQ(printed, kDashes +
                         "\n"
                         "Start Time ......... 03/07/2024 11:27:47.250\n"
                         "End Time ........... 03/07/2024 11:27:48.750\n"
                         "Elapsed Time ....... " +
                         std::string(11, ' ') + "00:00:01.500\n" + kDashes + "\n");
}

TEST_F(TimingTextTest, MarkerDrawsTheClosingRule) {
  for (const char marker : {'@', '+', '*'}) {
    std::string printed;
    Report(StampAfter(0), StampAfter(20), marker, printed);
    const std::string rule = std::string(75, marker) + "\n";
    ASSERT_GE(printed.size(), rule.size());
    EXPECT_EQ(printed.substr(printed.size() - rule.size()), rule);
  }
}

// Hours are counted in total, not wrapped at a day, and widen the text.
TEST_F(TimingTextTest, HundredHoursWidenTheElapsedText) {
  std::string printed;
  const std::int64_t hundredHours = 100LL * 3600000 + 7 * 60000 + 8009;
  const TTimingTexts texts = Report(StampAfter(0), StampAfter(hundredHours), '-', printed);
  EXPECT_EQ(texts.DurationText, "100:07:08.009");
  EXPECT_EQ(texts.EndText, "03/11/2024 15:34:55.259");
  EXPECT_NE(printed.find("Elapsed Time ....... " + std::string(10, ' ') + "100:07:08.009\n"),
            std::string::npos)
      << printed;
}

// The elapsed time comes from the monotonic clock: a wall clock set back
// during the run changes the shown end time but not the duration.
TEST_F(TimingTextTest, ElapsedTimeIgnoresWallClockChanges) {
  TTimeStamp end = StampAfter(2345);
  end.Wall = StampAfter(-3600000).Wall;
  std::string printed;
  const TTimingTexts texts = Report(StampAfter(0), end, '-', printed);
  EXPECT_EQ(texts.EndText, "03/07/2024 10:27:47.250");
  EXPECT_EQ(texts.DurationText, "00:00:02.345");

  TTimeStamp backwards = StampAfter(0);
  backwards.MonotonicNs -= 5 * kNsPerMs;
  EXPECT_EQ(Report(StampAfter(0), backwards, '-', printed).DurationText, "00:00:00.000");
}

TEST_F(TimingTextTest, SeparatorsFollowTheFormatSettings) {
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = '.';
  std::string printed;
  const TTimingTexts texts = Report(StampAfter(0), StampAfter(61001), '-', printed);
  EXPECT_EQ(texts.StartText, "03-07-2024 11.27.47.250");
  EXPECT_EQ(texts.DurationText, "00.01.01.001");
}

// ---------------------------------------------------------------------------

TTimingTexts FixedTiming(const std::string& duration = "00:00:01.500") {
  return {"03/07/2024 11:27:47.250", "03/07/2024 11:27:48.750", duration};
}

TEST(StatisticsLine, SearchUpToOneThousand) {
  TStatistics stats;
  stats.SearchLimit = 1000;
  stats.CountText = CountText(1000, 168, false);
  stats.Highest = 997;
  stats.Threads = 1;
  stats.Method = "Simple";
  stats.Timing = FixedTiming();
  EXPECT_EQ(StatisticsLine(stats),
            "## Prime Number Stats [S:..........1,000 T:..........168 H:............997 P:.1] "
            "// Simple // DURATION: 00:00:01.500 // START: 03/07/2024 11:27:47.250 // END: "
            "03/07/2024 11:27:48.750 // Tamsel v3.2.0.340 x64");
}

TEST(StatisticsLine, FieldsWidenInsteadOfBeingCut) {
  TStatistics stats;
  stats.SearchLimit = 18000000000000000000ULL;
  stats.CountText = CountText(stats.SearchLimit, 0, true);
  stats.Highest = 17999999999999999921ULL;
  stats.Threads = 64;
  stats.Method = "Parallel";
  stats.Timing = FixedTiming("100:07:08.009");
  EXPECT_EQ(StatisticsLine(stats),
            "## Prime Number Stats [S:18,000,000,000,000,000,000 T:................n/a "
            "H:17,999,999,999,999,999,921 P:64] // Parallel // DURATION: 100:07:08.009 // START: "
            "03/07/2024 11:27:47.250 // END: 03/07/2024 11:27:48.750 // Tamsel v3.2.0.340 x64");
}

TEST(StatisticsLine, NoCountShowsDottedNotAvailable) {
  TStatistics stats;
  stats.SearchLimit = 250000;
  stats.CountText = CountText(250000, 22044, true);
  stats.Highest = 249989;
  stats.Threads = 2;
  stats.Method = "Parallel";
  stats.Timing = FixedTiming();
  const std::string line = StatisticsLine(stats);
  EXPECT_EQ(line.substr(0, line.find(" // DURATION")),
            "## Prime Number Stats [S:........250,000 T:..........n/a H:........249,989 P:.2] "
            "// Parallel");
}

TEST(CountText, GroupedCountOrDotsForTheDigitsBeyondFour) {
  EXPECT_EQ(CountText(1000, 168, false), "168");
  EXPECT_EQ(CountText(1000000000, 50847534, false), "50,847,534");
  EXPECT_EQ(CountText(2, 0, false), "0");
  // With NoCount the count is ignored; only the limit's digits matter.
  EXPECT_EQ(CountText(2, 1, true), "n/a");
  EXPECT_EQ(CountText(9999, 1229, true), "n/a");
  EXPECT_EQ(CountText(10000, 1229, true), ".n/a");
  EXPECT_EQ(CountText(250000, 22044, true), "..n/a");
  EXPECT_EQ(CountText(18446744073709551615ULL, 5, true), std::string(16, '.') + "n/a");
}

// ---------------------------------------------------------------------------

TBenchmarkTexts BenchmarkTexts(std::int64_t singleMs, std::int64_t fullMs) {
  TBenchmarkTexts texts;
  texts.Single = FormatInterval(singleMs, false);
  texts.Full = FormatInterval(fullMs, false);
  texts.Duration = FormatInterval(singleMs + fullMs, true);
  texts.Start = "03/07/2024 11:27:47.250";
  texts.End = "03/07/2024 11:27:49.281";
  return texts;
}

class BenchmarkLineTest : public testing::Test {
 protected:
  void SetUp() override { FormatSettings().TimeSeparator = ':'; }
  void TearDown() override { FormatSettings() = saved_; }

 private:
  TFormatSettings saved_ = FormatSettings();
};

TEST_F(BenchmarkLineTest, TwoBillionOnTwoThreads) {
  EXPECT_EQ(BenchmarkLine(BenchmarkTexts(1239, 792), 2, 2000000000, false),
            "Prime Number Benchmark // T1: 00:01.239 * T02: 00:00.792 [2,000,000,000 C] // "
            "DURATION: 00:00:02.031 // START: 03/07/2024 11:27:47.250 // END: 03/07/2024 "
            "11:27:49.281 // Tamsel v3.2.0.340 x64");
}

TEST_F(BenchmarkLineTest, ThreadCountHasTwoDigits) {
  const TBenchmarkTexts texts = BenchmarkTexts(10, 5);
  EXPECT_NE(BenchmarkLine(texts, 8, 1000, false).find(" * T08: 00:00.005 ["), std::string::npos);
  EXPECT_NE(BenchmarkLine(texts, 16, 1000, false).find(" * T16: 00:00.005 ["), std::string::npos);
  EXPECT_NE(BenchmarkLine(texts, 130, 1000, false).find(" * T130: "), std::string::npos);
}

TEST_F(BenchmarkLineTest, NumberFieldAndCountMark) {
  const TBenchmarkTexts texts = BenchmarkTexts(10, 5);
  EXPECT_NE(BenchmarkLine(texts, 2, 1000000, false).find(" [....1,000,000 C] "),
            std::string::npos);
  EXPECT_NE(BenchmarkLine(texts, 2, 1000000, true).find(" [....1,000,000 N] "),
            std::string::npos);
  EXPECT_NE(BenchmarkLine(texts, 2, 1, false).find(" [............1 C] "), std::string::npos);
  EXPECT_NE(BenchmarkLine(texts, 2, 18000000000000000000ULL, false)
                .find(" [18,000,000,000,000,000,000 C] "),
            std::string::npos);
}

// Minutes are counted in total: a single pass of 100 minutes shows three
// digits and widens its field, and the duration then passes the hour.
TEST_F(BenchmarkLineTest, LongPassesWidenTheirFields) {
  const std::int64_t single = 100LL * 60000 + 1234;
  const std::string line = BenchmarkLine(BenchmarkTexts(single, 59999), 4, 1000, false);
  EXPECT_NE(line.find("// T1: 100:01.234 * T04: 00:59.999 ["), std::string::npos) << line;
  EXPECT_NE(line.find("// DURATION: 01:41:01.233 //"), std::string::npos) << line;
}

// ---------------------------------------------------------------------------

TEST(PrimalityAnswer, QuestionLineOrBareAnswer) {
  EXPECT_EQ(PrimalityAnswer(97, true, false), "Is 97 a prime number?  TRUE");
  EXPECT_EQ(PrimalityAnswer(1000001, false, false), "Is 1,000,001 a prime number?  FALSE");
  EXPECT_EQ(PrimalityAnswer(0, false, false), "Is 0 a prime number?  FALSE");
  EXPECT_EQ(PrimalityAnswer(18000000000000000000ULL, false, false),
            "Is 18,000,000,000,000,000,000 a prime number?  FALSE");
  EXPECT_EQ(PrimalityAnswer(97, true, true), "TRUE");
  EXPECT_EQ(PrimalityAnswer(1, false, true), "FALSE");
}

// The example spellings come from the help and information options that
// the program's lookups registered.
class MissingEssentialTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetCommandLineEngine();
    SyntaxMode = 2;
  }
  void TearDown() override {
    ResetCommandLineEngine();
    RunOptions = savedOptions_;
    ThreadCount = savedThreads_;
    MaxThreads = savedMax_;
    ErrorDelay = savedDelay_;
    AudibleError = savedBeep_;
  }

 private:
  TRunOptions savedOptions_ = RunOptions;
  std::int32_t savedThreads_ = ThreadCount;
  std::int32_t savedMax_ = MaxThreads;
  bool savedDelay_ = ErrorDelay;
  bool savedBeep_ = AudibleError;
};

TEST_F(MissingEssentialTest, ListsTheHelpSpellingsAfterTheProgramsLookups) {
  InitParamList({"100"});
  MaxThreads = 2;
  LookUpOptions();
  ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
  EXPECT_EQ(MissingEssentialMessage(),
            "Missing Essential Parameters (e.g. [number] -H --HELP -? --H2 --HELP2 --?? "
            "--VERSION-ONLY --BUILD-ONLY --INFO)");
}

TEST_F(MissingEssentialTest, OnlyRegisteredWordsAreOffered) {
  InitParamList({"100"});
  FindSwitch(ParamList, "H HELP ?");
  ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
  EXPECT_EQ(MissingEssentialMessage(), "Missing Essential Parameters (e.g. [number] -H --HELP -?)");
}

}  // namespace
}  // namespace tamsel
