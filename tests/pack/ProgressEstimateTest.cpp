#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "framework/media/Exceptions.h"
#include "pack/ProgressEstimate.h"
#include "pack/SimpleProgressInfo.h"

namespace {

struct CValueCase {
  std::uint32_t stage;
  std::int64_t done;
  std::uint32_t fileCount;
  std::int32_t expected;
};

TEST(ProgressEstimateTest, ValueWeighsTheFiveStages) {
  const std::uint32_t most = std::numeric_limits<std::uint32_t>::max();
  const std::vector<CValueCase> cases = {
      {0, 0, 10, 0},      {0, 5, 10, 80},      {0, 10, 10, 160},  // verify: 16 %
      {1, 0, 10, 160},    {1, 5, 10, 420},     {1, 10, 10, 680},  // pack: 52 %
      {2, 10, 10, 700},                                           // index: 2 %
      {3, 3, 7, 738},     {3, 7, 7, 790},                         // compose: 9 %, truncated
      {4, 1, 3, 860},     {4, 3, 3, 1000},                        // final verify: 21 %
      {1, 12, 10, 680},   {2, -3, 10, 680},                       // done is kept within the stage
      {4, most, most, 1000}, {0, 1, most, 0},
      {0, 5, 0, 0},                                               // no files: no division
      {CProgressEstimate::kNoStage, 5, 10, CSimpleProgressInfo::kNoProgress},
  };
  for (const CValueCase& c : cases) {
    CProgressEstimate estimate;
    estimate.StartJob(0);
    estimate.SetStage(c.stage);
    EXPECT_EQ(estimate.ComputeProgress(c.done, c.fileCount, 1000), c.expected)
        << "stage " << c.stage << ", " << c.done << " of " << c.fileCount;
  }
}

TEST(ProgressEstimateTest, ValueRisesThroughAWholeJobToComplete) {
  CProgressEstimate estimate;
  estimate.StartJob(0);
  const std::uint32_t files = 7;
  std::int32_t last = 0;
  for (std::uint32_t stage = 0; stage < CProgressEstimate::kStageCount; ++stage) {
    estimate.SetStage(stage);
    for (std::uint32_t done = 0; done <= files; ++done) {
      const std::int32_t value = estimate.ComputeProgress(done, files, 100);
      EXPECT_GE(value, last) << "stage " << stage << ", file " << done;
      last = value;
    }
  }
  EXPECT_EQ(last, 1000);
}

TEST(ProgressEstimateTest, StagesOutsideTheTableAreRefused) {
  CProgressEstimate estimate;
  EXPECT_NO_THROW(estimate.SetStage(CProgressEstimate::kNoStage));
  EXPECT_THROW(estimate.SetStage(CProgressEstimate::kNoStage + 1), NSFerryman::XBase);
}

TEST(ProgressEstimateTest, AHugeProjectionIsBounded) {
  CProgressEstimate estimate;
  estimate.StartJob(0);
  estimate.SetStage(0);
  estimate.ComputeProgress(1, std::numeric_limits<std::uint32_t>::max(), std::uint64_t{1} << 62);
  EXPECT_GT(estimate.GetEstimate(), 0);
  EXPECT_LE(estimate.GetEstimate(), std::int64_t{1'000'000'000'000'000});
}

// Drives the estimate as a job would: the job started at time 0, stage 1 runs.
class TimeTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    estimate.StartJob(0);
    estimate.SetStage(0);
  }

  // One report after which the projected total is exactly `total` ms (a multiple of 100): with
  // 16 files, one done, the elapsed time is 1/100 of the total. Then a redraw at `now`.
  const std::string& Report(std::int64_t total, std::uint64_t now) {
    estimate.ComputeProgress(1, 16, static_cast<std::uint64_t>(total / 100));
    return estimate.UpdateTimeText(true, now);
  }

  // 76 reports of the same total: the first moves it away from 0, the next 75 settle it.
  void Settle(std::int64_t total) {
    for (int i = 0; i < 76; ++i) Report(total, 0);
    ASSERT_EQ(estimate.GetStabilityCount(), CProgressEstimate::kSettledCount);
  }

  CProgressEstimate estimate;
};

struct CWordingCase {
  std::int64_t remainingMs;
  std::string expected;
};

TEST_F(TimeTextTest, WordsTheRemainingTime) {
  const std::int64_t total = 20'000'000;
  const std::vector<CWordingCase> cases = {
      {(3 * 3600 + 5 * 60 + 30) * 1000, "Time remaining: 03:05"},
      {3660'000, "Time remaining: 01:01"},
      {3659'000, "Time remaining: 61 minutes"},
      {600'000, "Time remaining: 10 minutes"},
      {100'000, "Time remaining:  2 minutes"},
      {90'000, "Time remaining:  2 minutes"},
      {89'000, "Time remaining: About one minute"},
      {50'000, "Time remaining: About one minute"},
      {46'000, "Time remaining: About one minute"},
      {45'000, "Time remaining: Less than one minute..."},
      {30'000, "Time remaining: Less than one minute..."},
      {-5'000, "Time remaining: Estimating..."},  // the job has overrun its estimate
  };
  for (const CWordingCase& c : cases) {
    estimate.StartJob(0);
    Settle(total);
    EXPECT_EQ(estimate.UpdateTimeText(true, static_cast<std::uint64_t>(total - c.remainingMs)), c.expected)
        << c.remainingMs << " ms left";
  }
}

TEST_F(TimeTextTest, NoTextUntilSeventyFiveStableReportsAndNoneWhenIdle) {
  // 200 files of stage 1, one a second: the projected total is 1,250 s throughout.
  for (std::uint64_t file = 1; file <= 75; ++file) {
    estimate.ComputeProgress(static_cast<std::int64_t>(file), 200, file * 1000);
    EXPECT_EQ(estimate.UpdateTimeText(true, file * 1000), "") << "file " << file;
  }
  estimate.ComputeProgress(76, 200, 76'000);
  EXPECT_EQ(estimate.UpdateTimeText(true, 76'000), "Time remaining: 20 minutes");

  // The idle redraw after the job forgets the text and the settling.
  estimate.Clear();
  EXPECT_EQ(estimate.UpdateTimeText(false, 77'000), "");
  EXPECT_EQ(estimate.GetStabilityCount(), 0u);
  EXPECT_LT(estimate.GetShownSeconds(), 0);

  // A next job that ends before it settles never shows a time.
  estimate.StartJob(100'000);
  for (std::uint64_t file = 1; file <= 60; ++file) {
    estimate.ComputeProgress(static_cast<std::int64_t>(file), 200, 100'000 + file * 1000);
    EXPECT_EQ(estimate.UpdateTimeText(true, 100'000 + file * 1000), "");
  }
}

TEST_F(TimeTextTest, AJumpOfFifteenHundredMillisecondsRestartsTheSettlingUntilItIsSettled) {
  const std::int64_t total = 1'000'000;
  struct CJump {
    std::int64_t by;
    std::uint32_t count;
  };
  for (const CJump jump : {CJump{1'400, 11}, CJump{-1'400, 11}, CJump{1'500, 0}, CJump{-1'500, 0}}) {
    estimate = CProgressEstimate();
    SetUp();
    for (int i = 0; i < 11; ++i) Report(total, 0);
    ASSERT_EQ(estimate.GetStabilityCount(), 10u);
    Report(total + jump.by, 0);
    EXPECT_EQ(estimate.GetStabilityCount(), jump.count) << "jump of " << jump.by << " ms";
  }

  // Settled, a jump of any size is averaged in and worded.
  Settle(total);
  EXPECT_EQ(Report(total * 5, 0), "Time remaining: 21 minutes");
  EXPECT_EQ(estimate.GetStabilityCount(), CProgressEstimate::kSettledCount);
}

TEST_F(TimeTextTest, ShownTimeGoesDownButRisesOnlyByMoreThanTwoMinutes) {
  const std::int64_t total = 1'000'000;
  Settle(total);
  EXPECT_EQ(estimate.UpdateTimeText(true, 400'000), "Time remaining: 10 minutes");
  EXPECT_EQ(estimate.UpdateTimeText(true, 460'000), "Time remaining:  9 minutes");

  // 90 s worse: the average follows, the words stay.
  for (int i = 0; i < 200; ++i) EXPECT_EQ(Report(total + 90'000, 460'000), "Time remaining:  9 minutes");
  EXPECT_EQ(estimate.GetShownSeconds(), 540);

  // 5 minutes worse: the shown time rises, by whole steps of more than two minutes.
  for (int i = 0; i < 200; ++i) Report(total + 300'000, 460'000);
  EXPECT_GE(estimate.GetShownSeconds(), 720);
  EXPECT_LT(estimate.GetShownSeconds(), 840);
}

// A job of two minutes in all: its remaining time is worded as soon as the estimate has settled,
// and counts down to the end.
TEST_F(TimeTextTest, AShortJobShowsItsTimeOnceSettled) {
  const std::uint32_t files = 200;
  std::vector<std::string> texts;
  std::uint64_t now = 0;
  for (std::uint32_t stage = 0; stage < CProgressEstimate::kStageCount; ++stage) {
    estimate.SetStage(stage);
    for (std::uint32_t done = 1; done <= files; ++done) {
      // 6 ms per file and percent of weight: 120 s for the whole job.
      now += static_cast<std::uint64_t>(CProgressEstimate::kStageWeights[stage]) * 6;
      estimate.ComputeProgress(done, files, now);
      const std::string& text = estimate.UpdateTimeText(true, now);
      if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
  }
  EXPECT_EQ(estimate.GetEstimate(), 120'000);
  EXPECT_EQ(texts, (std::vector<std::string>{"", "Time remaining:  2 minutes", "Time remaining: About one minute",
                                             "Time remaining: Less than one minute..."}));
}

}  // namespace
