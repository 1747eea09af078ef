#include "app/ExtractionController.h"

#include <QWidget>

#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/FileDialogs.h"
#include "app/FolderDialogState.h"
#include "app/ReportFailures.h"
#include "app/TextConversion.h"
#include "browse/HamperContents.h"
#include "framework/resources/ResourceCache.h"

namespace {

// Failures named in the alert after an extraction; the rest are counted.
constexpr std::size_t kFailuresNamed = 8;

// The run's host on the worker thread: the stop flag, and progress handed to the window's thread.
// Only changes of a whole per-mille or of the item travel: many small items would otherwise flood
// the window's queue.
class CThreadHost : public MExtractionHost {
 public:
  CThreadHost(CExtractionController& owner, const std::atomic<bool>& stop) : owner_(owner), stop_(stop) {}

  bool StopRequested() override { return stop_.load(); }
  void ShowExtractionProgress(std::uint64_t done, std::uint64_t total, std::string_view item) override {
    const int perMille = total == 0 ? 0 : static_cast<int>(done * 1000 / total);
    if (perMille == lastValue_ && item == lastItem_) return;
    lastValue_ = perMille;
    lastItem_ = item;
    QMetaObject::invokeMethod(
        &owner_,
        [owner = &owner_, perMille, text = BrowserText(browsertext::kExtractingItem, {std::string(item)})] {
          emit owner->Progress(perMille, text);
        },
        Qt::QueuedConnection);
  }

 private:
  CExtractionController& owner_;
  const std::atomic<bool>& stop_;
  int lastValue_ = -1;
  std::string lastItem_;
};

}  // namespace

CExtractionController::CExtractionController(NSFerryman::MAlertHost& alerts, MFileDialogs& dialogs,
                                             CFolderDialogState& folders, QWidget* window)
    : QObject(window), alerts_(alerts), dialogs_(dialogs), folders_(folders), window_(window) {}

CExtractionController::~CExtractionController() { StopAndWait(); }

void CExtractionController::Join() {
  if (worker_.joinable()) worker_.join();
}

void CExtractionController::StopAndWait() {
  stop_ = true;
  Join();
  ++generation_;
  running_ = false;
  run_.reset();
}

void CExtractionController::ChooseFolderAndStart(const CHamperContents& contents, std::vector<std::size_t> records,
                                                 bool description) {
  if (running_ || records.empty()) return;
  const std::optional<std::string> folder =
      dialogs_.ChooseFolder(window_, NSFerryman::GetString(browsertext::kChooseExtractFolder), folders_.GetFolder());
  if (!folder) return;
  folders_.Remember(*folder);
  Start(contents, ItemsAtTheirPaths(contents, records), *folder, description);
}

void CExtractionController::Start(const CHamperContents& contents, std::vector<CExtractionItem> items, std::string folder,
                                  bool description) {
  if (running_ || items.empty()) return;
  contents_ = &contents;
  folder_ = std::move(folder);
  asked_ = items.size();
  first_ = {};
  run_.reset();
  stop_ = false;
  running_ = true;
  RunPass(std::move(items), false, description);
}

void CExtractionController::RunPass(std::vector<CExtractionItem> items, bool replace, bool description,
                                    std::vector<std::string> only) {
  Join();
  const std::uint64_t generation = generation_;
  worker_ = std::thread([this, items = std::move(items), replace, description, only = std::move(only), generation] {
    CExtractionOutcome outcome;
    std::exception_ptr failure;
    try {
      if (!run_) run_ = std::make_unique<CExtractionRun>(*contents_, folder_);
      CThreadHost host(*this, stop_);
      outcome = run_->Extract(items, replace, host);
      // The description belongs to the whole Hamper; a stop leaves it out.
      if (description && !outcome.stopped && (!replace || !only.empty())) {
        CExtractionOutcome files = run_->ExtractDescription(replace, only);
        outcome.failed.insert(outcome.failed.end(), files.failed.begin(), files.failed.end());
        outcome.keptDescription = std::move(files.keptDescription);
        outcome.descriptionWritten = files.descriptionWritten;
      }
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        this,
        [this, outcome = std::move(outcome), failure, replace, generation]() mutable {
          if (generation == generation_) OnPassDone(std::move(outcome), failure, replace);
        },
        Qt::QueuedConnection);
  });
}

void CExtractionController::OnPassDone(CExtractionOutcome outcome, std::exception_ptr failure, bool replace) {
  Join();
  if (failure) {
    QString what;
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      what = DisplayText(e.what());
    }
    Finish(BrowserText(browsertext::kExtractionFailed, {what.toStdString()}));
    // Shown as the framework's alert for it, as any failure of a command.
    ReportFailures(alerts_, [&] { std::rethrow_exception(failure); });
    return;
  }
  const CExtractionOutcome* second = nullptr;
  if (!replace) {
    first_ = std::move(outcome);
    // Asked once the others are written, so that the question names them all (description files
    // that are there with the items).
    const std::size_t there = first_.kept.size() + first_.keptDescription.size();
    if (there > 0 && !first_.stopped &&
        NSFerryman::ShowAlertDefaultingToFirst(alerts_, browsertext::kReplaceExtractedAlert,
                                               {std::to_string(there), folder_}) == NSFerryman::kAlertButton1) {
      RunPass(first_.kept, true, !first_.keptDescription.empty(), first_.keptDescription);
      return;
    }
  } else {
    second = &outcome;
  }

  std::vector<CExtractionFailure> failed = first_.failed;
  std::size_t written = first_.written.size();
  std::size_t kept = first_.kept.size() + first_.keptDescription.size();
  bool stopped = first_.stopped;
  std::size_t notTried = first_.notTried;
  if (second) {
    failed.insert(failed.end(), second->failed.begin(), second->failed.end());
    written += second->written.size();
    kept = second->kept.size() + second->keptDescription.size();
    stopped = stopped || second->stopped;
    notTried += second->notTried;
  }
  const std::vector<std::string> counts = {std::to_string(written), folder_, std::to_string(kept),
                                           std::to_string(failed.size())};
  if (stopped) {
    std::vector<std::string> withNotTried = counts;
    withNotTried.push_back(std::to_string(notTried));
    Finish(BrowserText(browsertext::kExtractionStopped, withNotTried));
  } else {
    Finish(BrowserText(browsertext::kExtracted, counts));
  }
  if (!failed.empty()) {
    std::string lines;
    for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i) {
      lines += (i ? "\r" : "") + failed[i].path + ": " + failed[i].problem;
    }
    if (failed.size() > kFailuresNamed) lines += "\r...";
    NSFerryman::ShowAlert(alerts_, browsertext::kNotExtractedAlert,
                          {std::to_string(failed.size()), std::to_string(asked_), lines});
  }
}

void CExtractionController::Finish(const QString& summary) {
  running_ = false;
  run_.reset();
  emit Finished(summary);
}
