// The two rules the window and the recorder share: the progress bar's
// clamping and wrap, and appending a log line after whatever the operator
// typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sync/log_text.h"
#include "sync/progress_model.h"

namespace {

struct ProgressCase {
  const char* name;
  int max;
  int position;
  int steps;
  int expected;
};

class ProgressModelTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressModelTest, StepsFromAPosition) {
  const ProgressCase& c = GetParam();
  TProgressModel bar;
  bar.SetMax(c.max);
  bar.SetStep(1);
  bar.SetPosition(c.position);
  for (int i = 0; i < c.steps; ++i) bar.StepIt();
  EXPECT_EQ(bar.Position(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bar, ProgressModelTest,
    ::testing::Values(ProgressCase{"StepsUpToTheMaximum", 3, 0, 3, 3},
                      ProgressCase{"PastTheMaximumStartsAtTheMinimum", 3, 3, 1, 0},
                      ProgressCase{"GoesOnAfterTheWrap", 3, 3, 3, 2},
                      ProgressCase{"APositionAboveTheMaximumIsClamped", 3, 9, 0, 3},
                      ProgressCase{"ANegativePositionIsClamped", 3, -4, 0, 0},
                      ProgressCase{"AnEmptyRangeStaysAtItsMinimum", 0, 0, 2, 0}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

TEST(ProgressModelTest, LoweringTheMaximumPullsThePositionDown) {
  TProgressModel bar;
  bar.SetMax(10);
  bar.SetPosition(8);
  bar.SetMax(5);
  EXPECT_EQ(bar.Position(), 5);
  bar.SetMax(-3);
  EXPECT_EQ(bar.Max(), 0);
  EXPECT_EQ(bar.Position(), 0);
}

TEST(ProgressModelTest, StartsAsThePlatformControlDoes) {
  const TProgressModel bar;
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.Step(), 10);
}

TEST(AppendLogLineTest, BreaksGoAfterTheLineUnlessTheOperatorTypedPastTheLastOne) {
  struct Case {
    std::string before;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"", "x\r\n"},
      {"a\r\n", "a\r\nx\r\n"},
      {"a\r\ntyped", "a\r\ntyped\r\nx"},
      {"typed", "typed\r\nx"},
  };
  for (const Case& c : cases) {
    std::string log = c.before;
    AppendLogLine(log, "x");
    EXPECT_EQ(log, c.after) << "after \"" << c.before << "\"";
  }
  std::string log = "typed";
  AppendLogLine(log, "x");
  AppendLogLine(log, "y");
  EXPECT_EQ(log, "typed\r\nx\r\ny");
}

}  // namespace
