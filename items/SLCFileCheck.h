#pragma once
// The check of one sliced-loop file (".sl2", ".slc", ".slv") through the loaded library.
//
//   CheckSLCFile(slc, media);   XBadFormat when the library refuses the file
//
// The file is read whole; then "SLCCreate" must give 1, "SLCGetCreatorInfo" 1 or 3,
// "SLCGetInfo" 1, and every slice of the count that "SLCGetInfo" gives is asked for (those
// answers are not judged). The buffer and the library's handle are released on every path.
//
// Failures: XBadFormat for an empty file, a file above kMaxSLCFileBytes (refused unread), and a
// refused step, naming the step and its result; XUnrecoverableCommandError when the library is
// not loaded (the caller loads it first); media failures pass through. Safe on several threads
// at once.

#include <cstdint>

#include "framework/media/Media.h"
#include "items/SLCLibrary.h"

// The check holds a file whole in memory, and the library a copy of it.
inline constexpr std::uint64_t kMaxSLCFileBytes = std::uint64_t{256} << 20;

void CheckSLCFile(CSLCLibrary& library, NSFerryman::CMedia& file);
