#include "pack/PackJob.h"

#include <algorithm>

#include "container/HamperFile.h"
#include "container/HamperWriter.h"
#include "framework/media/Exceptions.h"
#include "framework/media/TemporaryOpenFile.h"
#include "framework/resources/ResourceCache.h"
#include "items/ItemOperations.h"
#include "pack/FinalVerification.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/JobTexts.h"
#include "pack/NameTwins.h"
#include "pack/OrderedPipeline.h"
#include "pack/PackInputs.h"
#include "platform/Clock.h"
#include "references/Database.h"

using NSFerryman::CMedia;
using NSFerryman::GetString;
using NSFerryman::XAlertAlreadyShown;
using NSFerryman::XUserCancelled;
using EReplace = NSFerryman::CAtomicOutputFile::EReplace;

// Reports each folder a walk passes to the status line, and answers whether to stop.
class CPackJob::CScanCallback : public CABCCallbackInterface {
 public:
  CScanCallback(CPackJob& job, NSFerryman::ResourceId text) : job_(job), text_(text) {}
  bool Callback(const std::string& folderName) override {
    job_.displayed_.SetStatusText(GetString(text_, {folderName}));
    job_.ShowProgress(job_.displayed_);
    return job_.TakeStopRequest();
  }

 private:
  CPackJob& job_;
  NSFerryman::ResourceId text_;
};

CPackJob::CPackJob(MPackJobHost& host, CDatabase& database, CSLCLibraryState& slc)
    : host_(host), database_(database), slc_(slc), clock_(&platform::MillisecondsNow) {}

CPackJob::~CPackJob() = default;

// ---- stop requests ----

void CPackJob::PressStopButton() {
  if (busy_) stopRequested_ = true;
}

void CPackJob::RequestStop() {
  if (stopRequested_ || !busy_) return;
  if (NSFerryman::ShowAlert(host_, jobtext::kStopPackAlert) == NSFerryman::kAlertButton1) stopRequested_ = true;
}

void CPackJob::StopWithoutAsking() {
  // Only while a job runs: a stop left pending while idle would end the next job silently.
  if (busy_) stopRequested_ = true;
}

bool CPackJob::TakeStopRequest() { return stopRequested_.exchange(false); }

// ---- progress ----

void CPackJob::SetStage(const std::string& text, std::uint32_t stage) {
  estimate_.SetStage(stage);
  stageText_ = text;
  displayed_.SetStatusText(text);
  ShowProgress(displayed_);
}

void CPackJob::ShowProgress(const CSimpleProgressInfo& record) {
  displayed_ = record;
  host_.Redraw();
  host_.HandlePendingEvents();
  throttle_.NoteRefresh(Now());
}

void CPackJob::UpdateProgress(const CSimpleProgressInfo& record) {
  if (throttle_.IsRefreshDue(Now())) {
    ShowProgress(record);
    return;
  }
  displayed_ = record;
  host_.HandlePendingEvents();
}

std::int32_t CPackJob::ComputeProgress(std::int64_t done) { return estimate_.ComputeProgress(done, fileCount_, Now()); }

const std::string& CPackJob::UpdateTimeText() { return estimate_.UpdateTimeText(busy_, Now()); }

void CPackJob::EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                          std::uint64_t count) {
  SetStage(GetString(stageText), stageIndex);
  record_.SetRemaining(static_cast<std::int32_t>(count));
  record_.SetStatusText(GetString(title));
  ShowProgress(record_);
}

void CPackJob::ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) {
  record_.SetStatusText(GetString(text, arguments));
  UpdateProgress(record_);
}

void CPackJob::ShowProgress(std::uint64_t count, std::uint64_t entriesDone, std::uint64_t /*entriesTotal*/) {
  record_.SetRemaining(static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX)));
  record_.SetValue(ComputeProgress(static_cast<std::int64_t>(entriesDone)));
  UpdateProgress(record_);
}

