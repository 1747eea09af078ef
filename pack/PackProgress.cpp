#include "pack/PackProgress.h"

#include "platform/Clock.h"

CPackProgress::CPackProgress(MPackJobHost& host) : host_(host), clock_(&platform::MillisecondsNow) {}

std::uint64_t CPackProgress::Now() const {
  const std::uint64_t now = pauses_ > 0 ? pausedAt_ : clock_();
  return now - pausedTotal_;
}

void CPackProgress::PauseClock() {
  if (pauses_++ == 0) pausedAt_ = clock_();
}

void CPackProgress::ResumeClock() {
  if (pauses_ == 0 || --pauses_ > 0) return;
  const std::uint64_t now = clock_();
  if (now > pausedAt_) pausedTotal_ += now - pausedAt_;
}

void CPackProgress::StartJob(std::uint32_t fileCount) {
  fileCount_ = fileCount;
  estimate_.StartJob(Now());
}

void CPackProgress::EndJob() {
  displayed_.SetValue(0);
  displayed_.SetRemaining(0);
  estimate_.Clear();
  SetStage("", CProgressEstimate::kNoStage);
}

void CPackProgress::SetStage(const std::string& text, std::uint32_t stage) {
  estimate_.SetStage(stage);
  stageText_ = text;
  displayed_.SetStatusText(text);
  ShowProgress(displayed_);
}

void CPackProgress::ShowProgress(const CSimpleProgressInfo& record) {
  displayed_ = record;
  host_.Redraw();
  host_.HandlePendingEvents();
  throttle_.NoteRefresh(Now());
}

void CPackProgress::UpdateProgress(const CSimpleProgressInfo& record) {
  if (throttle_.IsRefreshDue(Now())) {
    ShowProgress(record);
    return;
  }
  displayed_ = record;
  host_.HandlePendingEvents();
}

std::int32_t CPackProgress::ComputeProgress(std::int64_t done) { return estimate_.ComputeProgress(done, fileCount_, Now()); }
