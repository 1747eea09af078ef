#pragma once
// The command line as the host of a pack job: progress on standard error (one redrawn line on a
// terminal, plain lines otherwise, none when quiet), alerts as "Title: message" lines with their
// cause below, questions asked on a terminal (without one, No), and Ctrl-C as the Stop button.
// Options answer questions in advance through the job's CPackQuestions, not here.

#include <iosfwd>
#include <memory>

#include "cli/Command.h"
#include "cli/ProgressLine.h"
#include "pack/PackJobHost.h"

class CPackJob;

namespace cli {

struct CJobHostOptions {
  bool quiet = false;         // no progress, no success message
  bool quietSuccess = false;  // no success message (a JSON summary follows instead)
};

class CCommandLineJobHost : public MPackJobHost {
 public:
  CCommandLineJobHost(Streams& streams, const CJobHostOptions& options);
  ~CCommandLineJobHost() override;

  void Attach(CPackJob& job) { job_ = &job; }

  int PresentAlert(const NSFerryman::CAlert& alert) override;
  void Redraw() override;
  void HandlePendingEvents() override;
  void ShowWarning(const std::string& text) override;
  void ShowAnswered(const NSFerryman::CAlert& question, bool yes) override;

  // The alert for a folder that gives the Hamper no Name.
  void ShowNoName();

 private:
  int Ask(const NSFerryman::CAlert& alert);

  Streams& streams_;
  CJobHostOptions options_;
  std::unique_ptr<CProgressLine> line_;
  CPackJob* job_ = nullptr;
};

// While it lives, Ctrl-C (SIGINT) only asks the job to stop, and SIGTERM or SIGHUP remove the
// partial files before the process ends.
class CStopOnInterrupt {
 public:
  CStopOnInterrupt();
  ~CStopOnInterrupt();
  CStopOnInterrupt(const CStopOnInterrupt&) = delete;
  CStopOnInterrupt& operator=(const CStopOnInterrupt&) = delete;

  // True once for each Ctrl-C since the last call.
  static bool TakeInterrupt();
};

// One alert as a line of text: "Title: message" (control characters escaped).
std::string AlertLine(const NSFerryman::CAlert& alert);

}  // namespace cli
