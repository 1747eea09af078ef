#include "pack/NameTwins.h"

#include <unordered_map>

#include "framework/media/AsciiCase.h"
#include "navigation/PortableName.h"

namespace {

void Collect(const CFileEntryList& list, std::vector<std::pair<std::string, std::string>>& twins) {
  // Keyed by the portable name folded to one case, so that a folder of many entries costs one
  // pass.
  std::unordered_map<std::string, const CFileEntry*> seen;
  for (const auto& entry : list) {
    if (!entry->IsFolder() && entry->GetItemType() == 0) continue;
    const std::string key = NSFerryman::AsciiUpperCopy(PortableName(entry->GetName()));
    const auto [it, added] = seen.emplace(key, entry.get());
    if (!added) twins.emplace_back(it->second->GetRelativePath(), entry->GetRelativePath());
  }
  for (const auto& entry : list) {
    if (entry->IsFolder()) Collect(entry->GetChildren(), twins);
  }
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FindNameTwins(const CFileEntryList& list) {
  std::vector<std::pair<std::string, std::string>> twins;
  Collect(list, twins);
  return twins;
}
