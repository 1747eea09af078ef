#pragma once
// A Hamper file opened for looking inside: its description, its index, the tree of its items and
// what is wrong with it, read as far as it can be read. It is the model under the browser window
// and under `hamper list --long` and `hamper info`.
//
//   const auto hamper = CHamperContents::Open("/home/me/Kit.hmp");   // never throws for a bad file
//   for (const std::string& problem : hamper->Problems()) warn(problem);
//   const CHamperTree& tree = hamper->Tree();                         // made when first asked for
//   const CHamperIndexEntry entry = hamper->Record(record);           // made on demand
//   const auto facts = hamper->SampleFacts(record);                   // a sample's header, or why not
//   auto media = hamper->OpenItem(record);                            // an item's bytes, for any thread
//
// A file that is missing, cannot be read or is not a Hamper opens with no description and no
// items, and its problem. A Hamper whose header fails its checks (a file cut short, say) is still
// read when it begins with "Hamp" and its description record reads: the problems say what
// failed. Index records are read one at a time until one cannot be; those read are the items.
// Records that put their items outside the file, over an earlier item or under an earlier Path
// (container/HamperIndexLayout.h) are items with a problem of their own, whose bytes are never
// read.
//
// The index is held as its stored bytes (container/HamperIndex.h) and a record's problem is
// worded when asked for, so a hostile index costs what the file holds, a few times over at most,
// whatever it claims. A caller that shows every item (a window) names how many records it takes
// at most: a Hamper with more opens with no items and says so.
//
// The file stays open while the object lives, and every read of it goes through that open file,
// never through its name again: when a pack renames a new Hamper over the name, or the file is
// removed, what was read stays true of what is read. Reads through the object itself go through
// one descriptor, one at a time (a lock); OpenItem and OpenFile give descriptors of their own of
// the same open file, for the threads that decode, draw, extract and verify. ChangeOnDisk says
// when the name has moved on, or the open file itself was written to.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "browse/HamperFileChange.h"
#include "browse/HamperTree.h"
#include "browse/SampleFacts.h"
#include "codec/VORPSampleHeader.h"
#include "container/HamperDescription.h"
#include "container/HamperIndex.h"
#include "container/HamperIndexEntry.h"
#include "container/HamperIndexLayout.h"
#include "framework/media/Media.h"

namespace NSFerryman {
class COpenFile;
}

class CHamperContents {
 public:
  static constexpr std::size_t kAnyNumberOfRecords = static_cast<std::size_t>(-1);
  // What a window that shows every item opens at most: ten times the largest Hamper measured
  // (bench/HamperBrowseBench), a few hundred MB. More records than any folder a pack takes in.
  static constexpr std::size_t kMostRecordsShown = 1'000'000;
  static std::unique_ptr<CHamperContents> Open(const std::string& path, std::size_t maxRecords = kAnyNumberOfRecords);
  ~CHamperContents();
  CHamperContents(const CHamperContents&) = delete;
  CHamperContents& operator=(const CHamperContents&) = delete;

  const std::string& Path() const { return path_; }
  // False when not even the description record could be read: there are no items.
  bool HasDescription() const { return hasDescription_; }
  const CHamperDescription& Description() const { return description_; }
  const CHamperIndex& Index() const { return index_; }
  CHamperIndexEntry Record(std::size_t record) const { return index_.Entry(record); }
  // Made from the index when first asked for, once, on whichever thread asks.
  const CHamperTree& Tree() const;
  std::uint64_t FileSize() const { return fileSize_; }

  // What is wrong with the file as a whole, for the user, in the order found; empty when sound.
  const std::vector<std::string>& Problems() const { return fileProblems_; }
  // What is wrong with one record's place in the file; "" when nothing.
  std::string RecordProblem(std::size_t record) const;
  bool HasRecordProblem(std::size_t record) const { return problems_.Of(record).has_value(); }

  // The bytes of an item, over a descriptor of its own, at position 0. XBadFormat for a record
  // with a problem; XFileNotFound when the file could not be opened at all.
  std::unique_ptr<NSFerryman::CMedia> OpenItem(std::size_t record) const;
  // The whole file read, over a descriptor of its own (for extraction). XFileNotFound as above.
  std::unique_ptr<NSFerryman::COpenFile> OpenFile() const;
  // A path that opens the file read, whatever its name holds now, for as long as the object
  // lives (in /proc/self/fd): for code that takes a path (the verification). XFileNotFound as above.
  std::string ReadablePath() const;
  // What became of the file since it was opened (HamperFileChange.h); kNone for a file that could
  // not be opened, which has nothing to change.
  EHamperFileChange ChangeOnDisk() const;
  // The item's bytes read whole, at most `limit` bytes (XBadFormat beyond).
  std::vector<std::uint8_t> ReadItem(std::size_t record, std::size_t limit) const;
  // A sample's header (item type 11 only), read once and kept; or, without `keep`, read and not
  // kept (a pass over every item would keep them all).
  CSampleFactsResult SampleFacts(std::size_t record, bool keep = true) const;

 private:
  explicit CHamperContents(std::string path);
  void Read(std::size_t maxRecords);
  NSFerryman::COpenFile& SharedFile() const;

  std::string path_;
  bool hasDescription_ = false;
  CHamperDescription description_;
  CHamperIndex index_;
  std::uint64_t fileSize_ = 0;
  std::optional<CFileState> opened_;
  std::vector<std::string> fileProblems_;
  CIndexLayoutProblems problems_;

  mutable std::once_flag treeMade_;
  mutable std::unique_ptr<CHamperTree> tree_;

  mutable std::mutex mutex_;
  mutable std::unique_ptr<NSFerryman::COpenFile> file_;
  mutable std::map<std::size_t, CSampleFactsResult> facts_;
};
