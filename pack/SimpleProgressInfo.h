#pragma once
// CSimpleProgressInfo: the progress record of a pack job, what the host shows while it runs.
//
//   CSimpleProgressInfo record;
//   record.SetButtonText(stopText);
//   record.SetRemaining(fileCount);
//   record.SetStatusText(title);            // "1/5 Verifying..."
//   host.ShowProgress(record);
//   ...
//   record.SetValue(estimate.ComputeProgress(done, fileCount, now));
//
// The value is the progress of the whole job in per-mille, 0 to 1000; kNoProgress (6666) stands
// for no progress at all and shows an empty bar. The status text may hold "\r" line breaks.

#include <cstdint>
#include <string>
#include <utility>

#include "pack/ABCProgressInfo.h"

class CSimpleProgressInfo : public CABCProgressInfo {
 public:
  static constexpr std::int32_t kNoProgress = 6666;
  static constexpr std::int32_t kComplete = 1000;

  std::int32_t GetValue() const { return value_; }
  void SetValue(std::int32_t value) { value_ = value; }
  bool HasProgress() const { return value_ != kNoProgress; }

  // Files still to do in the current stage; the walks count it down. Not displayed.
  std::int32_t GetRemaining() const { return remaining_; }
  void SetRemaining(std::int32_t remaining) { remaining_ = remaining; }

  // The stage title or the line about the file being worked on.
  const std::string& GetStatusText() const { return statusText_; }
  void SetStatusText(std::string text) { statusText_ = std::move(text); }

  // The label of the button that stops the job ("Stop", or "Skip" while the final file is checked).
  const std::string& GetButtonText() const { return buttonText_; }
  void SetButtonText(std::string text) { buttonText_ = std::move(text); }

 private:
  std::int32_t value_ = 0;
  std::int32_t remaining_ = 0;
  std::string statusText_;
  std::string buttonText_;
};
