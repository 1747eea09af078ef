#include "pack/PackInputs.h"

#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"

namespace {

bool IsTarget(const CFileEntry& entry, const CFileIdentity& target) {
  const CNavigationHolder& item = entry.GetItem().GetItem();
  return item && item->GetFileIdentity() == target;
}

const CFileEntry* FindIn(const CFileEntryList& list, const CFileIdentity& target) {
  for (const auto& entry : list) {
    if (entry->IsFolder()) {
      if (const CFileEntry* found = FindIn(entry->GetChildren(), target)) return found;
    } else if (entry->GetItemType() != 0 && IsTarget(*entry, target)) {
      return entry.get();
    }
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> FindPackInput(const CNavigationHolder& inputFolder, const CFileIdentity& target) {
  CFileEntryList topLevel = ListTopLevel(CItemReference(inputFolder));
  for (const auto& entry : topLevel) {
    if (!entry->IsFolder() && IsDescriptionFileName(entry->GetSortKey()) && IsTarget(*entry, target)) {
      return entry->GetRelativePath();
    }
  }
  for (auto& entry : topLevel) ScanFolder(*entry);
  if (const CFileEntry* found = FindIn(topLevel, target)) return found->GetRelativePath();
  return std::nullopt;
}
