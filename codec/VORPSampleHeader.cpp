#include "codec/VORPSampleHeader.h"

#include <string>

using namespace NSFerryman;

void CVORPSampleHeader::Write(CMedia& media) const {
  std::uint8_t b[kSize];
  auto put32 = [&b](std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 24);
    b[at + 1] = static_cast<std::uint8_t>(v >> 16);
    b[at + 2] = static_cast<std::uint8_t>(v >> 8);
    b[at + 3] = static_cast<std::uint8_t>(v);
  };
  b[0] = kVersionTag;
  b[1] = kVersionMajor;
  b[2] = 0;  // minor
  b[3] = 0;  // revision
  b[4] = 0;
  put32(5, frameCount);
  b[9] = rootKey;
  b[10] = static_cast<std::uint8_t>(fineTune);
  b[11] = loopMode;
  b[12] = channelCount;
  put32(13, loopStart);
  put32(17, loopEnd);
  put32(21, sampleRate);
  b[25] = bitsPerSample;
  // One write, so a failing media leaves no half-written header behind our back.
  media.Write(kSize, b);
}

CVORPSampleHeader CVORPSampleHeader::Read(CMedia& media) {
  std::uint8_t version[5];
  media.Read(sizeof version, version);
  if (version[0] != kVersionTag) {
    throw XBadFormat("audio item header: version tag " + std::to_string(version[0]) + " instead of 188");
  }
  if (version[1] != kVersionMajor) {
    throw XBadFormat("audio item header: version " + std::to_string(version[1]) + " is not known");
  }
  CVORPSampleHeader h;
  h.frameCount = media.ReadU32();
  h.rootKey = media.ReadByte();
  h.fineTune = static_cast<std::int8_t>(media.ReadByte());
  h.loopMode = media.ReadByte();
  h.channelCount = media.ReadByte();
  h.loopStart = media.ReadU32();
  h.loopEnd = media.ReadU32();
  h.sampleRate = media.ReadU32();
  h.bitsPerSample = media.ReadByte();
  if (h.channelCount != 1 && h.channelCount != 2) {
    throw XBadFormat("audio item header: " + std::to_string(h.channelCount) + " channels");
  }
  return h;
}
