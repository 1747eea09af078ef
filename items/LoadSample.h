#pragma once
// Loading a whole WAV or AIFF/AIFC file into an in-memory 16-bit sample.
//
// The description is read and checked first (ReadWaveInfo, ReadAIFFInfo), then the frame count
// is checked against the audio bytes the file really holds, and only then is sample memory
// taken: a header that lies about its length is XBadFormat, never a huge allocation. Values
// deeper than 16 bits keep their top 16 bits (rounded toward minus infinity, no dither); 8-bit
// values move to the top byte.

#include <cstdint>
#include <memory>

#include "framework/media/Media.h"
#include "items/WaveSample.h"

// `bits` is the depth the sample records (the packer passes 16); its frames are always 16-bit.
std::unique_ptr<CWaveSample> LoadWaveSample(NSFerryman::CMedia& media, std::uint32_t bits);
std::unique_ptr<CWaveSample> LoadAIFFSample(NSFerryman::CMedia& media, std::uint32_t bits);

enum class ESampleFileKind { kUnknown, kWave, kAIFF };

// The kind of sample file by its first four bytes ("RIFF" or "FORM"); the position is restored.
ESampleFileKind SampleFileKindOf(NSFerryman::CMedia& media);
