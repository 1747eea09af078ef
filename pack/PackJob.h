#pragma once
// CPackJob: makes one Hamper from an input folder. The job and its state live here, free of any
// user interface; a front end hosts it (MPackJobHost), reads its progress (CPackProgress) and
// only sets its stop flag. It runs on the caller's thread:
//
//   CPackJob job(host, database, slc);
//   job.SetInputFolder(CDirSpec(folder));
//   job.SetOutputFile(CFileSpec(path));
//   job.SetQuestions(questions);   // which questions are asked, which answered in advance
//   job.RunPackJob();        // returns after "Pack complete"; otherwise throws:
//                            //   XAlertAlreadyShown (the user was told), XUserCancelled (a stop),
//                            //   anything else for the host to report once
//   job.GetReport();         // what the job found and did, however it ended
//
// The stages, each announced by its status text:
//   prep  "Scanning folder...", "Scanning folder structure...", "Counting files..."
//   1/5   verify each packable file                 4/5  the packed data comes to rest behind the
//   check collect the other Hampers referred to          index (it is there already, unless a
//   2/5   pack each file into the Hamper, behind          file was left out in stage 2)
//         the room kept for the index            5/5  read the finished file back and verify it
//   3/5   write header, description and index
// The Hamper is written to a hidden file beside the output, every byte once, and takes the
// output's name only once verified. Nothing is written anywhere else: items that wait for their
// turn spill, beyond a bound of memory, into hidden files beside it. An output that exists is
// replaced only with consent, by that final rename, so a pack that fails or is stopped leaves it as
// it was; one of the files the pack reads is never replaced. A Hamper that would pass 4 GiB is
// refused before stage 2 when the files stored as they are show it, else as soon as the data
// passes the limit. A stop before stage 5 removes the hidden files; a stop in stage 5 ("Skip")
// only cuts the verification short. Any failure leaves no output file and no hidden file behind.

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperWriterJob.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/FileSpec.h"
#include "framework/media/ScratchFolder.h"
#include "pack/FileEntry.h"
#include "pack/FileWork.h"
#include "pack/HamperPlan.h"
#include "pack/PackJobHost.h"
#include "pack/PackProgress.h"
#include "pack/PackQuestions.h"
#include "pack/PackReport.h"
#include "pack/SLCLibraryState.h"
#include "pack/VerificationJob.h"

class CDatabase;

class CPackJob : public MHamperWriterJob, public MVerificationJob {
 public:
  CPackJob(MPackJobHost& host, CDatabase& database, CSLCLibraryState& slc);
  ~CPackJob() override;
  CPackJob(const CPackJob&) = delete;
  CPackJob& operator=(const CPackJob&) = delete;

  // Settings; not changed while busy.
  void SetInputFolder(std::optional<NSFerryman::CDirSpec> folder) { inputFolder_ = std::move(folder); }
  void SetOutputFile(std::optional<NSFerryman::CFileSpec> file) { outputFile_ = std::move(file); }
  const std::optional<NSFerryman::CDirSpec>& GetInputFolder() const { return inputFolder_; }
  const std::optional<NSFerryman::CFileSpec>& GetOutputFile() const { return outputFile_; }
  void SetQuestions(const CPackQuestions& questions) { questions_ = questions; }
  const CPackQuestions& GetQuestions() const { return questions_; }
  void SetWarnForExternalReferences(bool warn) { questions_.warnForExternalHampers = warn; }
  bool GetWarnForExternalReferences() const { return questions_.warnForExternalHampers; }
  // The description shown before a job (read when the input folder was chosen).
  void SetDescription(const CHamperDescription& description) { description_ = description; }
  // Threads for the per-file work of stages 1, 2 and 5; 1 does it all on the caller's thread.
  // The Hamper and everything shown are the same for any count.
  void SetWorkerCount(unsigned workers) { workers_ = workers == 0 ? 1 : workers; }
  // What packed items waiting for their turn may hold in memory together (kParkingBytes); beyond
  // it they wait in hidden files beside the output. The Hamper is the same for any amount.
  void SetParkingBytes(std::uint64_t bytes) { parkingBytes_ = bytes; }

  // The job. XFile family when the input or output is not set.
  void RunPackJob();

  // Stop requests. The Stop (or Skip) button stops at once while busy; a request asks the user
  // first ("Stop Pack?") unless one is pending; a key press that stops without asking acts only
  // while a job runs, so that it cannot end the next job.
  void PressStopButton();
  void RequestStop();
  void StopWithoutAsking();
  bool TakeStopRequest() override;

