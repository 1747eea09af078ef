#pragma once
// The Hamper a pack will write, planned once the first check has decided which files go in: where
// its data begins (the room header, description and index take), and the least it will hold.
//
//   const CHamperPlan plan = PlanHamper(topLevel, description);   // before anything is packed
//
// The least size counts the header, the description, the index and every file stored unchanged
// (pictures, MIDI files, sliced loops, ...) at its size; audio, songs and patches are counted as
// nothing, as what they come to is known only once they are packed. A plan whose least size
// passes 4 GiB is refused at once, with the error the writer gives for a Hamper too large
// (XWrite), so that a pack that cannot succeed stops before it writes, and a dry run can say so.

#include <cstdint>

#include "container/HamperDescription.h"
#include "container/HamperWriter.h"
#include "pack/FileEntry.h"

struct CHamperPlan {
  CHamperLayout layout;
  std::uint64_t leastSize = 0;
};

// Over the included files of a packable type. XWrite when the Hamper would pass 4 GiB; XBadFormat
// for what no reader would accept (CHamperWriter::PlanLayout).
CHamperPlan PlanHamper(const CFileEntryList& topLevel, const CHamperDescription& description);
