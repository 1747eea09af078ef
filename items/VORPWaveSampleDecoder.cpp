#include "items/VORPWaveSampleDecoder.h"

#include <string>

#include "codec/VORPDecoder.h"
#include "items/AudioItemDecoder.h"

std::unique_ptr<CWaveSample> DecodeVORPWaveSample(const CVORPSampleHeader& header, NSFerryman::CMedia& input,
                                                  EVORPPath path) {
  if (header.channelCount != 1 && header.channelCount != 2) {
    throw NSFerryman::XBadFormat("audio item header: " + std::to_string(header.channelCount) + " channels");
  }
  CheckAudioItemFrameCount(header, input);
  auto sample = std::make_unique<CWaveSample>(CSampleFormat{header.channelCount, 16, header.sampleRate, header.frameCount});
  DecodeVORPStream(header, input, *sample, path);
  return sample;
}
