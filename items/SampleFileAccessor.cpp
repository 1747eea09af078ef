#include "items/SampleFileAccessor.h"

#include <algorithm>
#include <bit>

using namespace NSFerryman;

namespace {

// Frames read and converted at a time when the values need converting.
constexpr std::uint32_t kPortionFrames = 4096;

}  // namespace

CSampleFileAccessor::CSampleFileAccessor(CMedia& media, const CSampleFileLayout& layout)
    : CABC16BitAccessor(&media, layout.info.frameCount, layout.info.channels), layout_(layout) {}

void CSampleFileAccessor::Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) {
  CheckRange(first, count);
  if (count == 0) return;
  CMedia& media = *GetMedia();
  const std::uint32_t bytesPerFrame = layout_.BytesPerFrame();
  if (std::endian::native == std::endian::little && layout_.format == ESampleValueFormat::kLE16) {
    // Already the frames asked for: read them straight into place.
    media.ReadAt(layout_.FrameOffset(first), std::size_t{count} * bytesPerFrame, data);
    return;
  }
  if (raw_.empty()) raw_.resize(std::size_t{kPortionFrames} * bytesPerFrame);
  const std::size_t channels = GetChannelCount();
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(kPortionFrames, count - done);
    media.ReadAt(layout_.FrameOffset(first + done), std::size_t{n} * bytesPerFrame, raw_.data());
    ConvertSampleValues(layout_.format, raw_.data(), n * channels, data + done * channels);
    done += n;
  }
}

void CSampleFileAccessor::Write16Stereo(std::uint32_t, std::uint32_t, const std::int16_t*) {
  throw XWrite("the frames of a sample file are read-only");
}
