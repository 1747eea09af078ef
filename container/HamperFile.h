#pragma once
// MINIHamperFile: a Hamper file as a navigation item. Its children are the top level of the
// Hamper's tree, built once from the index when the item is made: every leading part of an
// item's Path is a folder node (names compared byte for byte, letter case significant), and the
// item itself is the last part. Hidden top-level nodes (the splash picture, PAD data) are skipped
// by this item's own child navigation.
//
// A file that is missing, damaged or not a Hamper still makes an item: it has an empty name and
// no children, and making it throws nothing.
//
// The bytes are read through one shared open file. Every CHamperMedia and CHamperItemMedia over
// this item counts as one user; the file opens with the first and closes when the last is
// deleted, unless keep-open holds are taken (the installed-Hamper database takes them to spare
// repeated opens).
//
//   CNavigationHolder hamper = MINIHamperFile::Make("/path/Kit.hmp");
//   for (auto c = hamper->GetFirstChild(); c; c = hamper->GetNextChild(*c)) ...

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "container/HamperDescription.h"
#include "container/HamperNodeList.h"
#include "navigation/ShellItem.h"

class MINIHamperDirEntry;
class CHamperIndexEntry;

class MINIHamperFile : public MINIShellItem {
 public:
  static CNavigationHolder Make(const std::string& path);

  explicit MINIHamperFile(const std::string& path);

  // The description record read from the file; the empty record when it could not be read.
  const CHamperDescription& GetHeader() const { return header_; }
  bool IsIndexLoaded() const { return indexLoaded_; }
  // The file's size when its header was checked (0 when it failed).
  std::uint64_t GetCheckedFileSize() const { return fileSize_; }
  const CHamperNodeList& Children() const { return children_; }

  CNavigationHolder GetFirstChild() const override;
  CNavigationHolder GetLastChild() const override;
  bool IsSame(const MINavigationInterface& other) const override { return this == &other; }
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override;
  CNavigationHolder GetPreviousChild(const MINavigationInterface& child) const override;
  // Hidden top-level nodes are not among them, as they are not among the children.
  std::optional<std::vector<CNavigationHolder>> ChildrenWithPortableName(std::string_view name) const override;
  bool IsContainer() const override { return true; }
  std::string GetName() const override { return header_.GetName(); }
  // A new CHamperMedia over the whole file, at position 0.
  std::unique_ptr<NSFerryman::CMedia> OpenMedia() const override;

  // The shared media. Each Acquire opens the file if it is not open and counts one user; each
  // Release counts one down and closes the file when no user and no keep-open hold is left.
  NSFerryman::CMedia& AcquireMedia() const;
  void ReleaseMedia() const;
  // Guards the shared media; held around every read of it.
  std::mutex& GetMediaMutex() const { return mediaMutex_; }
  void AddKeepOpen() const;
  void ReleaseKeepOpen() const;
  int GetOpenCount() const;
  int GetKeepOpenCount() const;
  bool IsMediaOpen() const;

 protected:
  ~MINIHamperFile() override;

 private:
  void LoadIndex(NSFerryman::CMedia& media);
  void InsertRecord(const CHamperIndexEntry& record);
  MINIHamperDirEntry& FindOrCreateTopFolder(bool hidden, const std::string& name);
  // The next or previous visible top-level node from `position` on, stepping by `step`.
  CNavigationHolder VisibleFrom(std::size_t position, int step) const;
  void CloseIfUnused() const;

  CHamperNodeList children_;
  CHamperDescription header_;
  std::uint64_t fileSize_ = 0;
  bool indexLoaded_ = false;

  mutable std::mutex mediaMutex_;
  mutable std::unique_ptr<NSFerryman::CMedia> media_;
  mutable int openCount_ = 0;
  mutable int keepOpenCount_ = 0;
};
