// The pack job's two stages that go through the files one by one: stage 1 checks each file,
// stage 2 packs each included file into the Hamper, on workers where there are several, and both
// settle each file's failure alike (left out when the user agrees, or the end of the job).
#include "pack/PackJob.h"

#include "container/HamperHeader.h"
#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"
#include "pack/JobTexts.h"
#include "pack/OrderedPipeline.h"

using NSFerryman::GetString;
using NSFerryman::XAlertAlreadyShown;
using NSFerryman::XUserCancelled;

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

// One stage's per-file work: the files in walk order, their outcomes, and the pipeline that
// fills them (on workers, or right where they are taken). Packing also keeps where each item goes:
// the place of the next item is known once the one before it is in the Hamper.
struct CPackJob::CStageRun {
  std::vector<CFileEntry*> files;
  std::unique_ptr<CParkingSpace> space;
  std::vector<CItemPlace> places;
  std::uint64_t dataStart = 0;
  std::uint64_t dataEnd = 0;
  NSFerryman::COpenFile* output = nullptr;
  // Destroyed before the places and the space they use, after the workers have stopped.
  std::vector<CFileOutcome> outcomes;
  std::unique_ptr<COrderedPipeline> pipeline;
  std::size_t next = 0;

  CFileOutcome& Take(const CFileEntry& entry) {
    if (next >= files.size() || files[next] != &entry) throw NSFerryman::XBase("pack job: files taken out of order");
    pipeline->WaitFor(next);
    return outcomes[next];
  }
  void Done() {
    pipeline->Release(next++);
    if (next < places.size()) places[next].Set(dataEnd);
  }
  CItemTarget TargetFor(std::size_t index) {
    return CItemTarget{space.get(), output, &places[index], dataStart, kMaxHamperSize};
  }
};

void CPackJob::VerifyFiles() {
  // 9. Stage 1.
  SetStage(jobtext::kVerifyingContents, 0);
  CSimpleProgressInfo& record = progress_.Record();
  record = CSimpleProgressInfo();
  record.SetButtonText(GetString(jobtext::kStop));
  record.SetRemaining(static_cast<std::int32_t>(progress_.GetFileCount()));
  record.SetStatusText(GetString(jobtext::kVerifyingTitle));
  progress_.ShowProgress(record);
  CStageRun run = StartStage(false);
  progress_.SetFileCount(VerifyEntries(topLevel_, run));
  description_.SetEntryCount(progress_.GetFileCount());
}

void CPackJob::PackFiles() {
  // 11. Stage 2, straight into the Hamper behind the room kept for the index.
  SetStage(jobtext::kPackingFiles, 1);
  CSimpleProgressInfo& record = progress_.Record();
  record.SetRemaining(static_cast<std::int32_t>(progress_.GetFileCount()));
  record.SetStatusText(GetString(jobtext::kPackingTitle));
  progress_.ShowProgress(record);
  {
    CStageRun run = StartStage(true);
    report_.filesPacked = PackEntries(topLevel_, run);
    dataBytes_ = run.dataEnd - run.dataStart;
  }
  report_.dataBytes = dataBytes_;
  host_.Redraw();
}

CItemContext CPackJob::ContextFor(const CFileEntry& entry) const {
  CPackFolder folder;
  folder.root = rootFolder_;
  folder.hamperName = description_.GetName();
  folder.hamperUrl = description_.GetURL();
  folder.database = &database_;
  folder.alerts = &Alerts();
  folder.slcLibrary = &slc_.Library();
  folder.scratch = scratch_.get();
  return ItemContextFor(entry, folder);
}

CPackJob::CStageRun CPackJob::StartStage(bool packing) {
  CStageRun run;
  CollectTypedFiles(topLevel_, run.files, packing);
  run.outcomes.resize(run.files.size());
  if (packing) {
    run.space = std::make_unique<CParkingSpace>(parkingBytes_, *scratch_);
    run.places = std::vector<CItemPlace>(run.files.size());
    run.output = output_->File();
    run.dataStart = run.dataEnd = plan_.layout.dataOffset;
    if (!run.places.empty()) run.places.front().Set(run.dataStart);
  }
  const bool threaded = workers_ > 1;
  auto cost = [&files = run.files, packing](std::size_t i) {
    return packing ? FilePackCost(*files[i]) : FileCheckCost(*files[i]);
  };
  // What the workers use lives in the run's heap blocks, which stay where they are however the
  // run is moved.
  auto work = [this, files = run.files.data(), outcomes = run.outcomes.data(),
               places = run.places.data(), space = run.space.get(), output = run.output, start = run.dataStart,
               packing, threaded](std::size_t i) {
    if (packing) {
      RunFilePack(*files[i], ContextFor(*files[i]), threaded,
                  CItemTarget{space, output, &places[i], start, kMaxHamperSize}, outcomes[i]);
    } else {
      RunFileCheck(*files[i], ContextFor(*files[i]), threaded, outcomes[i]);
    }
  };
  run.pipeline = std::make_unique<COrderedPipeline>(run.files.size(), workers_, kStageMemoryBudget, cost, work);
  return run;
}

