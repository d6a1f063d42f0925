#include "driver/help.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/console/channels.h"
#include "driver/base/run_state.h"
#include "tests/support/run_program.h"
#include "tests/support/screens.h"
#include "core/console/channels_testing.h"

namespace tamsel {
namespace {

using test::FullHelp;
using test::ShortHelp;
using Text = test::TLines;

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
  EXPECT_EQ(Help(false), FullHelp("tamsel", 8, 4, true));
}

TEST_F(ShowHelpTest, PlainFormStopsAfterTheExamplesWithoutTheErrorOptions) {
  EXPECT_EQ(Help(false), FullHelp("tamsel", 8, 4, false));
}

TEST_F(ShowHelpTest, ShortFormIsTheSyntaxAndAPointerWhateverVerboseSays) {
  EXPECT_EQ(Help(true), ShortHelp("tamsel"));
  RunOptions.Verbose = true;
  EXPECT_EQ(Help(true), ShortHelp("tamsel"));
}

TEST_F(ShowHelpTest, SingleProcessorMachineHasNoThreadLines) {
  MaxThreads = 1;
  RunOptions.Verbose = true;
  const Text help = Help(false);
  EXPECT_EQ(help, FullHelp("tamsel", 1, 4, true));
  EXPECT_EQ(help.size(), FullHelp("tamsel", 8, 4, true).size() - 9);
}

TEST_F(ShowHelpTest, EveryMentionUsesTheProgramsOwnName) {
  ProgramName = "Primes";
  RunOptions.Verbose = true;
  EXPECT_EQ(Help(false), FullHelp("Primes", 8, 4, true));
}

TEST_F(ShowHelpTest, TitleIsFramedByDashesOfItsLength) {
  TChannelCapture capture;
  PrintTitle("AB C");
  PrintTitle("");
  EXPECT_EQ(capture.Out(), "----\nAB C\n----\n\n\n\n");
}

}  // namespace
}  // namespace tamsel
