#pragma once
// Decoding a whole sample: the frames of a VORP stream, read from a media at its position, into
// an accessor.

#include <cstdint>
#include <functional>

#include "codec/VORPPath.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/AudioAccessor.h"
#include "framework/media/Media.h"

// Decodes header.frameCount frames in blocks of 4096 into `target`, which must have the header's
// channel count (XBadFormat) and at least its frame count (XPosition). A stream shorter than its
// frame count is XUnderflowOnInputBitStream, a corrupt one XBadFormat; media failures propagate.
// The trailing zero words of a well-formed stream are not read.
void DecodeVORPStream(const CVORPSampleHeader& header, NSFerryman::CMedia& input, NSFerryman::CABCAudioAccessor& target,
                      EVORPPath path = EVORPPath::kAuto);

// Receives decoded frames in stream order: `frameCount` interleaved frames of the header's
// channel count. The frames are valid during the call only.
using VORPFrameConsumer = std::function<void(const std::int16_t* frames, std::uint32_t frameCount)>;

// Decodes header.frameCount frames and hands them to `consumer` in blocks of at most 32768
// frames; memory does not grow with the frame count. Failures as DecodeVORPStream; frames
// handed over before a failure stay handed over.
void DecodeVORPBlocks(const CVORPSampleHeader& header, NSFerryman::CMedia& input, const VORPFrameConsumer& consumer,
                      EVORPPath path = EVORPPath::kAuto);