void CPackJob::FileStepDone() {
  record_.SetRemaining(record_.GetRemaining() - 1);
  record_.SetValue(ComputeProgress(static_cast<std::int64_t>(fileCount_) - record_.GetRemaining()));
  UpdateProgress(record_);
}

void CPackJob::EndJobDisplay() {
  busy_ = false;
  displayed_.SetValue(0);
  displayed_.SetRemaining(0);
  estimate_.Clear();
  SetStage("", CProgressEstimate::kNoStage);
}

// ---- the job ----

// One stage's per-file work: the files in walk order, their outcomes, and the pipeline that
// fills them (on workers, or right where they are taken).
struct CPackJob::CStageRun {
  std::vector<CFileEntry*> files;
  std::vector<CFileOutcome> outcomes;
  std::unique_ptr<COrderedPipeline> pipeline;
  std::size_t next = 0;

  CFileOutcome& Take(const CFileEntry& entry) {
    if (next >= files.size() || files[next] != &entry) throw NSFerryman::XBase("pack job: files taken out of order");
    pipeline->WaitFor(next);
    return outcomes[next];
  }
  void Done() { pipeline->Release(next++); }
};

namespace {

void CollectTypedFiles(CFileEntryList& list, std::vector<CFileEntry*>& files, bool includedOnly) {
  for (auto& entry : list) {
    if (entry->IsFolder()) {
      CollectTypedFiles(entry->GetChildren(), files, includedOnly);
    } else if (entry->GetItemType() != 0 && (!includedOnly || entry->IsIncluded())) {
      files.push_back(entry.get());
    }
  }
}

}  // namespace

