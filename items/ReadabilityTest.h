#pragma once
// The readability test of files that are stored as they are: reads a few blocks of the media so
// that a file the system cannot read fails while it is checked, not while it is packed. With L
// the media's size: nothing when L is 0; the first min(L, 4096) bytes; and when L is above 4096,
// also min(L - L/2, 4096) bytes from L/2 and the last 4096 bytes.
//
// Only read failures matter: they pass on as the media's exceptions.

#include "framework/media/Media.h"

void ReadabilityTest(NSFerryman::CMedia& media);
