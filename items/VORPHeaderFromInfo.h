#pragma once
// The header of an audio item, from the description of its source file.

#include <cstdint>

#include "codec/VORPSampleHeader.h"
#include "items/SampleInfo.h"

// Frame count and sample rate are copied; root key and fine tune when the file had instrument
// data (else 60 and 0); a kept loop (kLoopKindLoop) becomes a forward or alternating loop with its
// bounds, anything else no loop over the whole sample. XBadFormat unless the info has 1 or 2
// channels. `bits` is what the stream carries (the packer passes 16).
CVORPSampleHeader VORPHeaderFromInfo(const CSampleInfo& info, std::uint32_t bits);