void CPackJob::RunPackJob() {
  if (!inputFolder_) throw NSFerryman::XFileNotFound("no input folder chosen");
  if (!outputFile_) throw NSFerryman::XFileNotFound("no output file chosen");
  filesPacked_ = 0;
  externalHampers_.clear();
  outputSize_ = packedDataSize_ = 0;

  // 1. The sliced-loop library.
  slc_.EnsureSLCLibrary(host_);

  // Written under a hidden name beside the output (a link's final target), and put in its place
  // once verified. Anything but a regular file (a device, a FIFO, a folder) is never written over.
  output_ = std::make_unique<NSFerryman::CAtomicOutputFile>(outputFile_->GetFullPath(), std::vector<std::string>{},
                                                            NSFerryman::CAtomicOutputFile::EKind::kRegularFile);
  replaceConsented_ = false;
  try {
    // 2. An existing output file is replaced only with consent, and then deleted at once: a later
    //    failure leaves no output file at all. One of the pack's own inputs is never replaced.
    if (output_->TargetExists()) {
      RefuseOutputThatIsAnInput();
      if (NSFerryman::ShowAlert(host_, jobtext::kFileExistsAlert, {outputFile_->GetName()}) !=
          NSFerryman::kAlertButton1) {
        throw XAlertAlreadyShown(outputFile_->GetFullPath() + " exists");
      }
      replaceConsented_ = true;
      NSFerryman::CFileSpec(output_->GetTarget()).Delete();
    }
  } catch (...) {
    output_.reset();
    throw;
  }

  // 3.
  busy_ = true;
  stopRequested_ = false;
  try {
    RunStages();
  } catch (...) {
    // Clean-up: what the failed step held is released as the exception passed; the entries, the
    // database scope and the partly written output go here.
    topLevel_.clear();
    rootFolder_.Reset();
    output_.reset();
    displayed_.SetStatusText("");
    EndJobDisplay();
    throw;
  }
  output_.reset();
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

  // 5. The top level.
  displayed_.SetValue(CSimpleProgressInfo::kNoProgress);
  SetStage(GetString(jobtext::kScanningFolder), CProgressEstimate::kNoStage);
  host_.SetWaitCursor(true);
  try {
    topLevel_ = ListTopLevel(CItemReference(rootFolder_));
  } catch (...) {
    host_.SetWaitCursor(false);
    throw;
  }
  host_.SetWaitCursor(false);

  // 6. The description.
  description_ = ReadFolderDescription(topLevel_, host_, [this](const CBitmap32& splash) { host_.SetSplashPreview(&splash); });
  if (description_.GetName().empty()) {
    NSFerryman::ShowAlert(host_, jobtext::kNoNameAlert);
    throw XAlertAlreadyShown(inputFolder_->GetPath() + ": the Hamper has no name");
  }
  host_.Redraw();

  // 7. The folders.
  SetStage(GetString(jobtext::kScanningStructure), CProgressEstimate::kNoStage);
  displayed_.SetButtonText(GetString(jobtext::kStop));
  {
    CScanCallback callback(*this, jobtext::kScanningFolderOf);
    for (auto& entry : topLevel_) ScanFolder(*entry, &callback);
  }

  // 8. The count.
  SetStage(GetString(jobtext::kCountingFiles), CProgressEstimate::kNoStage);
  std::size_t count = 0;
  {
    CScanCallback callback(*this, jobtext::kCountingFilesOf);
    for (const auto& entry : topLevel_) count += CountPackableFiles(*entry, &callback);
  }
  fileCount_ = static_cast<std::uint32_t>(count);
  for (const auto& twins : FindNameTwins(topLevel_)) host_.ShowWarning(NameTwinsWarning(twins));
  for (const std::string& missing : FindMissingFiles(topLevel_)) host_.ShowWarning(MissingFileWarning(missing));
  estimate_.StartJob(Now());

  // 9. Stage 1.
  SetStage(GetString(jobtext::kVerifyingContents), 0);
  record_ = CSimpleProgressInfo();
  record_.SetButtonText(GetString(jobtext::kStop));
  record_.SetRemaining(static_cast<std::int32_t>(fileCount_));
  record_.SetStatusText(GetString(jobtext::kVerifyingTitle));
  ShowProgress(record_);
  {
    CStageRun run = StartStage(false);
    fileCount_ = VerifyEntries(topLevel_, run);
  }
  description_.SetEntryCount(fileCount_);

  // 10. The other Hampers referred to.
  SetStage(GetString(jobtext::kCheckingReferences), CProgressEstimate::kNoStage);
  {
    CScanCallback callback(*this, jobtext::kCheckingReferencesOf);
    std::vector<std::string> names;
    CollectExternalHampers(topLevel_, callback, names);
    externalHampers_ = names;
    // Replaced even when there are none: the text of an earlier job's folder would be wrong here.
    externalHampersText_.clear();
    for (const std::string& name : names) externalHampersText_ += (externalHampersText_.empty() ? "" : ", ") + name;
    host_.Redraw();
  }

  // 11. Stage 2.
  SetStage(GetString(jobtext::kPackingFiles), 1);
  record_.SetRemaining(static_cast<std::int32_t>(fileCount_));
  record_.SetStatusText(GetString(jobtext::kPackingTitle));
  ShowProgress(record_);
  auto temporary = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  {
    CStageRun run = StartStage(true);
    filesPacked_ = PackEntries(topLevel_, *temporary, run);
  }
  packedDataSize_ = temporary->GetSize();
  host_.Redraw();

  // 12. Stages 3 and 4.
  {
    std::vector<const MHamperWriterEntry*> entries;
    for (const auto& entry : topLevel_) entries.push_back(entry.get());
    CHamperWriter writer(*this);
    writer.Compose(entries, description_, std::move(temporary), output_->Media());
  }

  // 13. Stage 5, over the hidden file: it lies beside the output, so references resolve alike.
  const CNavigationHolder output = database_.ItemForPath(output_->GetPartialPath());
  if (!output || !dynamic_cast<const MINIHamperFile*>(output.Get())) {
    throw NSFerryman::XFileNotFound(outputFile_->GetFullPath() + ": the finished Hamper cannot be opened");
  }
  SetStage(GetString(jobtext::kVerifyingFinal), 4);
  host_.Redraw();
  {
    auto media = output->OpenMedia();
    outputSize_ = media->GetSize();
    CVerificationContext verification;
    verification.expected = &description_;
    verification.database = &database_;
    verification.slcLibrary = &slc_.Library();
    verification.alerts = &host_;
    verification.workers = workers_;
    VerifyFinishedHamper(*this, record_, output, *media, verification);
  }

  // The verified Hamper takes the output's name. Without consent nothing that stands there now is
  // replaced: another pack, or anything put there meanwhile, is asked about as the output was.
  if (!output_->Commit(replaceConsented_ ? EReplace::kReplace : EReplace::kKeep)) {
    if (NSFerryman::ShowAlert(host_, jobtext::kFileExistsAlert, {outputFile_->GetName()}) !=
        NSFerryman::kAlertButton1) {
      throw XAlertAlreadyShown(outputFile_->GetFullPath() + " appeared while packing, and was kept");
    }
    output_->Commit(EReplace::kReplace);
  }

  // 14.
  topLevel_.clear();
  rootFolder_.Reset();
  EndJobDisplay();
  NSFerryman::ShowAlert(host_, jobtext::kPackCompleteAlert, {std::to_string(filesPacked_)});
}

