#include "browse/HamperSummary.h"

#include <algorithm>
#include <map>
#include <new>

#include "browse/HamperContents.h"
#include "browse/ItemKind.h"
#include "browse/SampleFacts.h"
#include "items/HostFile.h"
#include "references/ReferenceResolution.h"

namespace {

EHostFileKind HostKindOf(int itemType) {
  if (itemType == 1) return EHostFileKind::kSong;
  if (itemType == 13) return EHostFileKind::kPublishedSong;
  return EHostFileKind::kPatch;
}

void AddExternalUse(CHamperSummary& summary, const std::string& hamper, const std::string& path) {
  auto use = std::find_if(summary.externalHampers.begin(), summary.externalHampers.end(),
                          [&](const CExternalHamperUse& u) { return u.name == hamper; });
  if (use == summary.externalHampers.end()) {
    summary.externalHampers.push_back({hamper, {}});
    use = summary.externalHampers.end() - 1;
  }
  if (use->usedBy.empty() || use->usedBy.back() != path) use->usedBy.push_back(path);
}

}  // namespace

CHamperSummary SummariseHamper(const CHamperContents& contents) {
  CHamperSummary summary;
  std::map<int, CKindTotal> kinds;
  const std::vector<CHamperIndexEntry>& index = contents.Index();
  for (std::size_t record = 0; record < index.size(); ++record) {
    const CHamperIndexEntry& entry = index[record];
    ++summary.items;
    if (entry.IsHidden()) ++summary.hiddenItems;
    summary.itemBytes += entry.GetSize();
    CKindTotal& kind = kinds[entry.GetItemType()];
    kind.itemType = entry.GetItemType();
    ++kind.items;
    kind.bytes += entry.GetSize();

    if (IsSampleItemType(entry.GetItemType())) {
      const CSampleFactsResult facts = contents.SampleFacts(record);
      if (!facts.ok) {
        summary.problems.push_back(entry.GetPath() + ": " + facts.problem);
        continue;
      }
      ++summary.samples;
      summary.audioBytes += entry.GetSize();
      summary.pcmBytes += SamplePCMBytes(facts.header);
      summary.audioSeconds += SampleSeconds(facts.header).value_or(0);
    } else if (IsReferringItemType(entry.GetItemType())) {
      try {
        const auto item = contents.OpenItem(record);
        for (const CSF10ReferenceChunk& r : ReadHostFileReferences(HostKindOf(entry.GetItemType()), *item)) {
          if (IsExternalReference(r, contents.Description().GetName())) AddExternalUse(summary, r.hamperName, entry.GetPath());
        }
      } catch (const std::bad_alloc&) {
        throw;
      } catch (const std::exception& e) {
        summary.problems.push_back(entry.GetPath() + ": " + e.what());
      }
    }
  }
  for (const auto& [type, total] : kinds) summary.kinds.push_back(total);
  return summary;
}
