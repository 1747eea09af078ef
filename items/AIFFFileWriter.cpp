#include "items/AIFFFileWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "framework/media/ByteOrder.h"

using namespace NSFerryman;

namespace {

constexpr std::uint64_t kMaxU32 = 0xFFFFFFFFu;

constexpr std::uint16_t kLoopStartMarker = 1;
constexpr std::uint16_t kLoopEndMarker = 2;
// Each marker: id, position, then its name as a length byte and text padded to an even length.
constexpr char kStartName[] = "start";  // 1 + 5 bytes: even
constexpr char kEndName[] = "end";      // 1 + 3 bytes: even
constexpr std::uint32_t kMarkBytes = 2 + (6 + 1 + sizeof kStartName - 1) + (6 + 1 + sizeof kEndName - 1);
constexpr std::uint32_t kInstBytes = 20;

bool HasKeptLoop(const CSampleInfo& info) {
  return info.loopKind == kLoopKindLoop && info.loopEnd > info.loopStart && info.loopStart >= 0;
}
bool HasInstrument(const CSampleInfo& info) { return info.instrumentPresent || HasKeptLoop(info); }

// Chunks in front of the audio, their 8-byte headers included; then the "SSND" header and its
// offset and block size.
std::uint32_t HeaderBytes(const CSampleInfo& info) {
  return 12 + (8 + 18) + (HasKeptLoop(info) ? 8 + kMarkBytes : 0) + (HasInstrument(info) ? 8 + kInstBytes : 0) + 8 + 8;
}

// The 80-bit extended form of a whole number above 0: exact, since it has 64 bits of mantissa.
void StoreExtended(std::uint8_t* p, std::uint32_t value) {
  const int top = std::bit_width(value) - 1;
  StoreBE16(p, static_cast<std::uint16_t>(16383 + top));
  const std::uint64_t mantissa = std::uint64_t{value} << (63 - top);
  for (int i = 0; i < 8; ++i) p[2 + i] = static_cast<std::uint8_t>(mantissa >> (56 - 8 * i));
}

void PutMarker(std::uint8_t*& p, std::uint16_t id, std::uint32_t position, std::string_view name) {
  StoreBE16(p, id);
  StoreBE32(p + 2, position);
  p[6] = static_cast<std::uint8_t>(name.size());
  std::memcpy(p + 7, name.data(), name.size());
  p += 7 + name.size();
}

}  // namespace

void CAIFFFileWriter::CheckFormat(std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                                  const CSampleInfo& info) {
  if (channels != 1 && channels != 2) {
    throw XUnsupportedFormat("an AIFF file of " + std::to_string(channels) + " channels");
  }
  if (sampleRate == 0) throw XBadFormat("an AIFF file needs a sample rate above 0");
  const std::uint64_t dataBytes = std::uint64_t{frames} * 2 * channels;
  if (HeaderBytes(info) - 8 + dataBytes > kMaxU32) {
    throw XUnsupportedFormat("audio of " + std::to_string(frames) + " frames (" + std::to_string(dataBytes) +
                             " bytes) is too long for an AIFF file, whose sizes are 32-bit");
  }
}

void CAIFFFileWriter::WriteHeader(CMedia& out, std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                                  const CSampleInfo& info) {
  CheckFormat(channels, frames, sampleRate, info);
  const std::uint64_t dataBytes = std::uint64_t{frames} * 2 * channels;
  const bool loop = HasKeptLoop(info);

  // Every size is known before the audio, so the header is written once, in front, and the
  // frames can follow it straight from a decoder.
  std::uint8_t header[12 + 8 + 18 + 8 + kMarkBytes + 8 + kInstBytes + 16] = {};
  std::uint8_t* p = header;
  const auto chunk = [&](const char* id, std::uint32_t size) {
    std::memcpy(p, id, 4);
    StoreBE32(p + 4, size);
    p += 8;
  };
  chunk("FORM", static_cast<std::uint32_t>(HeaderBytes(info) - 8 + dataBytes));
  std::memcpy(p, "AIFF", 4);
  p += 4;

  chunk("COMM", 18);
  StoreBE16(p, channels);
  StoreBE32(p + 2, frames);
  StoreBE16(p + 6, 16);
  StoreExtended(p + 8, sampleRate);
  p += 18;

  if (loop) {
    chunk("MARK", kMarkBytes);
    StoreBE16(p, 2);
    p += 2;
    PutMarker(p, kLoopStartMarker, static_cast<std::uint32_t>(info.loopStart), kStartName);
    PutMarker(p, kLoopEndMarker, static_cast<std::uint32_t>(info.loopEnd), kEndName);
  }
  if (HasInstrument(info)) {
    chunk("INST", kInstBytes);
    p[0] = info.instrumentPresent ? std::min<std::uint8_t>(info.rootKey, 127) : 60;
    p[1] = static_cast<std::uint8_t>(info.instrumentPresent ? std::clamp<std::int8_t>(info.fineTune, -50, 50) : 0);
    p[2] = std::min<std::uint8_t>(info.lowKey, 127);
    p[3] = std::min<std::uint8_t>(info.highKey, 127);
    p[4] = 1;    // velocities 1 to 127: every note
    p[5] = 127;
    // Gain 0 at p[6]; the sustain loop; the release loop stays 0 (no loop, no markers).
    if (loop) {
      StoreBE16(p + 8, info.loopType == kLoopTypeAlternating ? 2 : 1);
      StoreBE16(p + 10, kLoopStartMarker);
      StoreBE16(p + 12, kLoopEndMarker);
    }
    p += kInstBytes;
  }

  chunk("SSND", static_cast<std::uint32_t>(8 + dataBytes));
  p += 8;  // offset and block size 0
  out.Write(static_cast<std::size_t>(p - header), header);
}