CPackFolder CPackJob::PackFolder() const {
  CPackFolder folder;
  folder.root = rootFolder_;
  folder.hamperName = description_.GetName();
  folder.hamperUrl = description_.GetURL();
  folder.database = &database_;
  folder.alerts = &host_;
  folder.slcLibrary = &slc_.Library();
  return folder;
}

CItemContext CPackJob::ContextFor(const CFileEntry& entry) const { return ItemContextFor(entry, PackFolder()); }

CPackJob::CStageRun CPackJob::StartStage(bool packing) {
  CStageRun run;
  CollectTypedFiles(topLevel_, run.files, packing);
  run.outcomes.resize(run.files.size());
  const bool threaded = workers_ > 1;
  auto cost = [&files = run.files, packing](std::size_t i) {
    return packing ? FilePackCost(*files[i]) : FileCheckCost(*files[i]);
  };
  auto work = [this, &files = run.files, &outcomes = run.outcomes, packing, threaded](std::size_t i) {
    if (packing) {
      RunFilePack(*files[i], ContextFor(*files[i]), threaded, outcomes[i]);
    } else {
      RunFileCheck(*files[i], ContextFor(*files[i]), threaded, outcomes[i]);
    }
  };
  run.pipeline = std::make_unique<COrderedPipeline>(run.files.size(), workers_, kStageMemoryBudget, cost, work);
  return run;
}

void CPackJob::TakeOutcome(CFileEntry& entry, CFileOutcome& outcome, bool packing) {
  // What needed the user is done again here, where the user can be asked.
  if (outcome.needsJobThread) {
    if (packing) {
      RunFilePack(entry, ContextFor(entry), false, outcome);
    } else {
      RunFileCheck(entry, ContextFor(entry), false, outcome);
    }
  }
  outcome.alerts.ReplayTo(host_);
}

std::uint32_t CPackJob::VerifyEntries(CFileEntryList& list, CStageRun& run) {
  std::uint32_t passed = 0;
  for (auto& entryPointer : list) {
    CFileEntry& entry = *entryPointer;
    if (TakeStopRequest()) throw XUserCancelled("stopped while verifying files");
    if (entry.IsFolder()) {
      passed += VerifyEntries(entry.GetChildren(), run);
      continue;
    }
    if (entry.GetItemType() == 0) continue;
    record_.SetStatusText(GetString(jobtext::kVerifyingItem, {entry.GetRelativePath()}));
    UpdateProgress(record_);
    CFileOutcome& outcome = run.Take(entry);
    TakeOutcome(entry, outcome, false);
    const std::exception_ptr error = outcome.error;
    switch (ClassifyFileFailure(error)) {
      case EFileFailure::kNone:
        for (const std::string& name : outcome.names) entry.AddExternalHamperName(name);
        ++passed;
        break;
      case EFileFailure::kUnsupportedFormat:
        LeaveOutOrEnd(entry, jobtext::kUnsupportedFormatSkipAlert, error);
        break;
      case EFileFailure::kBadFormat:
        LeaveOutOrEnd(entry, jobtext::kBadFormatSkipAlert, error);
        break;
      case EFileFailure::kCannotHandle:
        NSFerryman::ShowAlert(host_, jobtext::kCannotVerifyAlert, {entry.GetRelativePath()});
        throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + DescribeFailure(error));
      case EFileFailure::kAlertShown:
      case EFileFailure::kPassOn:
        std::rethrow_exception(error);
    }
    run.Done();
    FileStepDone();
  }
  return passed;
}

