#pragma once
// Decoding an audio item into a new in-memory sample.

#include <memory>

#include "codec/VORPPath.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/Media.h"
#include "items/WaveSample.h"

// The frames of the stream at the media's position (just after the header), as a 16-bit sample
// of the header's channel count, sample rate and frame count. A frame count that the remaining
// data cannot hold is XBadFormat before anything is allocated; other failures as DecodeVORPStream.
std::unique_ptr<CWaveSample> DecodeVORPWaveSample(const CVORPSampleHeader& header, NSFerryman::CMedia& input,
                                                  EVORPPath path = EVORPPath::kAuto);
