#include "items/WaveInfo.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "framework/iff/IFFChunk.h"
#include "framework/iff/IFFReader.h"
#include "framework/media/ByteOrder.h"
#include "items/SampleInfoRules.h"

using namespace NSFerryman;

namespace {

constexpr std::uint16_t kFormatPCM = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM as stored in the file.
constexpr std::uint8_t kPCMSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Bytes left in the media after `position` (0 when it lies past the end).
MediaSize BytesAfter(CMedia& media, MediaSize position) {
  const MediaSize size = media.GetSize();
  return position < size ? size - position : 0;
}

// The format tag, resolving the extensible form to the sub-format it carries. Only integer PCM
// comes back as kFormatPCM.
std::uint16_t EffectiveFormatTag(CMedia& media, std::uint16_t tag, std::uint32_t fmtSize, MediaSize fmtStart) {
  if (tag != kFormatExtensible) return tag;
  // 16 bytes of the plain header, then cbSize, valid bits, channel mask and the 16-byte GUID.
  if (fmtSize < 40) {
    throw XBadFormat("WAV \"fmt \" chunk of the extensible format holds " + std::to_string(fmtSize) +
                     " bytes, too few for its sub-format");
  }
  std::uint8_t ext[24];
  media.ReadAt(fmtStart + 16, sizeof ext, ext);
  if (LoadLE16(ext) < 22) {
    throw XBadFormat("WAV extensible format with an extension of " + std::to_string(LoadLE16(ext)) + " bytes");
  }
  if (std::memcmp(ext + 8, kPCMSubFormat, 16) == 0) return kFormatPCM;
  return tag;
}

// What lies where the chunk search (CIFFReader) gave up on finding "data", walked by its rules.
struct CDataSearchEnd {
  // The search never finds an empty chunk that closes the container; an empty "data" chunk is
  // that chunk when a file has no audio, and its data starts here.
  std::optional<MediaSize> emptyClosingData;
  // Otherwise why there is no "data" chunk: a chunk whose size runs past the end of the file, a
  // file that ends inside a chunk header, a RIFF size that ends the list early, or else (a
  // damaged ID) the chunks that are there.
  std::string why;
};

CDataSearchEnd FindWhereDataSearchEnded(CMedia& media) {
  const MediaSize size = media.GetSize();
  std::uint8_t riffSize[4];
  media.ReadAt(4, 4, riffSize);
  const MediaSize limit = LoadLE32(riffSize);
  std::string chunks;
  int listed = 0;
  MediaSize offset = 12;
  for (bool first = true;; first = false) {
    const std::string after = chunks.empty() ? "" : " after the chunks " + chunks;
    if (offset >= size) return {{}, "the file ends at byte " + std::to_string(size) + after};
    if (size - offset < 8) {
      return {{}, "the file ends at byte " + std::to_string(size) + ", inside a chunk header" + after};
    }
    std::uint8_t header[8];
    media.ReadAt(offset, sizeof header, header);
    const CFourCharCode id(LoadBE32(header));
    const std::uint32_t chunkSize = LoadLE32(header + 4);
    if (!first && offset >= limit) {
      if (offset == limit && id == CFourCharCode("data") && chunkSize == 0) return {offset + 8, ""};
      return {{}, "the RIFF header's size ends the chunk list at byte " + std::to_string(limit + 8) + after};
    }
    const MediaSize next = offset + 8 + chunkSize + (chunkSize & 1);
    if (next > size) {
      return {{}, "the chunk " + QuoteIFFCode(id) + " at byte " + std::to_string(offset) + " claims " +
                      std::to_string(chunkSize) + " bytes, past the end of the file at byte " + std::to_string(size)};
    }
    if (listed < 8) {
      chunks += (chunks.empty() ? "" : ", ") + QuoteIFFCode(id);
    } else if (listed == 8) {
      chunks += ", ...";
    }
    ++listed;
    offset = next;
  }
}

std::string FormatName(std::uint16_t tag) {
  switch (tag) {
    case 3:
      return "floating point";
    case 6:
      return "A-law";
    case 7:
      return "mu-law";
    case kFormatExtensible:
      return "an extensible format other than integer PCM";
    default:
      return "format tag " + std::to_string(tag);
  }
}

// The "smpl" chunk: unity note, pitch fraction and the first loop.
void ReadSamplerChunk(CMedia& media, RIFF_READER& reader, CSampleInfo& info) {
  std::uint32_t size;
  if (!reader.FindChunk("smpl", size)) return;
  const MediaSize start = media.GetPosition();
  if (size > BytesAfter(media, start)) {
    throw XBadFormat("WAV \"smpl\" chunk claims " + std::to_string(size) + " bytes but the file ends before");
  }
  if (size < 36) throw XBadFormat("WAV \"smpl\" chunk of " + std::to_string(size) + " bytes is too short");
  std::uint8_t h[36];
  media.ReadAt(start, sizeof h, h);
  const std::uint32_t unityNote = LoadLE32(h + 12);
  const std::uint32_t pitchFraction = LoadLE32(h + 16);
  const std::uint32_t smpteFormat = LoadLE32(h + 20);
  const std::uint32_t loops = LoadLE32(h + 28);
  const std::uint32_t samplerData = LoadLE32(h + 32);
  if (unityNote >= 128) throw XBadFormat("WAV \"smpl\" unity note " + std::to_string(unityNote) + " is above 127");
  if (smpteFormat != 0 && smpteFormat != 24 && smpteFormat != 25 && smpteFormat != 29 && smpteFormat != 30) {
    throw XBadFormat("WAV \"smpl\" SMPTE format " + std::to_string(smpteFormat) + " is not 0, 24, 25, 29 or 30");
  }
  // 64-bit: 24 x loops alone can exceed 32 bits.
  const std::uint64_t needed = 36 + 24 * std::uint64_t{loops} + samplerData;
  if (needed > size) {
    throw XBadFormat("WAV \"smpl\" chunk of " + std::to_string(size) + " bytes is too short for its " +
                     std::to_string(loops) + " loops and " + std::to_string(samplerData) + " bytes of sampler data");
  }

  info.instrumentPresent = 1;
  info.rootKey = static_cast<std::uint8_t>(unityNote);
  info.sourceFlag = 0;
  info.lowKey = 0;
  info.highKey = 127;
  // The fraction of a semitone above the unity note, as 24 bits.
  const std::uint64_t f = pitchFraction >> 8;
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 23;
  if (f <= kHalf) {
    info.fineTune = static_cast<std::int8_t>(f * 50 / kHalf);
  } else if (unityNote < 127) {
    // More than half a semitone up: closer to the next key, tuned down.
    info.rootKey = static_cast<std::uint8_t>(unityNote + 1);
    info.fineTune = static_cast<std::int8_t>(static_cast<std::int64_t>((f - kHalf) * 50 / (kHalf - 1)) - 50);
  } else {
    info.fineTune = 50;
  }

  if (loops == 0) return;
  std::uint8_t loop[24];
  media.ReadAt(start + 36, sizeof loop, loop);
  const std::uint32_t type = LoadLE32(loop + 4);
  // Loop points are taken as signed: a "negative" start means no loop.
  const std::int64_t loopStart = static_cast<std::int32_t>(LoadLE32(loop + 8));
  const std::int64_t loopEnd = static_cast<std::int64_t>(static_cast<std::int32_t>(LoadLE32(loop + 12))) + 1;
  std::int32_t kind = kLoopKindNone;
  std::int32_t loopType = kLoopTypeForward;
  if (type == 0) {
    kind = kLoopKindLoop;
  } else if (type == 1) {
    kind = kLoopKindLoop;
    loopType = kLoopTypeAlternating;
  } else if (type == 2) {
    kind = kLoopKindNotKept;  // backward loops are not kept
  }
  SetSampleLoop(info, kind, loopType, loopStart, loopEnd);
}

}  // namespace

