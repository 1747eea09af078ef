#include "pack/FileEntry.h"

#include <algorithm>

#include "filetypes/FileType.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/Exceptions.h"

CFileEntry::CFileEntry(CItemReference item) : item_(std::move(item)) {
  name_ = item_.GetName();
  sortKey_ = NSFerryman::AsciiUpperCopy(name_);
  isFolder_ = !item_.IsFile() && item_.IsFolder();
  if (isFolder_) {
    if (const CNavigationHolder& folder = item_.GetItem()) folderIdentity_ = folder->GetFileIdentity();
  } else {
    const CFileType* type = item_.GetFileType();
    itemType_ = type ? GetItemTypeOfFileType(*type) : 0;
    // Only files without a type are asked: FIFOs, devices, and what is not there.
    if (!type && item_.GetItem() && item_.GetItem()->IsFileSystemObject()) missing_ = !item_.GetItem()->IsAvailable();
  }
}

CFileEntry::CFileEntry(CFileEntry& parent, CItemReference item) : CFileEntry(std::move(item)) {
  parent_ = &parent;
}

CFileEntry::~CFileEntry() {
  // Children go first, depth first, while their parent is still whole.
  children_.clear();
}

void CFileEntry::AddExternalHamperName(const std::string& name) {
  if (std::find(externalHamperNames_.begin(), externalHamperNames_.end(), name) ==
      externalHamperNames_.end()) {
    externalHamperNames_.push_back(name);
  }
}

std::string CFileEntry::GetRelativePath() const {
  std::vector<const CFileEntry*> chain;
  for (const CFileEntry* e = this; e; e = e->parent_) chain.push_back(e);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it != chain.rbegin()) path += ':';
    path += (*it)->name_;
  }
  return path;
}

const MHamperWriterEntry& CFileEntry::GetChildEntry(std::size_t index) const {
  if (index >= children_.size()) {
    throw NSFerryman::XBase("no child " + std::to_string(index) + " of \"" + GetRelativePath() + "\"");
  }
  return *children_[index];
}
