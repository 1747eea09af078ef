#include "pack/ProgressEstimate.h"

#include <algorithm>
#include <cstdlib>
#include <fmt/format.h>
#include <numeric>

#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"
#include "pack/SimpleProgressInfo.h"

namespace {

static_assert(std::accumulate(CProgressEstimate::kStageWeights.begin(), CProgressEstimate::kStageWeights.end(),
                              std::int64_t{0}) == 100,
              "the stage weights are percent of the whole job");

// Texts of the application's string resource.
constexpr std::uint32_t kTimeHoursMinutes = 60;     // "Time remaining: ^0"
constexpr std::uint32_t kTimeMinutes = 61;          // "Time remaining: ^0 minutes"
constexpr std::uint32_t kTimeAboutOneMinute = 62;   // "Time remaining: About one minute"
constexpr std::uint32_t kTimeUnderOneMinute = 63;   // "Time remaining: Less than one minute..."
constexpr std::uint32_t kTimeEstimating = 64;       // "Time remaining: Estimating..."

// An estimate is elapsed time scaled by the share still to do, which is huge when the first
// file of a long job finishes almost at once. Bounding it (about 30,000 years) keeps every sum
// of the moving average far inside 64 bits.
constexpr double kLongestEstimateMs = 1e15;

std::string AppString(std::uint32_t item, const NSFerryman::TextArguments& arguments = {}) {
  return NSFerryman::GetString(NSFerryman::StringId(NSFerryman::kApplicationResources, item), arguments);
}

std::string WordRemaining(std::int64_t seconds) {
  const std::int64_t minutes = seconds / 60;
  if (minutes > 60) return AppString(kTimeHoursMinutes, {fmt::format("{:02d}:{:02d}", minutes / 60, minutes % 60)});
  if (seconds >= 90) return AppString(kTimeMinutes, {fmt::format("{:2d}", (seconds + 30) / 60)});
  if (seconds > 45) return AppString(kTimeAboutOneMinute);
  if (seconds >= 0) return AppString(kTimeUnderOneMinute);
  return AppString(kTimeEstimating);
}

}  // namespace

void CProgressEstimate::SetStage(std::uint32_t stage) {
  if (stage > kNoStage) throw NSFerryman::XBase("progress stage " + std::to_string(stage) + " does not exist");
  stage_ = stage;
}

void CProgressEstimate::StartJob(std::uint64_t now) {
  started_ = true;
  jobStart_ = now;
  estimate_ = 0;
  smoothedEstimate_ = 0;
  // An idle redraw between jobs does this too; a host that never redraws while idle must not
  // carry the last job's settled estimate into this one.
  stabilityCount_ = 0;
  shownSeconds_ = -1;
  timeText_.clear();
}

std::int32_t CProgressEstimate::ComputeProgress(std::int64_t done, std::uint32_t fileCount, std::uint64_t now) {
  if (stage_ >= kStageCount) return CSimpleProgressInfo::kNoProgress;
  if (fileCount == 0) return 0;
  // Files left out by the first verification still count down in later walks, so `done` can
  // pass the file count; unbounded it would push the bar into the next stage and past 1000.
  const std::int64_t n = fileCount;
  done = std::clamp<std::int64_t>(done, 0, n);
  const std::int64_t prior = n * std::accumulate(kStageWeights.begin(), kStageWeights.begin() + stage_, std::int64_t{0});
  const std::int64_t total = n * 100;
  const std::int64_t position = kStageWeights[stage_] * done + prior;
  const auto value = static_cast<std::int32_t>(position * 1000 / total);

  if (position > 0 && started_) {
    const double elapsed = static_cast<double>(static_cast<std::int64_t>(now - jobStart_));
    const double projected = std::clamp(elapsed * static_cast<double>(total) / static_cast<double>(position),
                                        -kLongestEstimateMs, kLongestEstimateMs);
    const auto newEstimate = static_cast<std::int64_t>(projected);
    if (stabilityCount_ < kSettledCount) {
      stabilityCount_ = std::llabs(estimate_ - newEstimate) < kStableWithinMs ? stabilityCount_ + 1 : 0;
    }
    estimate_ = newEstimate;
  }
  return value;
}

const std::string& CProgressEstimate::UpdateTimeText(bool busy, std::uint64_t now) {
  if (!busy) {
    stabilityCount_ = 0;
    shownSeconds_ = -1;
    timeText_.clear();
    return timeText_;
  }
  if (stabilityCount_ < kSettledCount || !started_) {
    shownSeconds_ = -1;
    smoothedEstimate_ = estimate_;
    return timeText_;
  }
  smoothedEstimate_ = (estimate_ + 15 * smoothedEstimate_) / 16;
  const std::int64_t remaining =
      (static_cast<std::int64_t>(jobStart_) + smoothedEstimate_ - static_cast<std::int64_t>(now)) / 1000;
  // Nothing worded yet (or the job has overrun its estimate): take the time as it is, however
  // short. Otherwise follow it down, and up only when it grew by more than two whole minutes.
  if (shownSeconds_ < 0 || remaining < shownSeconds_ || std::llabs(shownSeconds_ / 60 - remaining / 60) > 2) {
    shownSeconds_ = remaining;
  }
  timeText_ = WordRemaining(shownSeconds_);
  return timeText_;
}

void CProgressEstimate::Clear() {
  started_ = false;
  jobStart_ = 0;
  estimate_ = 0;
  smoothedEstimate_ = 0;
}
