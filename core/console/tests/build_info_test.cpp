#include "core/console/build_info.h"

#include <gtest/gtest.h>

#include "core/console/channels.h"
#include "core/console/datetime.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

class ShowBuildInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings();
    BuildInfoShown = false;
    FillFileNames(info_, "/opt/tamsel/Tamsel.bin", false);
    info_.VersionTitle = "Tamsel v3.2.0";
    info_.FileTitle = "Tamsel.bin v3.2.0.340";
    info_.Description = "Finds primes";
    info_.Copyright = "Copyright line";
    info_.AuthorLine = "Author line";
  }
  void TearDown() override {
    FormatSettings() = saved_;
    BuildInfoShown = false;
  }
  std::string Show(bool build, bool banner) {
    TChannelCapture capture;
    ShowBuildInfo(info_, build, banner, stamp_);
    EXPECT_EQ(capture.Out(), "");
    return capture.Err();
  }

  TFileVersionInfoRec info_;
  TBuildStamp stamp_ = MakeBuildStamp("Mar  7 2024", "11:27:47", "g++ 12.2.0");
  TFormatSettings saved_;
};

constexpr const char* kBanner =
    "Tamsel v3.2.0 x64 (07 Mar 2024) - Finds primes\n"
    "Copyright line\n"
    "Author line\n"
    "\n";
constexpr const char* kBuildLine =
    "Tamsel.bin v3.2.0.340 x64 was compiled on 07 Mar 2024 @ 11:00:00 using g++ 12.2.0\n";

TEST_F(ShowBuildInfoTest, BannerAndBuildLineEachCloseWithAnEmptyLine) {
  EXPECT_EQ(Show(true, true), std::string(kBanner) + kBuildLine + "\n");
}

TEST_F(ShowBuildInfoTest, BannerAlone) { EXPECT_EQ(Show(false, true), kBanner); }

TEST_F(ShowBuildInfoTest, BuildLineAloneHasNoEmptyLineAfterIt) {
  EXPECT_EQ(Show(true, false), kBuildLine);
}

TEST_F(ShowBuildInfoTest, PrintsOnlyOnTheFirstCallOfTheRun) {
  Show(false, true);
  EXPECT_EQ(Show(true, true), "");
}

TEST_F(ShowBuildInfoTest, SwitchesTheDateSeparatorForGoodAndKeepsTheShortDatePattern) {
  FormatSettings().DateSeparator = '.';
  FormatSettings().ShortDateFormat = "dd/mm/yyyy";
  EXPECT_EQ(Show(true, false), kBuildLine);
  EXPECT_EQ(FormatSettings().DateSeparator, '/');
  EXPECT_EQ(FormatSettings().ShortDateFormat, "dd/mm/yyyy");
  Show(true, false);  // a later call changes the separator too, without printing
  EXPECT_EQ(FormatSettings().DateSeparator, '/');
}

TEST_F(ShowBuildInfoTest, AnUnreadableStampIsShownAsItCame) {
  stamp_ = MakeBuildStamp("??? ?? ????", "??:??:??", "cc");
  EXPECT_EQ(Show(true, false),
            "Tamsel.bin v3.2.0.340 x64 was compiled on ??? ?? ???? ??:??:?? using cc\n");
}

TEST(BuildStampTest, CompilerTextsBecomeSortableDates) {
  const TBuildStamp early = MakeBuildStamp("Jan  1 2025", "00:00:00", "x");
  EXPECT_EQ(early.Date, "2025/01/01");
  EXPECT_EQ(early.DateTime, "2025/01/01 00:00:00");
  const TBuildStamp late = MakeBuildStamp("Dec 31 1999", "23:59:59", "clang++ 14.0.6");
  EXPECT_EQ(late.Date, "1999/12/31");
  EXPECT_EQ(late.Toolchain, " using clang++ 14.0.6");
  EXPECT_EQ(MakeBuildStamp("Oct 10 2023", "", "").Date, "2023/10/10");
}

TEST(BuildStampTest, ThisProgramsStampIsReadable) {
  const TBuildStamp& stamp = ProgramBuildStamp();
  ASSERT_EQ(stamp.DateTime.size(), 19u);
  EXPECT_EQ(stamp.DateTime.substr(0, 10), stamp.Date);
  EXPECT_EQ(stamp.Toolchain.rfind(" using ", 0), 0u);
}

}  // namespace
}  // namespace tamsel
