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

void CHamperSummary::AddProblem(std::string_view path, std::string cause) {
  if (problems.size() < kListedProblems) {
    problems.push_back({std::string(path), std::move(cause)});
  } else {
    ++problemsNotListed;
  }
}

CHamperSummary SummariseHamper(const CHamperContents& contents) {
  CHamperSummary summary;
  std::map<int, CKindTotal> kinds;
  const CHamperIndex& index = contents.Index();
  for (std::size_t record = 0; record < index.Size(); ++record) {
    const int itemType = index.ItemType(record);
    const std::uint32_t size = index.ItemSize(record);
    ++summary.items;
    if (index.IsHidden(record)) ++summary.hiddenItems;
    summary.itemBytes += size;
    CKindTotal& kind = kinds[itemType];
    kind.itemType = itemType;
    ++kind.items;
    kind.bytes += size;

    const bool readsItem = IsSampleItemType(itemType) || IsReferringItemType(itemType);
    if (readsItem && contents.HasRecordProblem(record)) {
      // Worded only when listed: a damaged index may hold millions of such records.
      if (summary.problems.size() < CHamperSummary::kListedProblems) {
        summary.AddProblem(index.Path(record), contents.RecordProblem(record));
      } else {
        ++summary.problemsNotListed;
      }
      continue;
    }
    if (IsSampleItemType(itemType)) {
      const CSampleFactsResult facts = contents.SampleFacts(record, /*keep=*/false);
      if (!facts.ok) {
        summary.AddProblem(index.Path(record), facts.problem);
        continue;
      }
      ++summary.samples;
      summary.audioBytes += size;
      summary.pcmBytes += SamplePCMBytes(facts.header);
      summary.audioSeconds += SampleSeconds(facts.header).value_or(0);
    } else if (IsReferringItemType(itemType)) {
      const std::string path(index.Path(record));
      try {
        const auto item = contents.OpenItem(record);
        for (const CSF10ReferenceChunk& r : ReadHostFileReferences(HostKindOf(itemType), *item)) {
          if (IsExternalReference(r, contents.Description().GetName())) AddExternalUse(summary, r.hamperName, path);
        }
      } catch (const std::bad_alloc&) {
        throw;
      } catch (const std::exception& e) {
        summary.AddProblem(path, e.what());
      }
    }
  }
  for (const auto& [type, total] : kinds) summary.kinds.push_back(total);
  return summary;
}
