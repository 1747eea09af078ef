#pragma once
// Reading the description of a WAV file (RIFF form "WAVE"): format, length, loop and instrument
// data from its "fmt ", "data" and "smpl" chunks.
//
// Integer PCM only: format tag 1, or WAVE_FORMAT_EXTENSIBLE (0xFFFE) with the integer-PCM
// sub-format, as writers use for 24-bit and multi-channel files. 8, 16, 20, 22 or 24 bits in one
// or two channels.
//
// Failures: XBadFormat for a missing or malformed "fmt ", zero channels, rate or byte rate, a
// "data" chunk that cannot be found (the message says why the search ended: a chunk size that
// runs past the end, a cut file, a damaged chunk ID) or that is larger than the file, or an
// invalid "smpl" chunk; XUnsupportedFormat for other encodings, bit depths or channel counts.
// A "data" chunk of size 0 is a valid sample of no frames.

#include <cstdint>

#include "framework/media/Media.h"
#include "items/SampleInfo.h"

CSampleInfo ReadWaveInfo(NSFerryman::CMedia& media);

// What the sample loader needs besides the description: where the frames are.
struct CWaveDataLayout {
  std::uint64_t dataStart = 0;     // media position of the first frame
  std::uint32_t bytesPerSample = 0;  // 1, 2 or 3
};

// ReadWaveInfo, also returning where the audio data lies.
CSampleInfo ReadWaveInfo(NSFerryman::CMedia& media, CWaveDataLayout& layout);
