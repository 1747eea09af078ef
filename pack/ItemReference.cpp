#include "pack/ItemReference.h"

#include "framework/media/Exceptions.h"
#include "navigation/NavigationInterface.h"
#include "navigation/ShellItem.h"

CItemReference CItemReference::ForPath(const std::string& path) {
  return CItemReference(MINIShellItem::ForPath(path));
}

CItemReference CItemReference::GetFirstChild() const {
  return item_ ? CItemReference(item_->GetFirstChild()) : CItemReference();
}

CItemReference CItemReference::GetNextSibling(const CItemReference& parent) const {
  if (!item_ || !parent.item_) return {};
  return CItemReference(parent.item_->GetNextChild(*item_));
}

std::string CItemReference::GetName() const { return item_ ? item_->GetName() : std::string(); }

bool CItemReference::IsFolder() const { return item_ && item_->IsContainer(); }

bool CItemReference::IsFile() const {
  return item_ && item_->IsFileSystemObject() && !item_->IsContainer();
}

const CFileType* CItemReference::GetFileType() const { return item_ ? item_->GetFileType() : nullptr; }

std::unique_ptr<NSFerryman::CMedia> CItemReference::Open() const {
  std::unique_ptr<NSFerryman::CMedia> media = item_ ? item_->OpenMedia() : nullptr;
  // A null media would only fail later, far from the item; say here which item it was.
  if (!media) throw NSFerryman::XFileNotFound("\"" + GetName() + "\" has no bytes to open");
  return media;
}
