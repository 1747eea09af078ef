#pragma once
// CPackProgress: what a pack job shows while it runs, and how it keeps its host alive: the
// displayed record (status text, per-mille value, button text), the job's own record that walks
// the files, the stage, the estimate of the time remaining and the refresh throttle. The job
// drives it; the hosts (the window, the command line) read it on every redraw.
//
//   progress.SetStage("Packing files...", 1);          // shows the stage text at once
//   record.SetValue(progress.ComputeProgress(done));
//   progress.UpdateProgress(record);                    // redrawn at most every 200 ms
//   const std::string& time = progress.UpdateTimeText(job.IsBusy());
//
// The job's clock stands still while the job waits on the user (PauseClock/ResumeClock around a
// question): a minute spent reading a question is no minute of work, and counting it would make
// the estimate of the time remaining wrong for the rest of the job.

#include <cstdint>
#include <functional>
#include <string>

#include "pack/PackJobHost.h"
#include "pack/ProgressEstimate.h"
#include "pack/RefreshThrottle.h"
#include "pack/SimpleProgressInfo.h"

class CPackProgress {
 public:
  using Clock = std::function<std::uint64_t()>;

  explicit CPackProgress(MPackJobHost& host);

  // Milliseconds of a steady clock; tests drive time through their own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  // The job's time: the clock less the time spent waiting on the user.
  std::uint64_t Now() const;
  // Nested pairs; the clock runs again when the outermost pair ends.
  void PauseClock();
  void ResumeClock();

  // A job begins (after counting its files) and ends (well or not).
  void StartJob(std::uint32_t fileCount);
  void EndJob();
  std::uint32_t GetFileCount() const { return fileCount_; }
  void SetFileCount(std::uint32_t count) { fileCount_ = count; }

  // Sets the stage, puts its text into the displayed record and shows it at once.
  void SetStage(const std::string& text, std::uint32_t stage);
  // Copies the record into the displayed one and redraws now; lets pending events run.
  void ShowProgress(const CSimpleProgressInfo& record);
  // The same, redrawn only when a refresh is due; pending events run every time.
  void UpdateProgress(const CSimpleProgressInfo& record);
  // The per-mille value of the whole job when `done` files of the current stage are finished.
  std::int32_t ComputeProgress(std::int64_t done);

  // The job's own record, which its walks count down and show.
  CSimpleProgressInfo& Record() { return record_; }
  // What a host shows.
  const CSimpleProgressInfo& GetDisplayed() const { return displayed_; }
  CSimpleProgressInfo& Displayed() { return displayed_; }
  // The text of the stage that runs ("Packing files..."), empty when none.
  const std::string& GetStageText() const { return stageText_; }
  // The time-remaining line, computed anew on each call (hosts call it on every redraw).
  const std::string& UpdateTimeText(bool busy) { return estimate_.UpdateTimeText(busy, Now()); }
  const CProgressEstimate& GetEstimate() const { return estimate_; }
  // Forgets the button text of the last job, so that a new job shows no Stop or Skip label until
  // it sets its own.
  void ClearButtonText() { displayed_.SetButtonText(""); }

 private:
  MPackJobHost& host_;
  Clock clock_;
  int pauses_ = 0;
  std::uint64_t pausedAt_ = 0;
  std::uint64_t pausedTotal_ = 0;

  CSimpleProgressInfo displayed_;
  CSimpleProgressInfo record_;
  CProgressEstimate estimate_;
  CRefreshThrottle throttle_;
  std::string stageText_;
  std::uint32_t fileCount_ = 0;
};
