#pragma once
// A Hamper file opened for looking inside: its description, its index, the tree of its items and
// what is wrong with it, read as far as it can be read. It is the model under the browser window
// and under `hamper list --long` and `hamper info`.
//
//   const auto hamper = CHamperContents::Open("/home/me/Kit.hmp");   // never throws for a bad file
//   for (const std::string& problem : hamper->Problems()) warn(problem);
//   const CHamperTree& tree = hamper->Tree();
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
// Reads of items through the object itself go through one open file, one at a time (a lock);
// OpenItem gives media over a file of their own, for the threads that decode, draw and verify.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "browse/HamperTree.h"
#include "codec/VORPSampleHeader.h"
#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"

namespace NSFerryman {
class COpenFile;
}

struct CSampleFactsResult {
  bool ok = false;
  CVORPSampleHeader header;
  std::string problem;  // why the header cannot be read, when not ok
};

class CHamperContents {
 public:
  static std::unique_ptr<CHamperContents> Open(const std::string& path);
  ~CHamperContents();
  CHamperContents(const CHamperContents&) = delete;
  CHamperContents& operator=(const CHamperContents&) = delete;

  const std::string& Path() const { return path_; }
  // False when not even the description record could be read: there are no items.
  bool HasDescription() const { return hasDescription_; }
  const CHamperDescription& Description() const { return description_; }
  const std::vector<CHamperIndexEntry>& Index() const { return index_; }
  const CHamperTree& Tree() const { return *tree_; }
  std::uint64_t FileSize() const { return fileSize_; }

  // What is wrong with the file as a whole, for the user, in the order found; empty when sound.
  const std::vector<std::string>& Problems() const { return problems_; }
  // What is wrong with one record's place in the file; "" when nothing.
  const std::string& RecordProblem(std::size_t record) const;

  // The bytes of an item, over a file opened for the media alone, at position 0. XBadFormat for
  // a record with a problem; the file's open failures.
  std::unique_ptr<NSFerryman::CMedia> OpenItem(std::size_t record) const;
  // The item's bytes read whole, at most `limit` bytes (XBadFormat beyond).
  std::vector<std::uint8_t> ReadItem(std::size_t record, std::size_t limit) const;
  // A sample's header (item type 11 only), read once and kept.
  CSampleFactsResult SampleFacts(std::size_t record) const;

 private:
  explicit CHamperContents(std::string path);
  void Read();
  NSFerryman::CMedia& SharedFile() const;

  std::string path_;
  bool hasDescription_ = false;
  CHamperDescription description_;
  std::vector<CHamperIndexEntry> index_;
  std::unique_ptr<CHamperTree> tree_;
  std::uint64_t fileSize_ = 0;
  std::vector<std::string> problems_;
  std::map<std::size_t, std::string> recordProblems_;

  mutable std::mutex mutex_;
  mutable std::unique_ptr<NSFerryman::COpenFile> file_;
  mutable std::map<std::size_t, CSampleFactsResult> facts_;
};
