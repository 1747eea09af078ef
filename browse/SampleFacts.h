#pragma once
// What the 26-byte header of a stored sample says, in the words the browser, `hamper list --long`
// and `hamper info` use:
//
//   const CVORPSampleHeader header = ReadSampleFacts(item);   // the item's bytes, at position 0
//   SampleLengthText(header)    // "0.113 s"
//   SampleChannelsText(header)  // "stereo"
//   SampleRateText(header)      // "44100 Hz"
//   SampleLoopText(header)      // "forward 100-2999" (start and end frames, end exclusive), "none"
//   SampleRootKeyText(header)   // "57", "70 +12 cents"
//
// ReadSampleFacts: XBadFormat for a header CVORPSampleHeader::Read refuses and for a frame count
// the stream's bytes cannot hold (so a damaged item does not claim hours of audio); media
// failures pass as they come.

#include <cstdint>
#include <optional>
#include <string>

#include "codec/VORPSampleHeader.h"
#include "framework/media/Media.h"

CVORPSampleHeader ReadSampleFacts(NSFerryman::CMedia& item);

// A sample's header, or why it cannot be read.
struct CSampleFactsResult {
  bool ok = false;
  CVORPSampleHeader header;
  std::string problem;  // why the header cannot be read, when not ok
};

// Seconds of audio; none when the sample rate is 0.
std::optional<double> SampleSeconds(const CVORPSampleHeader& header);
// The 16-bit PCM bytes the sample decodes to.
std::uint64_t SamplePCMBytes(const CVORPSampleHeader& header);

std::string SampleLengthText(const CVORPSampleHeader& header);
std::string SampleChannelsText(const CVORPSampleHeader& header);
std::string SampleRateText(const CVORPSampleHeader& header);
std::string SampleLoopText(const CVORPSampleHeader& header);
std::string SampleRootKeyText(const CVORPSampleHeader& header);
// Whether the sample loops: a forward or alternating loop of at least one frame inside its frames.
bool SampleHasLoop(const CVORPSampleHeader& header);
// The loop mode alone: "none", "forward", "alternating".
std::string SampleLoopModeName(const CVORPSampleHeader& header);
