#include "pack/PackJob.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "container/HamperFile.h"
#include "container/HamperWriter.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PartialOutputRegistry.h"
#include "framework/media/TemporaryOpenFile.h"
#include "framework/resources/ResourceCache.h"
#include "items/ItemOperations.h"
#include "pack/FinalVerification.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/JobTexts.h"
#include "pack/NameTwins.h"
#include "pack/OrderedPipeline.h"
#include "platform/Clock.h"
#include "references/Database.h"

using NSFerryman::CMedia;
using NSFerryman::GetString;
using NSFerryman::XAlertAlreadyShown;
using NSFerryman::XUserCancelled;

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

namespace {

NSFerryman::CFileSpec ResolveOutput(const NSFerryman::CFileSpec& output) {
  namespace fs = std::filesystem;
  fs::path path = output.GetFullPath();
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::error_code ec;
    path = fs::weakly_canonical(path, ec);
    if (ec) throw NSFerryman::XCreateFailed(output.GetFullPath() + ": " + ec.message());
  }
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    throw NSFerryman::XCreateFailed(output.GetFullPath() + ": is not a regular file, and a Hamper is written only to one");
  }
  return NSFerryman::CFileSpec(path.string());
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

  // A link is followed to the file it names, which is what gets replaced; anything but a regular
  // file (a device, a FIFO, a folder) is never deleted or written over.
  const NSFerryman::CFileSpec output = ResolveOutput(*outputFile_);

  // 2. An existing output file is replaced only with consent, and then at once: a later failure
  //    leaves no output file at all.
  if (output.Exists()) {
    if (NSFerryman::ShowAlert(host_, jobtext::kFileExistsAlert, {outputFile_->GetName()}) != NSFerryman::kAlertButton1) {
      throw XAlertAlreadyShown(outputFile_->GetFullPath() + " exists");
    }
    output.Delete();
  }
  writtenOutput_ = output;

  // 3.
  busy_ = true;
  stopRequested_ = false;
  try {
    RunStages();
  } catch (...) {
    // Clean-up: what the failed step held is released as the exception passed; the entries, the
    // database scope and the output file go here.
    topLevel_.clear();
    rootFolder_.Reset();
    try {
      if (writtenOutput_.Exists()) writtenOutput_.Delete();
    } catch (const NSFerryman::XBase&) {
      // The first failure is the one to report.
    }
    displayed_.SetStatusText("");
    EndJobDisplay();
    throw;
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

  // 12. Stages 3 and 4. Until it has been verified, the output counts as partly written: a
  //     process ended by a signal removes it.
  const NSFerryman::CPartialOutputRegistration unverified(writtenOutput_.GetFullPath());
  {
    std::vector<const MHamperWriterEntry*> entries;
    for (const auto& entry : topLevel_) entries.push_back(entry.get());
    CHamperWriter writer(*this);
    writer.Compose(entries, description_, std::move(temporary), writtenOutput_);
  }

  // 13. Stage 5.
  const CNavigationHolder output = database_.ItemForPath(writtenOutput_.GetFullPath());
  if (!output || !dynamic_cast<const MINIHamperFile*>(output.Get())) {
    throw NSFerryman::XFileNotFound(writtenOutput_.GetFullPath() + ": the finished Hamper cannot be opened");
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

  // 14.
  topLevel_.clear();
  rootFolder_.Reset();
  EndJobDisplay();
  NSFerryman::ShowAlert(host_, jobtext::kPackCompleteAlert, {std::to_string(filesPacked_)});
}

CItemContext CPackJob::ContextFor(const CFileEntry& entry) const {
  CItemContext context;
  context.references.rootFolder = rootFolder_;
  context.references.hamperName = description_.GetName();
  context.references.hamperUrl = description_.GetURL();
  context.references.referencingItem = entry.GetItem().GetItem();
  context.references.referencingName = entry.GetName();
  context.references.database = &database_;
  context.references.alerts = &host_;
  context.slcLibrary = &slc_.Library();
  return context;
}

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
  if (outcome.error) std::rethrow_exception(outcome.error);
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
    try {
      CFileOutcome& outcome = run.Take(entry);
      TakeOutcome(entry, outcome, false);
      for (const std::string& name : outcome.names) entry.AddExternalHamperName(name);
      run.Done();
      ++passed;
    } catch (const XAlertAlreadyShown&) {
      throw;
    } catch (const XUserCancelled&) {
      throw;
    } catch (const NSFerryman::XUnsupportedFormat& e) {
      run.Done();
      entry.SetIncluded(false);
      if (NSFerryman::ShowAlert(host_, jobtext::kUnsupportedFormatSkipAlert, {entry.GetName()}) != NSFerryman::kAlertButton1) {
        throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + e.what());
      }
    } catch (const NSFerryman::XBadFormat& e) {
      run.Done();
      entry.SetIncluded(false);
      if (NSFerryman::ShowAlert(host_, jobtext::kBadFormatSkipAlert, {entry.GetName()}) != NSFerryman::kAlertButton1) {
        throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + e.what());
      }
    } catch (const std::exception& e) {
      NSFerryman::ShowAlert(host_, jobtext::kCannotVerifyAlert, {entry.GetRelativePath()});
      throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + e.what());
    }
    FileStepDone();
  }
  return passed;
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
      try {
        CFileOutcome& outcome = run.Take(entry);
        TakeOutcome(entry, outcome, true);
        entry.SetPackedSize(outcome.data->GetSize());
        outcome.data->AppendTo(temporary);
        outcome.data.reset();
        run.Done();
      } catch (const XAlertAlreadyShown&) {
        throw;
      } catch (const XUserCancelled&) {
        throw;
      } catch (const NSFerryman::XBadFormat& e) {
        NSFerryman::ShowAlert(host_, jobtext::kBadFormatPackAlert, {entry.GetRelativePath()});
        throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + e.what());
      } catch (const std::exception& e) {
        NSFerryman::ShowAlert(host_, jobtext::kCannotPackAlert, {entry.GetRelativePath()});
        throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + e.what());
      }
      ++packed;
    }
    FileStepDone();
  }
  return packed;
}
