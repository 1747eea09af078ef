#pragma once
// CItemReference: the handle a file entry keeps to its navigation item. It owns one counted
// reference (copies share the item), may be empty, and answers what the folder scan asks of an
// item. Two handles are equal when both are empty or they denote the same object.

#include <memory>
#include <string>

#include "framework/media/Media.h"
#include "navigation/NavigationHolder.h"

class CFileType;

class CItemReference {
 public:
  CItemReference() = default;
  explicit CItemReference(CNavigationHolder item) : item_(std::move(item)) {}
  // The file-system item for a path.
  static CItemReference ForPath(const std::string& path);

  bool IsEmpty() const { return !item_; }
  const CNavigationHolder& GetItem() const { return item_; }

  // The first child of a folder; empty when there is none, always so for a file.
  CItemReference GetFirstChild() const;
  // The child of `parent` that follows this one; empty after the last.
  CItemReference GetNextSibling(const CItemReference& parent) const;

  // The display name (file or folder name with extension); "" for an empty handle.
  std::string GetName() const;
  // The item is marked as a folder (a container).
  bool IsFolder() const;
  // The item is a file-system object that is not a folder.
  bool IsFile() const;
  // The registered file type, or null when the item has none.
  const CFileType* GetFileType() const;
  // A new media over the item's bytes, owned by the caller. XFileNotFound when the item has no
  // bytes (an empty handle or a folder).
  std::unique_ptr<NSFerryman::CMedia> Open() const;

  friend bool operator==(const CItemReference& a, const CItemReference& b) { return a.item_ == b.item_; }

 private:
  CNavigationHolder item_;
};
