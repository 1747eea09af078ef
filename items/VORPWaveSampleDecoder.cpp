#include "items/VORPWaveSampleDecoder.h"

#include <string>

#include "codec/VORPDecoder.h"

std::unique_ptr<CWaveSample> DecodeVORPWaveSample(const CVORPSampleHeader& header, NSFerryman::CMedia& input,
                                                  EVORPPath path) {
  if (header.channelCount != 1 && header.channelCount != 2) {
    throw NSFerryman::XBadFormat("audio item header: " + std::to_string(header.channelCount) + " channels");
  }
  // Every value costs at least one bit: a header claiming more frames than the data can hold is
  // corrupt, and must not cost an allocation of its claimed size.
  const std::uint64_t values = std::uint64_t{header.frameCount} * header.channelCount;
  if (values > input.Remaining() * 8) {
    throw NSFerryman::XBadFormat("audio item claims " + std::to_string(header.frameCount) +
                                 " frames, more than its data can hold");
  }
  auto sample = std::make_unique<CWaveSample>(CSampleFormat{header.channelCount, 16, header.sampleRate, header.frameCount});
  DecodeVORPStream(header, input, *sample, path);
  return sample;
}