CSampleInfo ReadWaveInfo(CMedia& media) {
  CWaveDataLayout layout;
  return ReadWaveInfo(media, layout);
}

CSampleInfo ReadWaveInfo(CMedia& media, CWaveDataLayout& layout) {
  media.SetPosition(0);
  RIFF_READER reader(media);

  std::uint32_t fmtSize;
  if (!reader.FindChunk("fmt ", fmtSize)) throw XBadFormat("WAV file without a \"fmt \" chunk");
  const MediaSize fmtStart = media.GetPosition();
  if (fmtSize < 16) throw XBadFormat("WAV \"fmt \" chunk of " + std::to_string(fmtSize) + " bytes is too short");
  if (fmtSize > BytesAfter(media, fmtStart)) throw XBadFormat("WAV \"fmt \" chunk runs past the end of the file");
  std::uint8_t fmt[16];
  media.ReadAt(fmtStart, sizeof fmt, fmt);
  const std::uint16_t tag = LoadLE16(fmt);
  const std::uint16_t channels = LoadLE16(fmt + 2);
  const std::uint32_t sampleRate = LoadLE32(fmt + 4);
  const std::uint32_t byteRate = LoadLE32(fmt + 8);
  const std::uint16_t blockAlign = LoadLE16(fmt + 12);
  const std::uint16_t bitsPerSample = LoadLE16(fmt + 14);

  if (channels == 0) throw XBadFormat("WAV file with 0 channels");
  if (sampleRate == 0) throw XBadFormat("WAV file with a sample rate of 0");
  if (byteRate == 0) throw XBadFormat("WAV file with a byte rate of 0");

  const std::uint16_t format = EffectiveFormatTag(media, tag, fmtSize, fmtStart);
  if (channels != 1 && channels != 2) {
    throw XUnsupportedFormat("WAV file with " + std::to_string(channels) + " channels (only mono and stereo)");
  }
  if (format != kFormatPCM) throw XUnsupportedFormat("WAV file in " + FormatName(format) + ", not integer PCM");
  const std::uint32_t bits = SupportedSampleBits(bitsPerSample);
  if (bits == 0) {
    throw XUnsupportedFormat("WAV file with " + std::to_string(bitsPerSample) +
                             " bits per sample (only 8, 16, 20, 22 and 24)");
  }
  const std::uint32_t bytesPerSample = BytesPerSample(bits);
  const std::uint32_t bytesPerFrame = bytesPerSample * channels;
  // Frames are read packed; a block align that says otherwise would turn the audio into noise.
  if (blockAlign != 0 && blockAlign != bytesPerFrame) {
    throw XUnsupportedFormat("WAV file with " + std::to_string(blockAlign) + "-byte frames for " +
                             std::to_string(channels) + " channels of " + std::to_string(bitsPerSample) + " bits");
  }

  CSampleInfo info;
  info.channels = channels;
  info.bits = bits;
  info.sampleRate = sampleRate;
  layout.bytesPerSample = bytesPerSample;

  // Without its "data" chunk a file is damaged, not silent: packing it as an empty sample would
  // lose the audio without a word.
  std::uint32_t dataSize;
  if (reader.FindChunk("data", dataSize)) {
    layout.dataStart = media.GetPosition();
  } else {
    const CDataSearchEnd end = FindWhereDataSearchEnded(media);
    if (!end.emptyClosingData) throw XBadFormat("WAV file without a \"data\" chunk: " + end.why);
    layout.dataStart = *end.emptyClosingData;
    dataSize = 0;
  }
  // The frame count comes from this size, so it must describe bytes that are there.
  const MediaSize present = BytesAfter(media, layout.dataStart);
  if (dataSize > present) {
    throw XBadFormat("WAV \"data\" chunk claims " + std::to_string(dataSize) + " bytes but only " +
                     std::to_string(present) + " follow");
  }
  info.frameCount = dataSize / bytesPerFrame;

  ReadSamplerChunk(media, reader, info);
  return info;
}
