#include "cli/JobHost.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>

#include "cli/Terminal.h"
#include "cli/TerminalText.h"
#include "framework/media/PartialOutputRegistry.h"
#include "framework/resources/ResourceId.h"
#include "pack/JobTexts.h"
#include "pack/PackJob.h"
#include "platform/Clock.h"

namespace cli {
namespace {

std::atomic<bool> gInterrupted{false};

// The first Ctrl-C asks the job to stop at its next check; one more, before it has, ends the
// process at once (removing the partial files).
extern "C" void OnInterrupt(int) {
  gInterrupted.store(true);
  NSFerryman::InstallPartialOutputRemovalFor(SIGINT);
}

bool IsQuestion(const NSFerryman::CAlert& alert) { return alert.buttons.size() > 1; }

}  // namespace

std::string AlertLine(const NSFerryman::CAlert& alert) {
  std::string message;
  const std::string text = alert.MessageWithLineBreaks("\n");
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    message += EscapeForTerminal(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    message += ' ';
    start = end + 1;
  }
  return alert.title.empty() ? message : EscapeForTerminal(alert.title) + ": " + message;
}

CStopOnInterrupt::CStopOnInterrupt() {
  gInterrupted = false;
  NSFerryman::InstallPartialOutputRemoval();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

CStopOnInterrupt::~CStopOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool CStopOnInterrupt::TakeInterrupt() {
  if (!gInterrupted.exchange(false)) return false;
  // Taken: the next Ctrl-C is a stop request again.
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  return true;
}

CCommandLineJobHost::CCommandLineJobHost(Streams& streams, const CJobHostOptions& options)
    : streams_(streams), options_(options) {
  const bool terminal = &streams.err == &std::cerr && IsTerminal(STDERR_FILENO);
  const auto mode = options.quiet ? CProgressLine::EMode::kQuiet
                                  : terminal ? CProgressLine::EMode::kTerminal : CProgressLine::EMode::kPlainLines;
  line_ = std::make_unique<CProgressLine>(streams.err, mode, TerminalWidth(STDERR_FILENO));
}

CCommandLineJobHost::~CCommandLineJobHost() = default;

void CCommandLineJobHost::Redraw() {
  if (!job_) return;
  CPackProgress& progress = job_->Progress();
  const CSimpleProgressInfo& shown = progress.GetDisplayed();
  CProgressLine::CState state;
  state.stageTitle = progress.GetStageText();
  state.value = job_->IsBusy() ? shown.GetValue() : CSimpleProgressInfo::kNoProgress;
  if (shown.GetStatusText() != state.stageTitle) state.itemText = shown.GetStatusText();
  state.timeText = progress.UpdateTimeText(job_->IsBusy());
  if (state.stageTitle.empty()) {
    line_->Finish();
    return;
  }
  line_->Show(state, platform::MillisecondsNow());
}

void CCommandLineJobHost::HandlePendingEvents() {
  if (job_ && CStopOnInterrupt::TakeInterrupt()) job_->PressStopButton();
}

void CCommandLineJobHost::ShowWarning(const std::string& text) {
  line_->Clear();
  streams_.err << "hamper: warning: " << EscapeForTerminal(text) << "\n";
}

void CCommandLineJobHost::ShowNoName() { NSFerryman::ShowAlert(*this, jobtext::kNoNameAlert); }

namespace {

// The cause behind an alert, on a line of its own below it.
std::string DetailsLine(const NSFerryman::CAlert& alert) {
  return alert.details.empty() ? std::string() : "  (" + EscapeForTerminal(alert.details) + ")\n";
}

// The answer a question's buttons give for "Yes" and for "No" (or closing it).
int ButtonFor(const NSFerryman::CAlert& alert, bool yes) {
  // Questions are [No][Yes]: button 1, the last, is Yes.
  if (yes) return NSFerryman::kAlertButton1;
  return alert.buttons.size() > 1 ? alert.buttons.front().result : NSFerryman::kAlertClosed;
}

}  // namespace

int CCommandLineJobHost::Ask(const NSFerryman::CAlert& alert) {
  if (!IsTerminal(STDIN_FILENO)) {
    streams_.err << AlertLine(alert) << "\n" << DetailsLine(alert) << "  (no terminal to ask: taken as No)\n";
    return ButtonFor(alert, false);
  }
  streams_.err << AlertLine(alert) << "\n" << DetailsLine(alert) << "[y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    streams_.err << "\n";
    return NSFerryman::kAlertClosed;
  }
  return ButtonFor(alert, answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes");
}

int CCommandLineJobHost::PresentAlert(const NSFerryman::CAlert& alert) {
  line_->Clear();
  if (IsQuestion(alert)) return Ask(alert);
  if (alert.id == jobtext::kPackCompleteAlert && (options_.quiet || options_.quietSuccess)) {
    return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
  }
  streams_.err << AlertLine(alert) << "\n" << DetailsLine(alert);
  return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
}

void CCommandLineJobHost::ShowAnswered(const NSFerryman::CAlert& question, bool yes) {
  line_->Clear();
  streams_.err << AlertLine(question) << "\n" << DetailsLine(question) << "  (" << (yes ? "Yes" : "No")
               << ", answered in advance)\n";
}

}  // namespace cli