void CPackJob::TakeOutcome(CFileEntry& entry, CFileOutcome& outcome, CStageRun& run) {
  // What needed the user is done again here, where the user can be asked.
  if (outcome.needsJobThread) {
    if (run.space) {
      RunFilePack(entry, ContextFor(entry), false, run.TargetFor(run.next), outcome);
    } else {
      RunFileCheck(entry, ContextFor(entry), false, outcome);
    }
  }
  outcome.alerts.ReplayTo(Alerts());
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
    CSimpleProgressInfo& record = progress_.Record();
    record.SetStatusText(GetString(jobtext::kVerifyingItem, {entry.GetRelativePath()}));
    progress_.UpdateProgress(record);
    CFileOutcome& outcome = run.Take(entry);
    TakeOutcome(entry, outcome, run);
    const std::exception_ptr error = outcome.error;
    if (SettleFileFailure(entry, error, jobtext::kCannotVerifyAlert)) {
      for (const std::string& name : outcome.names) entry.AddExternalHamperName(name);
      ++passed;
    }
    run.Done();
    FileStepDone();
  }
  return passed;
}

void CPackJob::LeaveOutOrEnd(CFileEntry& entry, NSFerryman::ResourceId alert, const char* kind,
                             const std::exception_ptr& error) {
  entry.SetIncluded(false);
  const std::string cause = DescribeFailure(error);
  // Named by its path in the folder, as the other alerts about a file are: two files of one name
  // in two folders must be told apart.
  if (!Ask(questions_.leaveOutBadFiles, alert, {entry.GetRelativePath()}, cause)) {
    throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + cause);
  }
  report_.leftOut.push_back({entry.GetRelativePath(), kind, cause});
}

bool CPackJob::SettleFileFailure(CFileEntry& entry, const std::exception_ptr& error,
                                 NSFerryman::ResourceId cannotHandleAlert) {
  switch (ClassifyFileFailure(error)) {
    case EFileFailure::kNone:
      return true;
    case EFileFailure::kUnsupportedFormat:
      LeaveOutOrEnd(entry, jobtext::kUnsupportedFormatSkipAlert, "unsupported format", error);
      return false;
    case EFileFailure::kBadFormat:
      LeaveOutOrEnd(entry, jobtext::kBadFormatSkipAlert, "bad format", error);
      return false;
    case EFileFailure::kCannotHandle:
      NSFerryman::ShowAlert(Alerts(), cannotHandleAlert, {entry.GetRelativePath()}, DescribeFailure(error));
      throw XAlertAlreadyShown(entry.GetRelativePath() + ": " + DescribeFailure(error));
    case EFileFailure::kAlertShown:
    case EFileFailure::kPassOn:
      break;
  }
  std::rethrow_exception(error);
}

std::uint32_t CPackJob::PackEntries(CFileEntryList& list, CStageRun& run) {
  std::uint32_t packed = 0;
  for (auto& entryPointer : list) {
    CFileEntry& entry = *entryPointer;
    if (TakeStopRequest()) throw XUserCancelled("stopped while packing files");
    if (entry.IsFolder()) {
      packed += PackEntries(entry.GetChildren(), run);
      continue;
    }
    if (entry.GetItemType() == 0) continue;
    CSimpleProgressInfo& record = progress_.Record();
    record.SetStatusText(GetString(jobtext::kPackingItem, {entry.GetRelativePath()}));
    progress_.UpdateProgress(record);
    if (entry.IsIncluded()) {
      CFileOutcome& outcome = run.Take(entry);
      TakeOutcome(entry, outcome, run);
      const std::exception_ptr error = outcome.error;
      // The Hamper could not be written (a full disk, the 4 GiB limit): no file is to blame.
      if (outcome.outputFailed) std::rethrow_exception(error);
      if (!error) {
        const std::uint64_t size = outcome.data->Finish(run.dataEnd);
        outcome.data.reset();
        entry.SetPackedSize(size);
        run.dataEnd += size;
      }
      // A file that changed since it was checked is asked about as the check asks: left out,
      // the next item takes its place, and what it wrote there is written over.
      if (SettleFileFailure(entry, error, jobtext::kCannotPackAlert)) {
        report_.sourceBytes += entry.GetItem().GetItem() ? entry.GetItem().GetItem()->GetSize() : 0;
        ++packed;
      }
      run.Done();
    }
    FileStepDone();
  }
  return packed;
}
