#include "browse/SampleFacts.h"

#include <cstdio>

#include "items/AudioItemDecoder.h"

CVORPSampleHeader ReadSampleFacts(NSFerryman::CMedia& item) {
  item.SetPosition(0);
  const CVORPSampleHeader header = CVORPSampleHeader::Read(item);
  CheckAudioItemFrameCount(header, item);
  return header;
}

std::optional<double> SampleSeconds(const CVORPSampleHeader& header) {
  if (header.sampleRate == 0) return std::nullopt;
  return static_cast<double>(header.frameCount) / header.sampleRate;
}

std::uint64_t SamplePCMBytes(const CVORPSampleHeader& header) {
  return std::uint64_t{header.frameCount} * header.channelCount * 2;
}

std::string SampleLengthText(const CVORPSampleHeader& header) {
  const std::optional<double> seconds = SampleSeconds(header);
  if (!seconds) return std::to_string(header.frameCount) + " frames";
  char text[48];
  std::snprintf(text, sizeof text, "%.3f s", *seconds);
  return text;
}

std::string SampleChannelsText(const CVORPSampleHeader& header) {
  switch (header.channelCount) {
    case 1: return "mono";
    case 2: return "stereo";
    default: return std::to_string(header.channelCount) + " channels";
  }
}

std::string SampleRateText(const CVORPSampleHeader& header) { return std::to_string(header.sampleRate) + " Hz"; }

std::string SampleLoopModeName(const CVORPSampleHeader& header) {
  switch (header.loopMode) {
    case kVORPLoopNone: return "none";
    case kVORPLoopForward: return "forward";
    case kVORPLoopAlternating: return "alternating";
    default: return "mode " + std::to_string(header.loopMode);
  }
}

bool SampleHasLoop(const CVORPSampleHeader& header) {
  return (header.loopMode == kVORPLoopForward || header.loopMode == kVORPLoopAlternating) &&
         header.loopStart < header.loopEnd && header.loopEnd <= header.frameCount;
}

std::string SampleLoopText(const CVORPSampleHeader& header) {
  if (header.loopMode == kVORPLoopNone) return "none";
  return SampleLoopModeName(header) + " " + std::to_string(header.loopStart) + "-" + std::to_string(header.loopEnd);
}

std::string SampleRootKeyText(const CVORPSampleHeader& header) {
  std::string text = std::to_string(header.rootKey);
  if (header.fineTune != 0) {
    text += header.fineTune > 0 ? " +" : " ";
    text += std::to_string(header.fineTune) + " cents";
  }
  return text;
}
