#pragma once
// CPackJob: makes one Hamper from an input folder. The job and its state live here, free of any
// user interface; a front end hosts it (MPackJobHost) and only sets its stop flag. It runs on the
// caller's thread:
//
//   CPackJob job(host, database, slc);
//   job.SetInputFolder(CDirSpec(folder));
//   job.SetOutputFile(CFileSpec(path));
//   job.RunPackJob();        // returns after "Pack complete"; otherwise throws:
//                            //   XAlertAlreadyShown (the user was told), XUserCancelled (a stop),
//                            //   anything else for the host to report once
//
// The stages, each announced by its status text:
//   prep  "Scanning folder...", "Scanning folder structure...", "Counting files..."
//   1/5   verify each packable file                 4/5  copy the packed data behind the index
//   check collect the other Hampers referred to     5/5  read the finished file back and verify it
//   2/5   pack each file into a temporary file
//   3/5   write header, description and index
// The Hamper is written to a hidden file beside the output and takes the output's name only once
// verified; an output that exists is replaced only with consent (and deleted when given), and never
// when it is one of the files the pack reads. A stop before stage 5 removes the hidden file; a stop
// in stage 5 ("Skip") only cuts the verification short. Any failure leaves no output file and no
// temporary file behind.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperWriterJob.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/FileSpec.h"
#include "pack/FileEntry.h"
#include "pack/FileWork.h"
#include "pack/PackJobHost.h"
#include "pack/ProgressEstimate.h"
#include "pack/RefreshThrottle.h"
#include "pack/SLCLibraryState.h"
#include "pack/SimpleProgressInfo.h"
#include "pack/VerificationJob.h"

class CDatabase;

class CPackJob : public MHamperWriterJob, public MVerificationJob {
 public:
  using Clock = std::function<std::uint64_t()>;

  CPackJob(MPackJobHost& host, CDatabase& database, CSLCLibraryState& slc);
  ~CPackJob() override;
  CPackJob(const CPackJob&) = delete;
  CPackJob& operator=(const CPackJob&) = delete;

  // Settings; not changed while busy.
  void SetInputFolder(std::optional<NSFerryman::CDirSpec> folder) { inputFolder_ = std::move(folder); }
  void SetOutputFile(std::optional<NSFerryman::CFileSpec> file) { outputFile_ = std::move(file); }
  const std::optional<NSFerryman::CDirSpec>& GetInputFolder() const { return inputFolder_; }
  const std::optional<NSFerryman::CFileSpec>& GetOutputFile() const { return outputFile_; }
  void SetWarnForExternalReferences(bool warn) { warnForExternal_ = warn; }
  bool GetWarnForExternalReferences() const { return warnForExternal_; }
  // The description shown before a job (read when the input folder was chosen).
  void SetDescription(const CHamperDescription& description) { description_ = description; }
  // Tests drive time through their own clock.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  // Threads for the per-file work of stages 1, 2 and 5; 1 does it all on the caller's thread.
  // The Hamper and everything shown are the same for any count.
  void SetWorkerCount(unsigned workers) { workers_ = workers == 0 ? 1 : workers; }

  // The job. XFile family when the input or output is not set.
  void RunPackJob();

  // Stop requests. The Stop (or Skip) button stops at once while busy; a request asks the user
  // first ("Stop Pack?") unless one is pending; a key press that stops without asking acts only
  // while a job runs, so that it cannot end the next job.
  void PressStopButton();
  void RequestStop();
  void StopWithoutAsking();
  bool TakeStopRequest() override;

  // Progress, as the job reports it to its host.
  void SetStage(const std::string& text, std::uint32_t stage);
  void ShowProgress(const CSimpleProgressInfo& record) override;
  void UpdateProgress(const CSimpleProgressInfo& record) override;
  std::int32_t ComputeProgress(std::int64_t done) override;

  // What a host shows.
  bool IsBusy() const { return busy_; }
  // The text of the stage that runs ("Packing files..."), empty when none.
  const std::string& GetStageText() const { return stageText_; }
  const CSimpleProgressInfo& GetDisplayedProgress() const { return displayed_; }
  // Forgets the button text of the last job, so that a new job shows no Stop or Skip label until
  // it sets its own.
  void ClearButtonText() { displayed_.SetButtonText(""); }
  // The time-remaining line, computed anew on each call (hosts call it on every redraw).
  const std::string& UpdateTimeText();
  const CHamperDescription& GetDescription() const { return description_; }
  const std::string& GetExternalHampersText() const { return externalHampersText_; }

  // Results of the last job that ended normally.
  std::uint32_t GetFilesPacked() const { return filesPacked_; }
  const std::vector<std::string>& GetExternalHampers() const { return externalHampers_; }
  std::uint64_t GetOutputSize() const { return outputSize_; }
  std::uint64_t GetPackedDataSize() const { return packedDataSize_; }

 private:
  class CScanCallback;

  // MHamperWriterJob
  void EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                  std::uint64_t count) override;
  void ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) override;
  void ShowProgress(std::uint64_t count, std::uint64_t entriesDone, std::uint64_t entriesTotal) override;

  void RunStages();
  struct CStageRun;
  CStageRun StartStage(bool packing);
  // Redoes on this thread what needed the user, and shows the alerts the work recorded.
  void TakeOutcome(CFileEntry& entry, CFileOutcome& outcome, bool packing);
  // Alert 8 or 20 for a file that fails its check: Yes leaves it out, anything else ends the job.
  void LeaveOutOrEnd(CFileEntry& entry, NSFerryman::ResourceId alert, const std::exception_ptr& error);
  void RefuseOutputThatIsAnInput();
  CPackFolder PackFolder() const;
  std::uint32_t VerifyEntries(CFileEntryList& list, CStageRun& run);
  void CollectExternalHampers(CFileEntryList& list, CScanCallback& callback, std::vector<std::string>& names);
  std::uint32_t PackEntries(CFileEntryList& list, NSFerryman::COpenFile& temporary, CStageRun& run);
  CItemContext ContextFor(const CFileEntry& entry) const;
  void FileStepDone();
  void EndJobDisplay();
  std::uint64_t Now() const { return clock_(); }

  MPackJobHost& host_;
  CDatabase& database_;
  CSLCLibraryState& slc_;
  Clock clock_;

  std::optional<NSFerryman::CDirSpec> inputFolder_;
  std::optional<NSFerryman::CFileSpec> outputFile_;
  bool warnForExternal_ = false;
  unsigned workers_ = 1;
  bool busy_ = false;
  std::atomic<bool> stopRequested_{false};

  CSimpleProgressInfo displayed_;
  CSimpleProgressInfo record_;  // the job's own record, which walks update and show
  CProgressEstimate estimate_;
  CRefreshThrottle throttle_;
  CHamperDescription description_;
  std::string externalHampersText_;
  std::string stageText_;
  std::uint32_t fileCount_ = 0;

  // Only during a job.
  std::unique_ptr<NSFerryman::CAtomicOutputFile> output_;
  bool replaceConsented_ = false;
  CNavigationHolder rootFolder_;
  CFileEntryList topLevel_;

  std::uint32_t filesPacked_ = 0;
  std::vector<std::string> externalHampers_;
  std::uint64_t outputSize_ = 0;
  std::uint64_t packedDataSize_ = 0;
};
