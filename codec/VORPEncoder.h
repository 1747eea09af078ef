#pragma once
// Encoding a whole sample: the VORP stream for every frame of an accessor, written to a media at
// its position. The header record is the caller's to write first.

#include "codec/VORPPath.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/AudioAccessor.h"
#include "framework/media/Media.h"

// Codes header.frameCount frames of `audio` (read in blocks of 32768 frames unless they are in
// memory) and closes the stream, which ends in one all-zero word after the padded last word.
// XBadFormat when the header's channel count is not 1 or 2 or differs from the accessor's;
// XPosition when the accessor has fewer frames; media and accessor failures propagate.
void EncodeVORPStream(const CVORPSampleHeader& header, NSFerryman::CMedia& output, NSFerryman::CABCAudioAccessor& audio,
                      EVORPPath path = EVORPPath::kAuto);
