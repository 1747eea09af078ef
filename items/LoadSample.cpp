#include "items/LoadSample.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/iff/IFFReader.h"
#include "framework/media/ByteOrder.h"
#include "items/AIFFInfo.h"
#include "items/WaveInfo.h"

using namespace NSFerryman;

namespace {

// Frames converted per media read.
constexpr std::uint32_t kPortionFrames = 2048;

enum class ERawKind {
  kUnsigned8,   // WAV 8-bit
  kSigned8,     // AIFF 8-bit
  kLE16,
  kBE16,
  kLE24,
  kBE24,
};

ERawKind RawKind(std::uint32_t bytesPerSample, bool littleEndian, bool unsigned8) {
  switch (bytesPerSample) {
    case 1:
      return unsigned8 ? ERawKind::kUnsigned8 : ERawKind::kSigned8;
    case 2:
      return littleEndian ? ERawKind::kLE16 : ERawKind::kBE16;
    default:
      return littleEndian ? ERawKind::kLE24 : ERawKind::kBE24;
  }
}

// Each raw value as the 16-bit value the 24-bit intermediate form would give after a shift right
// by 8: 8-bit values move to the top byte, 16-bit values stay, 24-bit values keep their two top
// bytes (which is the arithmetic shift, so the rounding is toward minus infinity).
template <ERawKind kKind>
void Convert(const std::uint8_t* in, std::size_t values, std::int16_t* out) {
  for (std::size_t i = 0; i < values; ++i) {
    if constexpr (kKind == ERawKind::kUnsigned8) {
      out[i] = static_cast<std::int16_t>((in[i] - 128) * 256);
    } else if constexpr (kKind == ERawKind::kSigned8) {
      out[i] = static_cast<std::int16_t>(static_cast<std::int8_t>(in[i]) * 256);
    } else if constexpr (kKind == ERawKind::kLE16) {
      out[i] = static_cast<std::int16_t>(LoadLE16(in + 2 * i));
    } else if constexpr (kKind == ERawKind::kBE16) {
      out[i] = static_cast<std::int16_t>(LoadBE16(in + 2 * i));
    } else if constexpr (kKind == ERawKind::kLE24) {
      out[i] = static_cast<std::int16_t>(LoadLE16(in + 3 * i + 1));
    } else {
      out[i] = static_cast<std::int16_t>(LoadBE16(in + 3 * i));
    }
  }
}

using ConvertFunction = void (*)(const std::uint8_t*, std::size_t, std::int16_t*);

ConvertFunction ConverterFor(ERawKind kind) {
  switch (kind) {
    case ERawKind::kUnsigned8:
      return Convert<ERawKind::kUnsigned8>;
    case ERawKind::kSigned8:
      return Convert<ERawKind::kSigned8>;
    case ERawKind::kLE16:
      return Convert<ERawKind::kLE16>;
    case ERawKind::kBE16:
      return Convert<ERawKind::kBE16>;
    case ERawKind::kLE24:
      return Convert<ERawKind::kLE24>;
    case ERawKind::kBE24:
      break;
  }
  return Convert<ERawKind::kBE24>;
}

// Reads the frames at `dataStart` into the sample, one media read per portion.
void FillSample(CMedia& media, MediaSize dataStart, std::uint32_t bytesPerSample, ERawKind kind, CWaveSample& sample) {
  const std::uint32_t frames = sample.GetFrameCount();
  const std::uint32_t channels = sample.GetChannelCount();
  const std::size_t bytesPerFrame = std::size_t{bytesPerSample} * channels;
  const ConvertFunction convert = ConverterFor(kind);
  std::vector<std::uint8_t> raw(std::size_t{kPortionFrames} * bytesPerFrame);
  std::int16_t* out = sample.Frames();
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t n = std::min(kPortionFrames, frames - done);
    media.ReadAt(dataStart + std::uint64_t{done} * bytesPerFrame, n * bytesPerFrame, raw.data());
    convert(raw.data(), std::size_t{n} * channels, out + std::size_t{done} * channels);
    done += n;
  }
}

CSampleFormat FormatOf(const CSampleInfo& info, std::uint32_t bits) {
  return {info.channels, bits, info.sampleRate, info.frameCount};
}

}  // namespace

std::unique_ptr<CWaveSample> LoadWaveSample(CMedia& media, std::uint32_t bits) {
  CWaveDataLayout layout;
  const CSampleInfo info = ReadWaveInfo(media, layout);
  // ReadWaveInfo has checked that the "data" chunk, and so every frame it counts, is in the file.
  auto sample = std::make_unique<CWaveSample>(FormatOf(info, bits));
  if (info.frameCount == 0) return sample;
  FillSample(media, layout.dataStart, layout.bytesPerSample, RawKind(layout.bytesPerSample, true, true), *sample);
  return sample;
}

std::unique_ptr<CWaveSample> LoadAIFFSample(CMedia& media, std::uint32_t bits) {
  CAIFFDataLayout layout;
  const CSampleInfo info = ReadAIFFInfo(media, layout);
  if (info.frameCount == 0) return std::make_unique<CWaveSample>(FormatOf(info, bits));

  media.SetPosition(0);
  CIFFReader reader(media, "FORM");
  std::uint32_t size;
  if (!reader.FindChunk("SSND", size)) throw XBadFormat("AIFF file without a \"SSND\" chunk");
  const MediaSize chunkStart = media.GetPosition();
  const MediaSize mediaSize = media.GetSize();
  const MediaSize inMedia = chunkStart < mediaSize ? mediaSize - chunkStart : 0;
  if (size < 8 || inMedia < 8) throw XBadFormat("AIFF \"SSND\" chunk of " + std::to_string(size) + " bytes is too short");
  const std::uint32_t offset = media.ReadU32();
  media.ReadU32();  // block size: not needed for packed frames
  // The frames must be there, in the chunk and in the file, before memory is taken for them.
  const MediaSize needed = std::uint64_t{info.frameCount} * info.channels * layout.bytesPerSample;
  const MediaSize inChunk = MediaSize{size} - 8 >= offset ? MediaSize{size} - 8 - offset : 0;
  const MediaSize available = std::min(inChunk, inMedia - 8 >= offset ? inMedia - 8 - offset : 0);
  if (MediaSize{size} - 8 < offset || available < needed) {
    throw XBadFormat("AIFF \"SSND\" chunk holds " + std::to_string(available) + " bytes of audio; its " +
                     std::to_string(info.frameCount) + " frames need " + std::to_string(needed));
  }
  auto sample = std::make_unique<CWaveSample>(FormatOf(info, bits));
  FillSample(media, chunkStart + 8 + offset, layout.bytesPerSample,
             RawKind(layout.bytesPerSample, layout.littleEndian, false), *sample);
  return sample;
}

ESampleFileKind SampleFileKindOf(CMedia& media) {
  const MediaSize saved = media.GetPosition();
  ESampleFileKind kind = ESampleFileKind::kUnknown;
  if (media.GetSize() >= 4) {
    std::uint8_t magic[4];
    media.ReadAt(0, 4, magic);
    const std::string m(reinterpret_cast<const char*>(magic), 4);
    if (m == "RIFF") kind = ESampleFileKind::kWave;
    if (m == "FORM") kind = ESampleFileKind::kAIFF;
  }
  media.SetPosition(saved);
  return kind;
}
