#pragma once
// Writes audio as a 16-bit AIFF file: "COMM", then "MARK" and "INST" when there is instrument data
// or a kept loop, then "SSND" (offset and block size 0, big-endian frames).
//
//   CAIFFFileWriter::WriteHeader(out, channels, frames, sampleRate, info);
//   ... frames x channels big-endian 16-bit values ...
//
// What ReadAIFFInfo reads back is what was given: the rate (as an 80-bit extended number, exact
// for every whole rate), the root key and fine tune ("INST" base note and detune), the key range
// (low and high note), and a kept loop as the sustain loop (play mode 1 forward, 2 alternating)
// between the markers 1 at its start and 2 at its end (the frame after the last looped one, as
// the reader takes it). A root key above 127 is written as 127 and a fine tune outside -50 to 50
// as the nearest end: the "INST" chunk holds no more.

#include <cstdint>

#include "framework/media/Media.h"
#include "items/SampleInfo.h"

class CAIFFFileWriter {
 public:
  // Everything in front of the audio, up to and including the 8 bytes of offset and block size
  // that open the "SSND" data; the caller then writes the frames. CheckFormat runs first.
  static void WriteHeader(NSFerryman::CMedia& out, std::uint16_t channels, std::uint32_t frames,
                          std::uint32_t sampleRate, const CSampleInfo& info);

  // Whether a 16-bit AIFF file can carry the audio: a channel count other than 1 or 2 is
  // XUnsupportedFormat; a sample rate of 0 is XBadFormat; audio whose "FORM" would pass 32-bit
  // sizes is XUnsupportedFormat.
  static void CheckFormat(std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                          const CSampleInfo& info);
};
