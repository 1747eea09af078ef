#pragma once
// CFileEntry: one scanned file or folder of the input folder. A folder owns its children in sorted
// order (see FolderScan.h); a file carries what packing learns about it. Every stage of the pack
// job, and the Hamper writer, walks the tree in list order, depth first.
//
// Folder: the item is a folder and not a file. Anything else counts as a file. A file's item type
// (0 = not packed) comes from its registered file type. Both are taken once, when the entry is
// made.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "container/HamperWriterEntry.h"
#include "navigation/NavigationInterface.h"
#include "navigation/ExternalHamperNames.h"
#include "pack/ItemReference.h"

class CFileEntry;
// An owned, sorted list of entries: a folder's children, or the top level of a job.
using CFileEntryList = std::vector<std::unique_ptr<CFileEntry>>;

class CFileEntry : public MHamperWriterEntry {
 public:
  // A top-level entry (no parent).
  explicit CFileEntry(CItemReference item);
  // A child of `parent`; the caller inserts it into the parent's children.
  CFileEntry(CFileEntry& parent, CItemReference item);
  ~CFileEntry() override;
  CFileEntry(const CFileEntry&) = delete;
  CFileEntry& operator=(const CFileEntry&) = delete;

  const CItemReference& GetItem() const { return item_; }
  const std::string& GetName() const { return name_; }
  // Null for a top-level entry.
  CFileEntry* GetParent() const { return parent_; }
  CFileEntryList& GetChildren() { return children_; }
  const CFileEntryList& GetChildren() const { return children_; }

  // A folder's file-system object, taken when the entry is made (none for files, and for folders
  // that are not file-system objects): a scan compares these to find a folder inside itself.
  const std::optional<CFileIdentity>& GetFolderIdentity() const { return folderIdentity_; }

  // A file that is not there: a link to nothing, or a file gone since the folder was listed.
  // Its item type is 0, so it is left out.
  bool IsMissing() const { return missing_; }

  // The name with a-z upper-cased, nothing else changed; entries sort by it.
  const std::string& GetSortKey() const { return sortKey_; }

  // Cleared when the first verification rejects the file: it is then neither packed nor indexed.
  void SetIncluded(bool included) { included_ = included; }
  void SetPackedSize(std::uint64_t size) { packedSize_ = size; }

  const ExternalHamperNames& GetExternalHamperNames() const { return externalHamperNames_; }
  // Adds a name unless it is already listed.
  void AddExternalHamperName(const std::string& name);

  // The names from the top level down to this entry, joined by ":"; the input folder's own name
  // is not part of it.
  std::string GetRelativePath() const;

  // What the Hamper writer asks.
  bool IsFolder() const override { return isFolder_; }
  std::size_t GetChildCount() const override { return children_.size(); }
  const MHamperWriterEntry& GetChildEntry(std::size_t index) const override;
  int GetItemType() const override { return itemType_; }
  bool IsIncluded() const override { return included_; }
  std::uint64_t GetPackedSize() const override { return packedSize_; }
  std::string GetHamperPath() const override { return GetRelativePath(); }

 private:
  ExternalHamperNames externalHamperNames_;
  CFileEntry* parent_ = nullptr;
  CFileEntryList children_;
  std::uint64_t packedSize_ = 0;
  CItemReference item_;
  bool included_ = true;
  bool isFolder_ = false;
  int itemType_ = 0;
  bool missing_ = false;
  std::optional<CFileIdentity> folderIdentity_;
  std::string name_;
  std::string sortKey_;
};
