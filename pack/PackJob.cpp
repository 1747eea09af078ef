#include "pack/PackJob.h"

#include <algorithm>
#include <filesystem>

#include "container/HamperFile.h"
#include "container/HamperHeader.h"
#include "container/HamperWriter.h"
#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"
#include "items/ItemOperations.h"
#include "pack/FinalVerification.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/JobTexts.h"
#include "pack/NameTwins.h"
#include "pack/PackInputs.h"
#include "references/Database.h"

using NSFerryman::GetString;
using NSFerryman::XAlertAlreadyShown;
using NSFerryman::XUserCancelled;
using EReplace = NSFerryman::CAtomicOutputFile::EReplace;

// The job's alerts reach its host through this: the job's clock stands still while the user
// answers, and the last alert is kept for the report.
class CPackJob::CQuestionAlerts : public NSFerryman::MAlertHost {
 public:
  explicit CQuestionAlerts(CPackJob& job) : job_(job) {}
  int PresentAlert(const NSFerryman::CAlert& alert) override {
    job_.lastAlert_ = alert;
    job_.progress_.PauseClock();
    struct CResume {
      CPackProgress& progress;
      ~CResume() { progress.ResumeClock(); }
    } resume{job_.progress_};
    return job_.host_.PresentAlert(alert);
  }

 private:
  CPackJob& job_;
};

NSFerryman::MAlertHost& CPackJob::Alerts() const { return *alerts_; }

namespace {

// Reports each folder a walk passes to the status line, and answers whether to stop.
class CScanCallback : public CABCCallbackInterface {
 public:
  CScanCallback(CPackJob& job, NSFerryman::ResourceId text) : job_(job), text_(text) {}
  bool Callback(const std::string& folderName) override {
    CPackProgress& progress = job_.Progress();
    progress.Displayed().SetStatusText(GetString(text_, {folderName}));
    progress.ShowProgress(progress.GetDisplayed());
    return job_.TakeStopRequest();
  }

 private:
  CPackJob& job_;
  NSFerryman::ResourceId text_;
};

std::string AlertText(const NSFerryman::CAlert& alert) {
  const std::string message = alert.MessageWithLineBreaks(" ");
  return alert.title.empty() ? message : alert.title + ": " + message;
}

}  // namespace

CPackJob::CPackJob(MPackJobHost& host, CDatabase& database, CSLCLibraryState& slc)
    : host_(host), database_(database), slc_(slc), alerts_(std::make_unique<CQuestionAlerts>(*this)), progress_(host) {}

CPackJob::~CPackJob() = default;

// ---- stop requests ----

void CPackJob::PressStopButton() {
  if (busy_) stopRequested_ = true;
}

void CPackJob::RequestStop() {
  if (stopRequested_ || !busy_) return;
  if (NSFerryman::ShowAlert(*alerts_, jobtext::kStopPackAlert) == NSFerryman::kAlertButton1) stopRequested_ = true;
}

void CPackJob::StopWithoutAsking() {
  // Only while a job runs: a stop left pending while idle would end the next job silently.
  if (busy_) stopRequested_ = true;
}

bool CPackJob::TakeStopRequest() { return stopRequested_.exchange(false); }

// ---- progress ----

void CPackJob::SetStage(NSFerryman::ResourceId text, std::uint32_t stage) { progress_.SetStage(GetString(text), stage); }

void CPackJob::EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                          std::uint64_t count) {
  SetStage(stageText, stageIndex);
  CSimpleProgressInfo& record = progress_.Record();
  record.SetRemaining(static_cast<std::int32_t>(count));
  record.SetStatusText(GetString(title));
  progress_.ShowProgress(record);
}

void CPackJob::ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) {
  CSimpleProgressInfo& record = progress_.Record();
  record.SetStatusText(GetString(text, arguments));
  progress_.UpdateProgress(record);
}

void CPackJob::ShowProgress(std::uint64_t count, std::uint64_t entriesDone, std::uint64_t /*entriesTotal*/) {
  CSimpleProgressInfo& record = progress_.Record();
  record.SetRemaining(static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX)));
  record.SetValue(progress_.ComputeProgress(static_cast<std::int64_t>(entriesDone)));
  progress_.UpdateProgress(record);
}

