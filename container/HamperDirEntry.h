#pragma once
// MINIHamperDirEntry: a folder inside a Hamper. Folders are not stored in the file; one exists
// for every leading part of an item's Path, and every child is listed, hidden or not.

#include <string>

#include "container/ABCHamperEntry.h"
#include "container/HamperNodeList.h"

class MINIHamperDirEntry : public MINIABCHamperEntry {
 public:
  static constexpr int kFolderImage = 11;

  MINIHamperDirEntry(bool hidden, std::string name, const MINavigationInterface& parent, const MINIHamperFile& file);

  // The child folder of exactly this name, created at the end of the list (with `hidden`) when
  // there is none yet.
  MINIHamperDirEntry& FindOrCreateFolder(bool hidden, const std::string& name);
  CHamperNodeList& Children() { return children_; }
  const CHamperNodeList& Children() const { return children_; }

  CNavigationHolder GetFirstChild() const override;
  CNavigationHolder GetLastChild() const override;
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override;
  CNavigationHolder GetPreviousChild(const MINavigationInterface& child) const override;
  std::optional<std::vector<CNavigationHolder>> ChildrenWithPortableName(std::string_view name) const override;
  bool IsContainer() const override { return true; }
  std::string GetName() const override { return name_; }
  int GetImage() const override { return kFolderImage; }

 private:
  CHamperNodeList children_;
  std::string name_;
};
