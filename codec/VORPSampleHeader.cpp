#include "codec/VORPSampleHeader.h"

#include <string>

#include "framework/media/ByteOrder.h"

using namespace NSFerryman;

void CVORPSampleHeader::Write(CMedia& media) const {
  std::uint8_t b[kSize];
  b[0] = kVersionTag;
  b[1] = kVersionMajor;
  b[2] = 0;  // minor
  b[3] = 0;  // revision
  b[4] = 0;
  StoreBE32(b + 5, frameCount);
  b[9] = rootKey;
  b[10] = static_cast<std::uint8_t>(fineTune);
  b[11] = loopMode;
  b[12] = channelCount;
  StoreBE32(b + 13, loopStart);
  StoreBE32(b + 17, loopEnd);
  StoreBE32(b + 21, sampleRate);
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