void CPackJob::FileStepDone() {
  CSimpleProgressInfo& record = progress_.Record();
  record.SetRemaining(record.GetRemaining() - 1);
  record.SetValue(progress_.ComputeProgress(static_cast<std::int64_t>(progress_.GetFileCount()) - record.GetRemaining()));
  progress_.UpdateProgress(record);
}

// ---- questions ----

bool CPackJob::Ask(EAnswer answer, NSFerryman::ResourceId alert, const std::vector<std::string>& arguments,
                   const std::string& details) {
  if (answer == EAnswer::kAsk) return NSFerryman::ShowAlert(*alerts_, alert, arguments, details) == NSFerryman::kAlertButton1;
  // Answered in advance: the host is told what was asked and answered, and nothing waits.
  NSFerryman::CAlert question = NSFerryman::ParseAlert(NSFerryman::GetAlertScript(alert), arguments);
  question.id = alert;
  question.details = details;
  lastAlert_ = question;
  host_.ShowAnswered(question, answer == EAnswer::kYes);
  return answer == EAnswer::kYes;
}

// ---- the job ----

void CPackJob::RunPackJob() {
  if (!inputFolder_) throw NSFerryman::XFileNotFound("no input folder chosen");
  if (!outputFile_) throw NSFerryman::XFileNotFound("no output file chosen");
  report_ = CPackReport();
  report_.inputFolder = inputFolder_->GetPath();
  report_.output = outputFile_->GetFullPath();
  lastAlert_ = NSFerryman::CAlert();
  const std::uint64_t started = progress_.Now();
  try {
    // 1. The sliced-loop library.
    slc_.EnsureSLCLibrary(*alerts_);
    PrepareOutput();
    // 3.
    busy_ = true;
    stopRequested_ = false;
    RunStages();
  } catch (const XUserCancelled&) {
    report_.milliseconds = progress_.Now() - started;
    EndJob(CPackReport::EOutcome::kStopped, std::current_exception());
    throw;
  } catch (const XAlertAlreadyShown&) {
    report_.milliseconds = progress_.Now() - started;
    EndJob(CPackReport::EOutcome::kEndedByAlert, std::current_exception());
    throw;
  } catch (...) {
    report_.milliseconds = progress_.Now() - started;
    EndJob(CPackReport::EOutcome::kFailed, std::current_exception());
    throw;
  }
  report_.milliseconds = progress_.Now() - started;
  report_.outcome = CPackReport::EOutcome::kComplete;
  // 14.
  NSFerryman::ShowAlert(*alerts_, jobtext::kPackCompleteAlert, {std::to_string(report_.filesPacked)});
}

void CPackJob::EndJob(CPackReport::EOutcome outcome, const std::exception_ptr& failure) {
  report_.outcome = outcome;
  report_.cause = DescribeFailure(failure);
  if (outcome == CPackReport::EOutcome::kEndedByAlert && !lastAlert_.message.empty()) report_.endedBy = AlertText(lastAlert_);
  // Clean-up: what the failed step held is released as the exception passed; the entries, the
  // database scope and the partly written output go here.
  topLevel_.clear();
  rootFolder_.Reset();
  output_.reset();
  if (!busy_) return;
  busy_ = false;
  progress_.Displayed().SetStatusText("");
  progress_.EndJob();
}

void CPackJob::PrepareOutput() {
  // Written under a hidden name beside the output (a link's final target), and put in its place
  // once verified. Anything but a regular file (a device, a FIFO, a folder) is never written over.
  output_ = std::make_unique<NSFerryman::CAtomicOutputFile>(outputFile_->GetFullPath(), std::vector<std::string>{},
                                                            NSFerryman::CAtomicOutputFile::EKind::kRegularFile);
  scratch_ = std::make_unique<NSFerryman::CScratchFolder>(
      std::filesystem::path(output_->GetPartialPath()).parent_path().string(), outputFile_->GetFullPath());
  replaceConsented_ = false;
  // 2. An existing output file is replaced only with consent. It stays as it is until the
  //    verified Hamper takes its name: a pack that fails or is stopped leaves it untouched, where
  //    deleting it now would lose it for nothing. One of the pack's own inputs is never replaced.
  if (!output_->TargetExists()) return;
  RefuseOutputThatIsAnInput();
  if (!Ask(questions_.replaceExisting, jobtext::kFileExistsAlert, {outputFile_->GetName()})) {
    throw XAlertAlreadyShown(outputFile_->GetFullPath() + " exists");
  }
  replaceConsented_ = true;
}

