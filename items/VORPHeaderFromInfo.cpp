#include "items/VORPHeaderFromInfo.h"

#include <string>

#include "framework/media/Exceptions.h"

CVORPSampleHeader VORPHeaderFromInfo(const CSampleInfo& info, std::uint32_t bits) {
  if (info.channels != 1 && info.channels != 2) {
    throw NSFerryman::XBadFormat("audio of " + std::to_string(info.channels) + " channels cannot be coded");
  }
  CVORPSampleHeader h;
  h.frameCount = info.frameCount;
  h.sampleRate = info.sampleRate;
  h.channelCount = static_cast<std::uint8_t>(info.channels);
  h.bitsPerSample = static_cast<std::uint8_t>(bits);
  if (info.instrumentPresent) {
    h.rootKey = info.rootKey;
    h.fineTune = info.fineTune;
  }
  if (info.loopKind == kLoopKindLoop) {
    h.loopMode = info.loopType == kLoopTypeAlternating ? kVORPLoopAlternating : kVORPLoopForward;
    h.loopStart = static_cast<std::uint32_t>(info.loopStart);
    h.loopEnd = static_cast<std::uint32_t>(info.loopEnd);
  } else {
    h.loopMode = kVORPLoopNone;
    h.loopStart = 0;
    h.loopEnd = info.frameCount;
  }
  return h;
}
