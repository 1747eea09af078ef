#include "items/WaveFileWriter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/media/ByteOrder.h"

using namespace NSFerryman;

namespace {

constexpr std::uint32_t kPortionFrames = 4096;

constexpr std::uint64_t kMaxU32 = 0xFFFFFFFFu;

bool HasSamplerData(const CSampleInfo& info) { return info.instrumentPresent || info.loopKind == kLoopKindLoop; }
bool HasKeptLoop(const CSampleInfo& info) {
  return info.loopKind == kLoopKindLoop && info.loopEnd > info.loopStart && info.loopStart >= 0;
}
// The whole "smpl" chunk, its 8-byte chunk header included; 0 when there is none.
std::uint32_t SamplerChunkBytes(const CSampleInfo& info) {
  if (!HasSamplerData(info)) return 0;
  return 8 + (HasKeptLoop(info) ? 60 : 36);
}

}  // namespace

CWaveFileWriter::CPitch CWaveFileWriter::PitchOf(std::uint8_t rootKey, std::int8_t fineTune) {
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 23;  // half a semitone in 24-bit fractions
  const std::uint32_t key = std::min<std::uint32_t>(rootKey, 127);
  const std::int64_t cents = std::clamp<std::int64_t>(fineTune, -50, 50);
  if (cents >= 0 || key == 0) {
    // The smallest fraction that reads back as these cents (the reader truncates).
    const std::uint64_t f = (static_cast<std::uint64_t>(std::max<std::int64_t>(cents, 0)) * kHalf + 49) / 50;
    return {key, static_cast<std::uint32_t>(f << 8)};
  }
  // Below the key: more than half a semitone above the key under it. At least one step past the
  // half, which would read back as +50 on the lower key.
  const std::uint64_t k = static_cast<std::uint64_t>(cents + 50);
  const std::uint64_t g = std::max<std::uint64_t>(1, (k * (kHalf - 1) + 49) / 50);
  return {key - 1, static_cast<std::uint32_t>((kHalf + g) << 8)};
}

void CWaveFileWriter::CheckFormat(std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                                  const CSampleInfo& info) {
  if (channels != 1 && channels != 2) {
    throw XUnsupportedFormat("a WAV file of " + std::to_string(channels) + " channels");
  }
  if (sampleRate == 0) throw XBadFormat("a WAV file needs a sample rate above 0");
  // Written unchecked, these fields would wrap: a reader would take the file for another one, or
  // refuse it (a byte rate that wrapped to 0).
  const std::uint32_t bytesPerFrame = 2u * channels;
  if (std::uint64_t{sampleRate} * bytesPerFrame > kMaxU32) {
    throw XBadFormat("a sample rate of " + std::to_string(sampleRate) + " Hz is more than a WAV file can carry (its " +
                     std::to_string(channels) + "-channel byte rate passes 4 GiB a second)");
  }
  const std::uint64_t dataBytes = std::uint64_t{frames} * bytesPerFrame;
  const std::uint64_t riffBytes = 4 + (8 + 16) + SamplerChunkBytes(info) + 8 + dataBytes;
  if (riffBytes > kMaxU32) {
    throw XUnsupportedFormat("audio of " + std::to_string(frames) + " frames (" + std::to_string(dataBytes) +
                             " bytes) is too long for a WAV file, whose sizes are 32-bit");
  }
}

void CWaveFileWriter::WriteHeader(CMedia& out, std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                                  const CSampleInfo& info) {
  CheckFormat(channels, frames, sampleRate, info);
  const std::uint32_t bytesPerFrame = 2u * channels;
  const std::uint64_t dataBytes = std::uint64_t{frames} * bytesPerFrame;

  // Every size is known before the audio, so the header is written once, in front, and the
  // frames can follow it straight from a decoder without being held in memory.
  std::uint8_t smpl[36 + 24] = {};
  const std::uint32_t smplBytes = SamplerChunkBytes(info) == 0 ? 0 : SamplerChunkBytes(info) - 8;
  if (smplBytes != 0) {
    const bool loop = HasKeptLoop(info);
    const CPitch pitch = info.instrumentPresent ? PitchOf(info.rootKey, info.fineTune) : CPitch{60, 0};
    StoreLE32(smpl + 8, static_cast<std::uint32_t>(1000000000ull / sampleRate));  // sample period in ns
    StoreLE32(smpl + 12, pitch.unityNote);
    StoreLE32(smpl + 16, pitch.pitchFraction);
    StoreLE32(smpl + 28, loop ? 1 : 0);
    if (loop) {
      StoreLE32(smpl + 36 + 4, info.loopType == kLoopTypeAlternating ? 1 : 0);
      StoreLE32(smpl + 36 + 8, static_cast<std::uint32_t>(info.loopStart));
      StoreLE32(smpl + 36 + 12, static_cast<std::uint32_t>(info.loopEnd - 1));  // inclusive in the file
    }
  }

  std::uint8_t header[12 + 8 + 16 + 8 + sizeof smpl + 8];
  std::size_t used = 0;
  auto putBytes = [&](const void* bytes, std::size_t n) {
    std::memcpy(header + used, bytes, n);
    used += n;
  };
  auto put32 = [&](std::uint32_t v) {
    StoreLE32(header + used, v);
    used += 4;
  };
  auto putCode = [&](const char* code) { putBytes(code, 4); };
  const std::uint32_t smplChunk = SamplerChunkBytes(info);
  putCode("RIFF");
  put32(static_cast<std::uint32_t>(4 + (8 + 16) + smplChunk + 8 + dataBytes));
  putCode("WAVE");
  putCode("fmt ");
  put32(16);
  std::uint8_t fmt[16];
  StoreLE16(fmt, 1);
  StoreLE16(fmt + 2, channels);
  StoreLE32(fmt + 4, sampleRate);
  StoreLE32(fmt + 8, sampleRate * bytesPerFrame);
  StoreLE16(fmt + 12, static_cast<std::uint16_t>(bytesPerFrame));
  StoreLE16(fmt + 14, 16);
  putBytes(fmt, sizeof fmt);
  if (smplBytes) {
    putCode("smpl");
    put32(smplBytes);
    putBytes(smpl, smplBytes);
  }
  putCode("data");
  put32(static_cast<std::uint32_t>(dataBytes));
  out.Write(used, header);
}

void CWaveFileWriter::Write(CMedia& out, CABCAudioAccessor& audio, std::uint32_t sampleRate, const CSampleInfo& info) {
  const std::uint32_t frames = audio.GetFrameCount();
  const std::uint16_t channels = audio.GetChannelCount();
  WriteHeader(out, channels, frames, sampleRate, info);
  // 16-bit frames fill the data chunk to an even length: no pad byte follows.
  const std::int16_t* frames16 = audio.Interleaved16();
  std::vector<std::int16_t> portion(frames16 ? 0 : std::size_t{kPortionFrames} * channels);
  std::vector<std::uint8_t> bytes(std::size_t{kPortionFrames} * channels * 2);
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t n = std::min(kPortionFrames, frames - done);
    const std::int16_t* in;
    if (frames16) {
      in = frames16 + std::size_t{done} * channels;
    } else {
      audio.Read16Stereo(done, n, portion.data());
      in = portion.data();
    }
    const std::size_t values = std::size_t{n} * channels;
    for (std::size_t i = 0; i < values; ++i) StoreLE16(&bytes[2 * i], static_cast<std::uint16_t>(in[i]));
    out.Write(values * 2, bytes.data());
    done += n;
  }
}
