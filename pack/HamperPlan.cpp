#include "pack/HamperPlan.h"

#include <string>
#include <vector>

#include "container/HamperHeader.h"
#include "items/ItemOperations.h"

namespace {

std::uint64_t UnchangedBytes(const CFileEntryList& list) {
  std::uint64_t bytes = 0;
  for (const auto& entry : list) {
    if (entry->IsFolder()) {
      bytes += UnchangedBytes(entry->GetChildren());
    } else if (entry->GetItemType() != 0 && entry->IsIncluded()) {
      const CFileType* type = entry->GetItem().GetFileType();
      const CNavigationHolder& item = entry->GetItem().GetItem();
      if (type && item && IsStoredUnchanged(*type)) bytes += item->GetSize();
    }
    // A file's size is at most 2^63: the sum, checked as it grows, cannot wrap.
    if (bytes > kMaxHamperSize) return bytes;
  }
  return bytes;
}

}  // namespace

CHamperPlan PlanHamper(const CFileEntryList& topLevel, const CHamperDescription& description) {
  std::vector<const MHamperWriterEntry*> entries;
  for (const auto& entry : topLevel) entries.push_back(entry.get());
  CHamperPlan plan;
  plan.layout = CHamperWriter::PlanLayout(entries, description);
  plan.leastSize = plan.layout.dataOffset + UnchangedBytes(topLevel);
  if (plan.leastSize > kMaxHamperSize) {
    throw NSFerryman::XWrite("the Hamper would exceed 4 GiB (at least " + std::to_string(plan.leastSize) +
                             " bytes: its index and the files stored as they are)");
  }
  return plan;
}