void CPackJob::RefuseOutputThatIsAnInput() {
  CDatabaseScope scope(database_);
  const CNavigationHolder folder = database_.ItemForPath(inputFolder_->GetPath());
  const CNavigationHolder target = database_.ItemForPath(output_->GetTarget());
  const std::optional<CFileIdentity> identity = target ? target->GetFileIdentity() : std::nullopt;
  if (!folder || !folder->IsContainer() || !identity) return;
  if (const std::optional<std::string> input = FindPackInput(folder, *identity)) {
    std::string path = *input;
    std::replace(path.begin(), path.end(), ':', '/');
    throw NSFerryman::XCreateFailed(outputFile_->GetFullPath() + ": is a file the pack reads (" +
                                    inputFolder_->GetPath() + path + "); write the Hamper elsewhere");
  }
}

void CPackJob::RunStages() {
  // 4. A scope keeps the installed Hampers and the items handed out for the whole job.
  CDatabaseScope scope(database_);
  rootFolder_ = database_.ItemForPath(inputFolder_->GetPath());
  if (!rootFolder_ || !rootFolder_->IsContainer()) {
    throw NSFerryman::XFileNotFound(inputFolder_->GetPath() + ": not a folder");
  }
  ListTopLevelEntries();
  ReadDescription();
  ScanFolders();
  CountFiles();
  VerifyFiles();
  CollectExternalHampers();
  PlanTheHamper();
  PackFiles();
  WriteHamper();
  VerifyHamper();
  PutHamperInPlace();
  // 14.
  topLevel_.clear();
  rootFolder_.Reset();
  busy_ = false;
  progress_.EndJob();
}

void CPackJob::ListTopLevelEntries() {
  // 5.
  progress_.Displayed().SetValue(CSimpleProgressInfo::kNoProgress);
  SetStage(jobtext::kScanningFolder, CProgressEstimate::kNoStage);
  host_.SetWaitCursor(true);
  try {
    topLevel_ = ListTopLevel(CItemReference(rootFolder_));
  } catch (...) {
    host_.SetWaitCursor(false);
    throw;
  }
  host_.SetWaitCursor(false);
}

void CPackJob::ReadDescription() {
  // 6.
  description_ = ReadFolderDescription(topLevel_, *alerts_, [this](const CBitmap32& splash) { host_.SetSplashPreview(&splash); });
  report_.hamperName = description_.GetName();
  if (description_.GetName().empty()) {
    NSFerryman::ShowAlert(*alerts_, jobtext::kNoNameAlert);
    throw XAlertAlreadyShown(inputFolder_->GetPath() + ": the Hamper has no name");
  }
  host_.Redraw();
}

void CPackJob::ScanFolders() {
  // 7.
  SetStage(jobtext::kScanningStructure, CProgressEstimate::kNoStage);
  progress_.Displayed().SetButtonText(GetString(jobtext::kStop));
  CScanCallback callback(*this, jobtext::kScanningFolderOf);
  for (auto& entry : topLevel_) ScanFolder(*entry, &callback);
}

void CPackJob::CountFiles() {
  // 8.
  SetStage(jobtext::kCountingFiles, CProgressEstimate::kNoStage);
  std::size_t count = 0;
  {
    CScanCallback callback(*this, jobtext::kCountingFilesOf);
    for (const auto& entry : topLevel_) count += CountPackableFiles(*entry, &callback);
  }
  report_.nameTwins = FindNameTwins(topLevel_);
  report_.missingFiles = FindMissingFiles(topLevel_);
  for (const CFolderWarning& warning : report_.Warnings()) host_.ShowWarning(FolderWarningText(warning));
  progress_.StartJob(static_cast<std::uint32_t>(count));
}

