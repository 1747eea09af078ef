#include "pack/HamperPlan.h"

#include <vector>

CHamperPlan PlanHamper(const CFileEntryList& topLevel, const CHamperDescription& description) {
  std::vector<const MHamperWriterEntry*> entries;
  for (const auto& entry : topLevel) entries.push_back(entry.get());
  CHamperPlan plan;
  plan.layout = CHamperWriter::PlanLayout(entries, description);
  return plan;
}