void CPackJob::LeaveOutOrEnd(CFileEntry& entry, NSFerryman::ResourceId alert, const std::exception_ptr& error) {
  entry.SetIncluded(false);
  if (NSFerryman::ShowAlert(host_, alert, {entry.GetName()}) != NSFerryman::kAlertButton1) {
    throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + DescribeFailure(error));
  }
}

void CPackJob::CollectExternalHampers(CFileEntryList& list, CScanCallback& callback, std::vector<std::string>& names) {
  for (auto& entryPointer : list) {
    CFileEntry& entry = *entryPointer;
    if (entry.IsFolder()) {
      if (callback.Callback(entry.GetName())) throw XUserCancelled("stopped while checking references");
      CollectExternalHampers(entry.GetChildren(), callback, names);
      continue;
    }
    if (!entry.IsIncluded()) continue;
    const ExternalHamperNames& own = entry.GetExternalHamperNames();
    for (const std::string& name : own) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    if (own.empty() || !warnForExternal_) continue;
    std::string quoted;
    for (const std::string& name : own) quoted += (quoted.empty() ? "'" : ", '") + name + "'";
    if (NSFerryman::ShowAlert(host_, jobtext::kExternalHampersAlert, {entry.GetRelativePath(), quoted}) !=
        NSFerryman::kAlertButton1) {
      throw XAlertAlreadyShown(entry.GetRelativePath() + " refers to other Hampers");
    }
  }
}

std::uint32_t CPackJob::PackEntries(CFileEntryList& list, NSFerryman::COpenFile& temporary, CStageRun& run) {
  std::uint32_t packed = 0;
  for (auto& entryPointer : list) {
    CFileEntry& entry = *entryPointer;
    if (TakeStopRequest()) throw XUserCancelled("stopped while packing files");
    if (entry.IsFolder()) {
      packed += PackEntries(entry.GetChildren(), temporary, run);
      continue;
    }
    if (entry.GetItemType() == 0) continue;
    record_.SetStatusText(GetString(jobtext::kPackingItem, {entry.GetRelativePath()}));
    UpdateProgress(record_);
    if (entry.IsIncluded()) {
      CFileOutcome& outcome = run.Take(entry);
      TakeOutcome(entry, outcome, true);
      std::exception_ptr error = outcome.error;
      if (!error) {
        try {
          entry.SetPackedSize(outcome.data->GetSize());
          outcome.data->AppendTo(temporary);
          outcome.data.reset();
        } catch (...) {
          error = std::current_exception();
        }
      }
      switch (ClassifyFileFailure(error)) {
        case EFileFailure::kNone:
          break;
        case EFileFailure::kBadFormat:
          NSFerryman::ShowAlert(host_, jobtext::kBadFormatPackAlert, {entry.GetRelativePath()});
          throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + DescribeFailure(error));
        case EFileFailure::kUnsupportedFormat:
        case EFileFailure::kCannotHandle:
          NSFerryman::ShowAlert(host_, jobtext::kCannotPackAlert, {entry.GetRelativePath()});
          throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + DescribeFailure(error));
        case EFileFailure::kAlertShown:
        case EFileFailure::kPassOn:
          std::rethrow_exception(error);
      }
      run.Done();
      ++packed;
    }
    FileStepDone();
  }
  return packed;
}
