#pragma once
// Extracting chosen items of an open Hamper into a folder (browse/HamperExtraction.h), as the
// browser does it on a thread of its own: progress in bytes of the Hamper read, a stop taken
// between items and inside a long one, and an outcome that counts what was written, what was
// kept because a file was there, and what failed.
//
//   CExtractionRun run(contents, folder);                     // the XFile family: no folder
//   CExtractionOutcome first = run.Extract(ItemsAtTheirPaths(contents, records), false, host);
//   if (!first.kept.empty() && userAgrees) {
//     CExtractionOutcome second = run.Extract(first.kept, true, host);
//   }
//
// Items dragged out of the tree land where they are dropped: DraggedItems writes each below the
// folder that holds the node dragged, not below the top of the Hamper.
//
// The items are read through a descriptor of their own of the file the contents were read from
// (CHamperContents::OpenFile), never by name, and put in place in synced batches, as `hamper
// extract` does. A stop leaves every file written whole (the batch waiting is put in place) and
// the item being written not at all (its hidden file removed); the items not reached are counted.
// A full disk stops the run the same way, its item a failure. ExtractDescription writes the
// description files, as `hamper extract` does for a whole Hamper.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CConfinedFolder;
class CHamperContents;
class CHamperExtraction;
namespace NSFerryman {
class CMedia;
}

class MExtractionHost {
 public:
  virtual ~MExtractionHost() = default;
  // Asked between items and on every read inside one: true ends the run.
  virtual bool StopRequested() = 0;
  // Bytes of the items' stored data done and in all, never fewer than before, and the item being
  // written ("" at the end of a run that was not stopped).
  virtual void ShowExtractionProgress(std::uint64_t done, std::uint64_t total, std::string_view item) = 0;
};

// An item to write, and the Path it is written at below the folder.
struct CExtractionItem {
  std::size_t record = 0;
  std::string path;
  bool operator==(const CExtractionItem&) const = default;
};

// The records' items at their own Paths, in the order given.
std::vector<CExtractionItem> ItemsAtTheirPaths(const CHamperContents& contents, const std::vector<std::size_t>& records);
// The items at and below tree nodes, in index order and each once, at their Paths below the
// folder that holds the highest of the nodes above them: "Drums:Kick.wav" dragged alone is
// "Kick.wav"; dragged with its folder "Drums", "Drums:Kick.wav".
std::vector<CExtractionItem> DraggedItems(const CHamperContents& contents, std::span<const std::uint32_t> nodes);

struct CExtractionFailure {
  std::size_t record = 0;
  std::string path;
  std::string problem;
};

struct CExtractionOutcome {
  std::vector<std::size_t> written;  // records whose files were written
  std::vector<CExtractionItem> kept;  // items whose targets were there already, left as they were
  std::vector<CExtractionFailure> failed;  // a description file's has no record (kNoRecord)
  bool stopped = false;              // by the host, or by a full disk
  std::size_t notTried = 0;          // records not reached after a stop
  std::vector<std::string> keptDescription;  // description files that were there, by name
  std::size_t descriptionWritten = 0;

  static constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);
};

class CExtractionRun {
 public:
  // Opens the Hamper's file anew and the folder (made when missing). Both must outlive the run.
  CExtractionRun(const CHamperContents& contents, const std::string& folder);
  ~CExtractionRun();
  CExtractionRun(const CExtractionRun&) = delete;
  CExtractionRun& operator=(const CExtractionRun&) = delete;

  // Writes the items in the order given; a target that is there is kept unless `replace`. Runs
  // again on the same run know what the earlier ones wrote (an item never replaces another).
  CExtractionOutcome Extract(const std::vector<CExtractionItem>& items, bool replace, MExtractionHost& host);
  // Writes the description files at the top of the folder (with `only`, just those of these
  // names), each kept when it is there unless `replace`.
  CExtractionOutcome ExtractDescription(bool replace, const std::vector<std::string>& only = {});

  const std::string& Folder() const { return folder_; }

 private:
  class CWatchedMedia;

  const CHamperContents& contents_;
  std::string folder_;
  std::unique_ptr<CWatchedMedia> hamper_;
  std::unique_ptr<CConfinedFolder> confined_;
  std::unique_ptr<CHamperExtraction> extraction_;
};
