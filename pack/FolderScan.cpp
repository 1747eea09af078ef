#include "pack/FolderScan.h"

#include <algorithm>
#include <iterator>

#include "framework/media/Exceptions.h"
#include "navigation/NavigationInterface.h"

namespace {

// std::string compares its bytes as unsigned char, and a prefix before the longer key.
bool KeyLess(const CFileEntry& a, const CFileEntry& b) { return a.GetSortKey() < b.GetSortKey(); }

void ThrowCancelled(const CFileEntry& folder) {
  throw NSFerryman::XUserCancelled("stopped while scanning \"" + folder.GetRelativePath() + "\"");
}

// The ancestor that `folder` denotes once more, if any: scanning it would never end.
const CFileEntry* FindLoop(const CFileEntry& folder) {
  const CNavigationHolder& item = folder.GetItem().GetItem();
  if (!item) return nullptr;
  // Identities taken once per folder: asking the items would look up two full paths for every
  // ancestor of every folder, which grows with the cube of a deep tree's depth.
  const std::optional<CFileIdentity>& identity = folder.GetFolderIdentity();
  for (const CFileEntry* up = folder.GetParent(); up; up = up->GetParent()) {
    if (identity && up->GetFolderIdentity() ? *identity == *up->GetFolderIdentity()
                                            : item == up->GetItem().GetItem()) {
      return up;
    }
  }
  return nullptr;
}

}  // namespace

void CheckHamperPath(const CFileEntry& file) {
  for (const CFileEntry* e = &file; e; e = e->GetParent()) {
    if (e->GetName().find(':') != std::string::npos) {
      throw NSFerryman::XUnsupportedFormat("\"" + e->GetName() + "\" (in \"" + file.GetRelativePath() +
                                           "\"): a name in a Hamper cannot contain \":\"");
    }
  }
}

bool SortsBefore(const CFileEntry& a, const CFileEntry& b) {
  if (a.IsFolder() != b.IsFolder()) return !a.IsFolder();
  return KeyLess(a, b);
}

// A stable sort of the list followed by the new entries puts each new entry behind every equal
// key already there and behind the equal keys that arrived before it, exactly where insertion one
// at a time would put it; insertion into a vector would cost O(n) moves per entry.
void InsertAllSorted(CFileEntryList& arrived, CFileEntryList& list) {
  if (arrived.empty()) return;
  list.reserve(list.size() + arrived.size());
  std::move(arrived.begin(), arrived.end(), std::back_inserter(list));
  arrived.clear();
  std::stable_sort(list.begin(), list.end(),
                   [](const std::unique_ptr<CFileEntry>& a, const std::unique_ptr<CFileEntry>& b) {
                     return SortsBefore(*a, *b);
                   });
}

CFileEntryList ListTopLevel(const CItemReference& inputFolder) {
  CFileEntryList arrived;
  for (CItemReference c = inputFolder.GetFirstChild(); !c.IsEmpty(); c = c.GetNextSibling(inputFolder)) {
    arrived.push_back(std::make_unique<CFileEntry>(c));
  }
  CFileEntryList top;
  InsertAllSorted(arrived, top);
  return top;
}

CFileEntry& InsertSorted(std::unique_ptr<CFileEntry> entry, CFileEntryList& list) {
  // The first entry the new one sorts before: behind all equal keys.
  auto place = std::upper_bound(list.begin(), list.end(), entry,
                                [](const std::unique_ptr<CFileEntry>& a, const std::unique_ptr<CFileEntry>& b) {
                                  return SortsBefore(*a, *b);
                                });
  return **list.insert(place, std::move(entry));
}

void ScanFolder(CFileEntry& folder, CABCCallbackInterface* callback) {
  if (!folder.IsFolder()) return;
  if (const CFileEntry* ancestor = FindLoop(folder)) {
    throw NSFerryman::XShellUnableToOpenContainer("folder \"" + folder.GetRelativePath() +
                                                  "\" leads back to \"" + ancestor->GetRelativePath() + "\"");
  }
  CFileEntryList arrived;
  try {
    const CItemReference& parent = folder.GetItem();
    for (CItemReference child = parent.GetFirstChild(); !child.IsEmpty();
         child = child.GetNextSibling(parent)) {
      auto entry = std::make_unique<CFileEntry>(folder, child);
      if (callback && callback->Callback(folder.GetName())) ThrowCancelled(folder);
      arrived.push_back(std::move(entry));
    }
  } catch (...) {
    InsertAllSorted(arrived, folder.GetChildren());
    throw;
  }
  InsertAllSorted(arrived, folder.GetChildren());
  for (const auto& child : folder.GetChildren()) {
    if (child->IsFolder()) ScanFolder(*child, callback);
  }
}

std::size_t CountPackableFiles(const CFileEntry& entry, CABCCallbackInterface* callback) {
  if (!entry.IsFolder()) {
    return entry.GetItemType() == 0 ? 0 : 1;
  }
  std::size_t count = 0;
  for (const auto& child : entry.GetChildren()) {
    if (callback && callback->Callback(entry.GetName())) ThrowCancelled(entry);
    count += CountPackableFiles(*child, callback);
  }
  return count;
}

namespace {

void CollectMissingFiles(const CFileEntryList& list, std::vector<std::string>& paths) {
  for (const auto& entry : list) {
    if (entry->IsFolder()) {
      CollectMissingFiles(entry->GetChildren(), paths);
    } else if (entry->IsMissing()) {
      paths.push_back(entry->GetRelativePath());
    }
  }
}

}  // namespace

std::vector<std::string> FindMissingFiles(const CFileEntryList& list) {
  std::vector<std::string> paths;
  CollectMissingFiles(list, paths);
  return paths;
}
