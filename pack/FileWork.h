#pragma once
// The work of stages 1 and 2 on one file, in a form that can run on a worker thread: its outcome
// (what the check found, the bytes packing made, the alerts it would have shown) is kept for the
// job's thread, which takes outcomes in walk order and shows what one thread would have shown.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/resources/AlertHost.h"
#include "items/ItemOperations.h"
#include "navigation/ExternalHamperNames.h"
#include "pack/FileEntry.h"
#include "pack/ItemOutput.h"

class CDatabase;
class CSLCLibrary;

// Alerts of a file's work on a worker thread ("Bad reference"; they have only an OK button),
// kept to be shown on the job's thread in their turn.
class CRecordedAlerts : public NSFerryman::MAlertHost {
 public:
  int PresentAlert(const NSFerryman::CAlert& alert) override;
  void ReplayTo(NSFerryman::MAlertHost& host) const;

 private:
  std::vector<NSFerryman::CAlert> alerts_;
};

struct CFileOutcome {
  std::exception_ptr error;
  CRecordedAlerts alerts;
  // The work needed the user (a volume to insert) and must be done again on the job's thread.
  bool needsJobThread = false;
  // Stage 1: the other Hampers the file refers to.
  ExternalHamperNames names;
  // Stage 2: the item's stored bytes, on their way into the Hamper.
  std::unique_ptr<CItemOutput> data;
  // The failure is the Hamper's (its file could not be written), not the packed file's.
  bool outputFailed = false;
};

// What the files being worked on at once may hold in memory together.
inline constexpr std::uint64_t kStageMemoryBudget = std::uint64_t{40} << 20;
// What packed items that wait for their turn may hold in memory together (ItemOutput.h); beyond
// it they wait in spill files beside the Hamper.
inline constexpr std::uint64_t kParkingBytes = std::uint64_t{32} << 20;

// What the check and the packing of every file of one folder need: where references resolve,
// the Hamper's own Name and URL, and the job's helpers.
struct CPackFolder {
  CNavigationHolder root;
  std::string hamperName;
  std::string hamperUrl;
  CDatabase* database = nullptr;
  NSFerryman::MAlertHost* alerts = nullptr;
  CSLCLibrary* slcLibrary = nullptr;
  // Where data too large for memory goes (null: the system's temporary folder).
  const NSFerryman::CScratchFolder* scratch = nullptr;
};

// The context of one file of the folder.
CItemContext ItemContextFor(const CFileEntry& entry, const CPackFolder& folder);

// How the check or the packing of a file failed, as the pack job and the dry run tell it.
enum class EFileFailure {
  kNone,
  kBadFormat,          // the file is damaged (XBadFormat)
  kUnsupportedFormat,  // well-formed, but nothing a Hamper can hold, or a name it cannot hold
  kCannotHandle,       // any other failure of the file: it could not be read, ...
  kAlertShown,         // the file's failure has been told already (XAlertAlreadyShown)
  kPassOn,             // not the file's: a stop, memory or room on the disk running out
};
EFileFailure ClassifyFileFailure(const std::exception_ptr& error);
// The failure's own words (what the exception says; running out of memory in the framework's).
std::string DescribeFailure(const std::exception_ptr& error);

// `context` is the file's context with the job's real alert host; on a worker thread
// (`onWorker`), alerts are recorded instead and a volume search that would need the user stops
// the work (needsJobThread).
// The check also refuses a file whose path holds a name a Hamper cannot hold (FolderScan.h).
void RunFileCheck(const CFileEntry& entry, CItemContext context, bool onWorker, CFileOutcome& outcome);
// The packed bytes go to `target`.
void RunFilePack(const CFileEntry& entry, CItemContext context, bool onWorker, const CItemTarget& target,
                 CFileOutcome& outcome);

// The memory the work on a file may hold at its peak, for the pipeline's budget: a fixed part,
// plus what the kind of file is read or built whole in.
std::uint64_t FileCheckCost(const CFileEntry& entry);
std::uint64_t FilePackCost(const CFileEntry& entry);
