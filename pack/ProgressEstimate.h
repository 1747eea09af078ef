#pragma once
// CProgressEstimate: how far a pack job is, as one per-mille value over its five weighted
// stages, and how long it still needs, as a line of text. No user interface and no clock of its
// own: the caller passes the time, in milliseconds of one steady clock, to every operation.
//
//   estimate.StartJob(now);                       // once the packable files are counted
//   estimate.SetStage(0);                         // stage 1 begins
//   record.SetValue(estimate.ComputeProgress(filesDone, fileCount, now));
//   statusLine = estimate.UpdateTimeText(busy, now);   // on every redraw
//   ...
//   estimate.Clear();                             // the job has ended, well or not
//
// The estimate of the total duration counts as settled after 75 consecutive reports that each
// moved it by less than 1,500 ms; until then no time is worded. From then on the worded time
// follows a moving average of the estimate, goes down as the job proceeds and never counts up
// by a minute or two when the estimate worsens slightly.

#include <array>
#include <cstdint>
#include <string>

class CProgressEstimate {
 public:
  // Stages 0 to 4 are the numbered stages 1 to 5; kNoStage while no numbered stage runs.
  static constexpr std::uint32_t kStageCount = 5;
  static constexpr std::uint32_t kNoStage = 5;
  // Percent of the whole job that each stage stands for: verify, pack, index, compose, verify final.
  static constexpr std::array<std::int64_t, kStageCount> kStageWeights = {16, 52, 2, 9, 21};
  static constexpr std::uint32_t kSettledCount = 75;
  static constexpr std::int64_t kStableWithinMs = 1500;

  // XBase for a stage above kNoStage.
  void SetStage(std::uint32_t stage);
  std::uint32_t GetStage() const { return stage_; }

  // The time base of the estimate: the job's work begins now. Forgets the worded time and the
  // settling of a previous job.
  void StartJob(std::uint64_t now);
  bool IsStarted() const { return started_; }

  // The per-mille value of the whole job when `done` of the `fileCount` files of the current
  // stage are finished, and a new estimate of the total duration from the time taken so far.
  // `done` is taken within 0 to fileCount, so that a stage never reaches into the next one.
  // With no numbered stage it gives CSimpleProgressInfo::kNoProgress; with no files, 0; in both
  // cases, and before StartJob, the estimate is left as it is.
  std::int32_t ComputeProgress(std::int64_t done, std::uint32_t fileCount, std::uint64_t now);

  // The time-remaining line for a redraw at `now` (strings 60 to 64 of the application's
  // resources). While not busy it is empty and the settling starts again; until the estimate has
  // settled it stays as it was (empty at the start of a job).
  const std::string& UpdateTimeText(bool busy, std::uint64_t now);
  const std::string& GetTimeText() const { return timeText_; }

  // The job has ended: the estimate, its average and the time base are cleared.
  void Clear();

  // The projected total duration of the job in milliseconds, as last computed.
  std::int64_t GetEstimate() const { return estimate_; }
  std::int64_t GetSmoothedEstimate() const { return smoothedEstimate_; }
  // Consecutive estimates within 1,500 ms of the one before; it stops counting at 75.
  std::uint32_t GetStabilityCount() const { return stabilityCount_; }
  // The remaining seconds currently worded; negative when none are.
  std::int64_t GetShownSeconds() const { return shownSeconds_; }

 private:
  std::uint32_t stage_ = kNoStage;
  bool started_ = false;
  std::uint64_t jobStart_ = 0;
  std::int64_t estimate_ = 0;
  std::uint32_t stabilityCount_ = 0;
  std::int64_t smoothedEstimate_ = 0;
  std::int64_t shownSeconds_ = -1;
  std::string timeText_;
};
