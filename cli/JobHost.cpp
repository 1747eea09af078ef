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

int ButtonLabelled(const NSFerryman::CAlert& alert, const std::string& label, int otherwise) {
  for (const auto& button : alert.buttons) {
    if (button.label == label) return button.result;
  }
  return otherwise;
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
  const CSimpleProgressInfo& shown = job_->GetDisplayedProgress();
  CProgressLine::CState state;
  state.stageTitle = job_->GetStageText();
  state.value = job_->IsBusy() ? shown.GetValue() : CSimpleProgressInfo::kNoProgress;
  if (shown.GetStatusText() != state.stageTitle) state.itemText = shown.GetStatusText();
  state.timeText = job_->UpdateTimeText();
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

int CCommandLineJobHost::Ask(const NSFerryman::CAlert& alert) {
  const int no = ButtonLabelled(alert, "No", NSFerryman::kAlertClosed);
  const int yes = ButtonLabelled(alert, "Yes", NSFerryman::kAlertButton1);
  if (!IsTerminal(STDIN_FILENO)) {
    streams_.err << AlertLine(alert) << "\n  (no terminal to ask: taken as No)\n";
    return no;
  }
  streams_.err << AlertLine(alert) << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    streams_.err << "\n";
    return NSFerryman::kAlertClosed;
  }
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" ? yes : no;
}

bool CCommandLineJobHost::LastAlertNamesAFailure() const {
  return lastAlert_ == jobtext::kBadFormatPackAlert || lastAlert_ == jobtext::kCannotPackAlert ||
         lastAlert_ == jobtext::kCannotVerifyAlert;
}

int CCommandLineJobHost::PresentAlert(const NSFerryman::CAlert& alert) {
  line_->Clear();
  lastAlert_ = alert.id;
  using jobtext::kBadFormatSkipAlert;
  using jobtext::kFileExistsAlert;
  using jobtext::kUnsupportedFormatSkipAlert;
  if (alert.id == kFileExistsAlert && options_.force) return ButtonLabelled(alert, "Yes", NSFerryman::kAlertButton1);
  if ((alert.id == kBadFormatSkipAlert || alert.id == kUnsupportedFormatSkipAlert) && options_.skipBad) {
    streams_.err << AlertLine(alert) << "\n  (left out: --skip-bad)\n";
    return ButtonLabelled(alert, "Yes", NSFerryman::kAlertButton1);
  }
  if (IsQuestion(alert)) return Ask(alert);
  if (alert.id == jobtext::kPackCompleteAlert && (options_.quiet || options_.quietSuccess)) {
    return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
  }
  streams_.err << AlertLine(alert) << "\n";
  return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
}

}  // namespace cli
