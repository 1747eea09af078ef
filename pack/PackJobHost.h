#pragma once
// MPackJobHost: what a front end (the window, the command line) does for a pack job. The job runs
// on the caller's thread and keeps the user interface alive through this host: it redraws the
// job's state, lets pending user events run on every progress call (a Stop button or a key only
// sets the job's stop flag then), shows alerts and hands over the splash preview.

#include <string>

#include "framework/resources/AlertHost.h"
#include "items/Bitmap32.h"

class MPackJobHost : public NSFerryman::MAlertHost {
 public:
  // Draw the job's state now: status text, time text, progress, button text, description.
  virtual void Redraw() = 0;
  // Let the user's pending events run.
  virtual void HandlePendingEvents() = 0;
  // The wait cursor around work that shows no progress of its own.
  virtual void SetWaitCursor(bool shown) { (void)shown; }
  // The decoded splash picture of the input folder; null clears the preview.
  virtual void SetSplashPreview(const CBitmap32* splash) { (void)splash; }
  // Something the user should know that does not stop the job.
  virtual void ShowWarning(const std::string& text) { (void)text; }
  // A question the job did not ask because it was answered in advance (CPackQuestions), with
  // that answer: a host that shows what happens may say so.
  virtual void ShowAnswered(const NSFerryman::CAlert& question, bool yes) {
    (void)question;
    (void)yes;
  }
};
