#pragma once
// The Hamper a pack will write, planned once the first check has decided which files go in: where
// its data begins (the room header, description and index take).
//
//   const CHamperPlan plan = PlanHamper(topLevel, description);   // before anything is packed

#include <cstdint>

#include "container/HamperDescription.h"
#include "container/HamperWriter.h"
#include "pack/FileEntry.h"

struct CHamperPlan {
  CHamperLayout layout;
};

// Over the included files of a packable type. XWrite when the index alone would pass 4 GiB;
// XBadFormat for what no reader would accept (CHamperWriter::PlanLayout).
CHamperPlan PlanHamper(const CFileEntryList& topLevel, const CHamperDescription& description);
