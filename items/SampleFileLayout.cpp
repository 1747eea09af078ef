#include "items/SampleFileLayout.h"

#include <algorithm>
#include <string>

#include "framework/iff/IFFReader.h"
#include "framework/media/ByteOrder.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/SampleInfoRules.h"
#include "items/WaveInfo.h"

using namespace NSFerryman;

namespace {

ESampleValueFormat ValueFormat(std::uint32_t bytesPerSample, bool littleEndian, bool unsigned8) {
  switch (bytesPerSample) {
    case 1:
      return unsigned8 ? ESampleValueFormat::kUnsigned8 : ESampleValueFormat::kSigned8;
    case 2:
      return littleEndian ? ESampleValueFormat::kLE16 : ESampleValueFormat::kBE16;
    default:
      return littleEndian ? ESampleValueFormat::kLE24 : ESampleValueFormat::kBE24;
  }
}

// Each raw value as the 16-bit value the 24-bit intermediate form would give after a shift right
// by 8: 8-bit values move to the top byte, 16-bit values stay, 24-bit values keep their two top
// bytes (which is the arithmetic shift, so the rounding is toward minus infinity).
template <ESampleValueFormat kFormat>
void Convert(const std::uint8_t* in, std::size_t values, std::int16_t* out) {
  for (std::size_t i = 0; i < values; ++i) {
    if constexpr (kFormat == ESampleValueFormat::kUnsigned8) {
      out[i] = static_cast<std::int16_t>((in[i] - 128) * 256);
    } else if constexpr (kFormat == ESampleValueFormat::kSigned8) {
      out[i] = static_cast<std::int16_t>(static_cast<std::int8_t>(in[i]) * 256);
    } else if constexpr (kFormat == ESampleValueFormat::kLE16) {
      out[i] = static_cast<std::int16_t>(LoadLE16(in + 2 * i));
    } else if constexpr (kFormat == ESampleValueFormat::kBE16) {
      out[i] = static_cast<std::int16_t>(LoadBE16(in + 2 * i));
    } else if constexpr (kFormat == ESampleValueFormat::kLE24) {
      out[i] = static_cast<std::int16_t>(LoadLE16(in + 3 * i + 1));
    } else {
      out[i] = static_cast<std::int16_t>(LoadBE16(in + 3 * i));
    }
  }
}

}  // namespace

std::uint32_t CSampleFileLayout::BytesPerFrame() const {
  std::uint32_t bytes = 3;
  if (format == ESampleValueFormat::kUnsigned8 || format == ESampleValueFormat::kSigned8) bytes = 1;
  if (format == ESampleValueFormat::kLE16 || format == ESampleValueFormat::kBE16) bytes = 2;
  return bytes * info.channels;
}

CSampleFileLayout ReadWaveLayout(CMedia& media) {
  CWaveDataLayout data;
  CSampleFileLayout layout;
  layout.info = ReadWaveInfo(media, data);
  // ReadWaveInfo has checked that the "data" chunk, and so every frame it counts, is in the file.
  layout.dataStart = data.dataStart;
  layout.format = ValueFormat(data.bytesPerSample, true, true);
  return layout;
}

CSampleFileLayout ReadAIFFLayout(CMedia& media) {
  CAIFFDataLayout data;
  CSampleFileLayout layout;
  layout.info = ReadAIFFInfo(media, data);
  layout.format = ValueFormat(data.bytesPerSample, data.littleEndian, false);
  if (layout.info.frameCount == 0) return layout;

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
  // The frames must be there, in the chunk and in the file, before anything is taken for them.
  const MediaSize needed = std::uint64_t{layout.info.frameCount} * layout.BytesPerFrame();
  const MediaSize inChunk = MediaSize{size} - 8 >= offset ? MediaSize{size} - 8 - offset : 0;
  const MediaSize available = std::min(inChunk, inMedia - 8 >= offset ? inMedia - 8 - offset : 0);
  if (MediaSize{size} - 8 < offset || available < needed) {
    throw XBadFormat("AIFF \"SSND\" chunk holds " + std::to_string(available) + " bytes of audio; its " +
                     std::to_string(layout.info.frameCount) + " frames need " + std::to_string(needed));
  }
  layout.dataStart = chunkStart + 8 + offset;
  return layout;
}

CSampleFileLayout ReadSampleFileLayout(CMedia& media) {
  switch (SampleFileKindOf(media)) {
    case ESampleFileKind::kWave:
      return ReadWaveLayout(media);
    case ESampleFileKind::kAIFF:
      return ReadAIFFLayout(media);
    default:
      throw XUnsupportedFormat("not a WAV or AIFF file (it starts with neither \"RIFF\" nor \"FORM\")");
  }
}

void ConvertSampleValues(ESampleValueFormat format, const std::uint8_t* in, std::size_t values, std::int16_t* out) {
  switch (format) {
    case ESampleValueFormat::kUnsigned8:
      return Convert<ESampleValueFormat::kUnsigned8>(in, values, out);
    case ESampleValueFormat::kSigned8:
      return Convert<ESampleValueFormat::kSigned8>(in, values, out);
    case ESampleValueFormat::kLE16:
      return Convert<ESampleValueFormat::kLE16>(in, values, out);
    case ESampleValueFormat::kBE16:
      return Convert<ESampleValueFormat::kBE16>(in, values, out);
    case ESampleValueFormat::kLE24:
      return Convert<ESampleValueFormat::kLE24>(in, values, out);
    case ESampleValueFormat::kBE24:
      return Convert<ESampleValueFormat::kBE24>(in, values, out);
  }
}
