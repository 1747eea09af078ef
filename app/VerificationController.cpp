#include "app/VerificationController.h"

#include <QWidget>

#include "app/BackgroundVerification.h"
#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/FileDialogs.h"
#include "app/TextConversion.h"
#include "browse/HamperContents.h"
#include "browse/ItemKind.h"
#include "framework/resources/ResourceCache.h"
#include "pack/OrderedPipeline.h"
#include "pack/SLCLibraryState.h"

namespace {

// Alerts shown while the sliced-loop library is loaded for a verification: the verification
// reports the failure itself, in the window's status line.
class CQuietAlerts : public NSFerryman::MAlertHost {
 public:
  int PresentAlert(const NSFerryman::CAlert&) override { return NSFerryman::kAlertButton1; }
};

}  // namespace

CVerificationController::CVerificationController(CDatabase& database, CSLCLibraryState& slc, MFileDialogs& dialogs,
                                                 QWidget* window)
    : QObject(window), database_(database), slc_(slc), dialogs_(dialogs), window_(window) {
  worker_ = new CBackgroundVerification(this);
  connect(worker_, &CBackgroundVerification::Progress, this, [this](int perMille, const QString& item) {
    emit Progress(perMille, BrowserText(browsertext::kVerifyingItem, {item.toStdString()}));
  });
  connect(worker_, &CBackgroundVerification::Finished, this,
          [this](const std::shared_ptr<const CHamperVerificationReport>& report, QString failure) {
            worker_->Wait();
            if (!report) {
              // Named as the user knows the file, not by the path it was read through.
              failure.replace(PathText(readablePath_), PathText(path_));
              emit Finished(false, {}, BrowserText(browsertext::kVerifyFailed, {failure.toStdString()}));
              return;
            }
            std::map<std::size_t, std::string> failures;
            for (const CHamperItemFailure& f : report->failures) failures.emplace(f.record, f.problem);
            const std::string count = std::to_string(report->header.GetEntryCount());
            QString status;
            if (!report->libraryProblem.empty()) {
              status = BrowserText(browsertext::kVerifyFailed, {report->libraryProblem});
            } else if (!report->failures.empty()) {
              const CHamperItemFailure& first = report->failures.front();
              status = BrowserText(browsertext::kSomeFailed,
                                   {std::to_string(report->failures.size()), count, first.path + ": " + first.problem});
            } else if (report->stopped) {
              status = BrowserText(browsertext::kVerifyStopped, {std::to_string(report->checked), count});
            } else if (source_.empty()) {
              status = BrowserText(browsertext::kAllSound, {count});
            } else {
              status = BrowserText(browsertext::kAllSoundWithSource, {count, source_});
            }
            emit Finished(true, std::move(failures), status);
          });
}

CVerificationController::~CVerificationController() { StopAndWait(); }

bool CVerificationController::IsRunning() const { return worker_->IsRunning(); }

void CVerificationController::RequestStop() { worker_->RequestStop(); }

void CVerificationController::StopAndWait() {
  worker_->RequestStop();
  worker_->Wait();
}

void CVerificationController::ChooseSourceAndStart(const CHamperContents& contents) {
  const std::optional<std::string> folder =
      dialogs_.ChooseFolder(window_, NSFerryman::GetString(browsertext::kChooseSourceFolder), source_);
  if (folder) Start(contents, *folder);
}

void CVerificationController::Start(const CHamperContents& contents, const std::string& source) {
  if (IsRunning() || !contents.HasDescription()) return;
  const CHamperIndex& index = contents.Index();
  bool slicedLoops = false;
  for (std::size_t r = 0; r < index.Size() && !slicedLoops; ++r) slicedLoops = IsSlicedLoopItemType(index.ItemType(r));
  if (slicedLoops) {
    // Loaded here, on the window's thread, where the pack job loads it too; a failure is the
    // verification's to report.
    CQuietAlerts quiet;
    try {
      slc_.EnsureSLCLibrary(quiet);
    } catch (const NSFerryman::XAlertAlreadyShown&) {
    }
  }
  source_ = source;
  path_ = contents.Path();
  try {
    readablePath_ = contents.ReadablePath();
  } catch (const std::exception& e) {
    emit Finished(false, {}, BrowserText(browsertext::kVerifyFailed, {e.what()}));
    return;
  }
  CHamperVerificationSettings settings;
  settings.database = &database_;
  settings.slc = &slc_;
  settings.source = source;
  settings.workers = COrderedPipeline::DefaultWorkers();
  worker_->Start(readablePath_, settings);
}