void CPackJob::CollectExternalHampers() {
  // 10. The other Hampers referred to.
  SetStage(jobtext::kCheckingReferences, CProgressEstimate::kNoStage);
  std::vector<std::string> names;
  CollectExternalHampers(topLevel_, names);
  report_.externalHampers = names;
  // Replaced even when there are none: the text of an earlier job's folder would be wrong here.
  externalHampersText_.clear();
  for (const std::string& name : names) externalHampersText_ += (externalHampersText_.empty() ? "" : ", ") + name;
  host_.Redraw();
}

void CPackJob::PlanTheHamper() {
  // The files are known now: the index's room, and whether the Hamper can fit at all.
  plan_ = PlanHamper(topLevel_, description_);
}

void CPackJob::WriteHamper() {
  // 12. Stages 3 and 4.
  std::vector<const MHamperWriterEntry*> entries;
  for (const auto& entry : topLevel_) entries.push_back(entry.get());
  CHamperWriter writer(*this);
  writer.Finish(entries, description_, plan_.layout.dataOffset, dataBytes_, *output_->File());
}

void CPackJob::VerifyHamper() {
  // 13. Stage 5, over the hidden file: it lies beside the output, so references resolve alike.
  const CNavigationHolder output = database_.ItemForPath(output_->GetPartialPath());
  if (!output || !dynamic_cast<const MINIHamperFile*>(output.Get())) {
    throw NSFerryman::XFileNotFound(outputFile_->GetFullPath() + ": the finished Hamper cannot be opened");
  }
  SetStage(jobtext::kVerifyingFinal, 4);
  host_.Redraw();
  auto media = output->OpenMedia();
  report_.outputBytes = media->GetSize();
  CVerificationContext verification;
  verification.expected = &description_;
  verification.database = &database_;
  verification.slcLibrary = &slc_.Library();
  verification.alerts = alerts_.get();
  verification.workers = workers_;
  verification.scratch = scratch_.get();
  const std::size_t checked = VerifyFinishedHamper(*this, progress_.Record(), output, *media, verification);
  report_.verificationSkipped = checked < description_.GetEntryCount();
}

void CPackJob::PutHamperInPlace() {
  // The verified Hamper takes the output's name. Without consent nothing that stands there now is
  // replaced: another pack, or anything put there meanwhile, is asked about as the output was.
  if (output_->Commit(replaceConsented_ ? EReplace::kReplace : EReplace::kKeep)) return;
  if (!Ask(questions_.replaceExisting, jobtext::kFileExistsAlert, {outputFile_->GetName()})) {
    throw XAlertAlreadyShown(outputFile_->GetFullPath() + " appeared while packing, and was kept");
  }
  output_->Commit(EReplace::kReplace);
}

void CPackJob::CollectExternalHampers(CFileEntryList& list, std::vector<std::string>& names) {
  CScanCallback callback(*this, jobtext::kCheckingReferencesOf);
  for (auto& entryPointer : list) {
    CFileEntry& entry = *entryPointer;
    if (entry.IsFolder()) {
      if (callback.Callback(entry.GetName())) throw XUserCancelled("stopped while checking references");
      CollectExternalHampers(entry.GetChildren(), names);
      continue;
    }
    if (!entry.IsIncluded()) continue;
    const ExternalHamperNames& own = entry.GetExternalHamperNames();
    for (const std::string& name : own) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    if (own.empty()) continue;
    report_.externalHampersByFile.emplace_back(entry.GetRelativePath(), own);
    if (!questions_.warnForExternalHampers) continue;
    std::string quoted;
    for (const std::string& name : own) quoted += (quoted.empty() ? "'" : ", '") + name + "'";
    if (NSFerryman::ShowAlert(*alerts_, jobtext::kExternalHampersAlert, {entry.GetRelativePath(), quoted}) !=
        NSFerryman::kAlertButton1) {
      throw XAlertAlreadyShown(entry.GetRelativePath() + " refers to other Hampers");
    }
  }
}
