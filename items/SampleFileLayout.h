#pragma once
// Where the frames of a WAV or AIFF/AIFC file lie, how their values are stored, and the
// conversion of those values to the 16-bit values a sample holds. The whole-sample loaders and
// the streaming frame reader share it, so both give the same frames.
//
//   const CSampleFileLayout layout = ReadWaveLayout(media);
//   media.ReadAt(layout.FrameOffset(first), count * layout.BytesPerFrame(), raw);
//   ConvertSampleValues(layout.format, raw, count * layout.info.channels, frames);

#include <cstddef>
#include <cstdint>

#include "framework/media/Media.h"
#include "items/SampleInfo.h"

enum class ESampleValueFormat {
  kUnsigned8,  // WAV 8-bit
  kSigned8,    // AIFF 8-bit
  kLE16,
  kBE16,
  kLE24,  // 20, 22 and 24 bits in three bytes
  kBE24,
};

struct CSampleFileLayout {
  CSampleInfo info;
  std::uint64_t dataStart = 0;  // media position of the first frame
  ESampleValueFormat format = ESampleValueFormat::kLE16;

  std::uint32_t BytesPerFrame() const;
  std::uint64_t FrameOffset(std::uint32_t frame) const { return dataStart + std::uint64_t{frame} * BytesPerFrame(); }
};

// The description as ReadWaveInfo gives it and where its frames are; every frame it counts lies
// in the media. Failures as ReadWaveInfo.
CSampleFileLayout ReadWaveLayout(NSFerryman::CMedia& media);
// The description as ReadAIFFInfo gives it and where its frames are in "SSND". When it counts
// frames, a missing "SSND" chunk, or one (or a media) that holds fewer bytes than they need, is
// XBadFormat. Other failures as ReadAIFFInfo.
CSampleFileLayout ReadAIFFLayout(NSFerryman::CMedia& media);

// The layout of a WAV or an AIFF/AIFC file, chosen by the contents ("RIFF" or "FORM"), not the
// name: ".wav" files that are AIFF exist, and the other way round. Neither is XUnsupportedFormat.
CSampleFileLayout ReadSampleFileLayout(NSFerryman::CMedia& media);

// `values` raw values (frames x channels) as 16-bit values: 8-bit values move to the top byte;
// deeper values keep their top 16 bits (rounded toward minus infinity, no dither).
void ConvertSampleValues(ESampleValueFormat format, const std::uint8_t* in, std::size_t values, std::int16_t* out);
