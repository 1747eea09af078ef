#pragma once
// Reading the description of an AIFF or AIFC file (IFF form "FORM"): format and length from
// "COMM", instrument data and the sustain loop from "INST" and "MARK".
//
// Big-endian integer PCM of 8, 16, 20, 22 or 24 bits in one or two channels. An AIFC file may
// also name its encoding "NONE" or "twos" (big-endian) or "sowt" (little-endian); every other
// AIFC encoding is XUnsupportedFormat.
//
// Failures: XBadFormat for a missing or malformed "COMM", zero channels or rate, a negative frame
// count, or an invalid "INST" or (for a sustain loop) "MARK" chunk; XUnsupportedFormat for other
// bit depths, channel counts or encodings.

#include <cstdint>

#include "framework/media/Media.h"
#include "items/SampleInfo.h"

CSampleInfo ReadAIFFInfo(NSFerryman::CMedia& media);

// What the sample loader needs besides the description.
struct CAIFFDataLayout {
  std::uint32_t bytesPerSample = 0;  // 1, 2 or 3
  bool littleEndian = false;         // an AIFC "sowt" file
};

CSampleInfo ReadAIFFInfo(NSFerryman::CMedia& media, CAIFFDataLayout& layout);