  // What a host shows.
  bool IsBusy() const { return busy_; }
  CPackProgress& Progress() { return progress_; }
  const CPackProgress& Progress() const { return progress_; }
  const CHamperDescription& GetDescription() const { return description_; }
  // The other Hampers of the last job, joined by ", ".
  const std::string& GetExternalHampersText() const { return externalHampersText_; }
  // Forgets them, as when another input folder is chosen: they were that job's folder's.
  void ClearExternalHampers() { externalHampersText_.clear(); }
  // What the last job found and did, however it ended.
  const CPackReport& GetReport() const { return report_; }

 private:
  class CQuestionAlerts;

  // MVerificationJob (its stop request is the job's own)
  void ShowProgress(const CSimpleProgressInfo& record) override { progress_.ShowProgress(record); }
  void UpdateProgress(const CSimpleProgressInfo& record) override { progress_.UpdateProgress(record); }
  std::int32_t ComputeProgress(std::int64_t done) override { return progress_.ComputeProgress(done); }
  // MHamperWriterJob
  void EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                  std::uint64_t count) override;
  void ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) override;
  void ShowProgress(std::uint64_t count, std::uint64_t entriesDone, std::uint64_t entriesTotal) override;

  // The steps of a job, in their order.
  void PrepareOutput();
  void RunStages();
  void ListTopLevelEntries();
  void ReadDescription();
  void ScanFolders();
  void CountFiles();
  void VerifyFiles();
  void CollectExternalHampers();
  void PlanTheHamper();
  void PackFiles();
  void WriteHamper();
  void VerifyHamper();
  void PutHamperInPlace();
  void EndJob(CPackReport::EOutcome outcome, const std::exception_ptr& failure);

  struct CStageRun;
  CStageRun StartStage(bool packing);
  // Redoes on this thread what needed the user, and shows the alerts the work recorded.
  void TakeOutcome(CFileEntry& entry, CFileOutcome& outcome, CStageRun& run);
  std::uint32_t VerifyEntries(CFileEntryList& list, CStageRun& run);
  void CollectExternalHampers(CFileEntryList& list, std::vector<std::string>& names);
  std::uint32_t PackEntries(CFileEntryList& list, CStageRun& run);
  // Alert 8 or 20 for a file that fails its check: Yes leaves it out, anything else ends the job.
  void LeaveOutOrEnd(CFileEntry& entry, NSFerryman::ResourceId alert, const char* kind, const std::exception_ptr& error);
  // What a file's failure means for the job: true when there is none; false when the file is left
  // out; otherwise the job ends (`cannotHandleAlert` for a file that cannot be handled at all).
  bool SettleFileFailure(CFileEntry& entry, const std::exception_ptr& error, NSFerryman::ResourceId cannotHandleAlert);
  // A question: asked, or answered as the questions say (and the host told so).
  bool Ask(EAnswer answer, NSFerryman::ResourceId alert, const std::vector<std::string>& arguments,
           const std::string& details = "");
  void RefuseOutputThatIsAnInput();
  CItemContext ContextFor(const CFileEntry& entry) const;
  // alerts_, as the host every alert of the job goes to.
  NSFerryman::MAlertHost& Alerts() const;
  void FileStepDone();
  void SetStage(NSFerryman::ResourceId text, std::uint32_t stage);

  MPackJobHost& host_;
  CDatabase& database_;
  CSLCLibraryState& slc_;
  // Every alert of the job goes through this: it stops the job's clock while the user answers.
  std::unique_ptr<CQuestionAlerts> alerts_;
  CPackProgress progress_;

  std::optional<NSFerryman::CDirSpec> inputFolder_;
  std::optional<NSFerryman::CFileSpec> outputFile_;
  CPackQuestions questions_;
  unsigned workers_ = 1;
  std::uint64_t parkingBytes_ = kParkingBytes;
  bool busy_ = false;
  std::atomic<bool> stopRequested_{false};

  CHamperDescription description_;
  std::string externalHampersText_;
  CPackReport report_;

  // Only during a job.
  std::unique_ptr<NSFerryman::CAtomicOutputFile> output_;
  // Beside the output, on its file system: where data that waits goes.
  std::unique_ptr<NSFerryman::CScratchFolder> scratch_;
  bool replaceConsented_ = false;
  CHamperPlan plan_;
  std::uint64_t dataBytes_ = 0;
  CNavigationHolder rootFolder_;
  CFileEntryList topLevel_;
  NSFerryman::CAlert lastAlert_;
};
