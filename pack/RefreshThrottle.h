#pragma once
// CRefreshThrottle: decides when a progress display is redrawn in full. A long job reports
// progress far more often than anyone can read it; a full redraw at most every 200 ms keeps the
// job fast, while the host still handles its pending events on every report so that a stop
// request is seen at once.
//
//   void UpdateProgress(const CSimpleProgressInfo& record) {
//     displayed_ = record;
//     if (throttle_.IsRefreshDue(now)) ShowProgress(record);  // redraws, then NoteRefresh(now)
//     else host_.HandlePendingEvents();
//   }
//
// Times are milliseconds of one steady clock (platform::MillisecondsNow in real use).

#include <cstdint>
#include <optional>

class CRefreshThrottle {
 public:
  static constexpr std::uint64_t kIntervalMs = 200;

  // True when no refresh has been noted yet, or more than 200 ms have passed since the last one.
  bool IsRefreshDue(std::uint64_t now) const;

  // A full refresh happened at `now`.
  void NoteRefresh(std::uint64_t now) { lastRefresh_ = now; }

  // Forgets the last refresh, so that the next report is shown in full.
  void Reset() { lastRefresh_.reset(); }

 private:
  std::optional<std::uint64_t> lastRefresh_;
};
