#include "SLCRender.h"

#include <algorithm>

namespace NSSLC {

namespace {

// Frame counts times rates times tempi reach 2^72: positions are computed in 128 bits.
using Wide = unsigned __int128;

// The output position of a stored frame when the loop is played at `tempo`.
std::uint64_t MovedFrame(const CLayout& layout, std::uint32_t outputRate, std::uint32_t tempo, std::uint64_t frame) {
  return static_cast<std::uint64_t>(Wide{frame} * outputRate * layout.tempo / (Wide{layout.sampleRate} * tempo));
}

}  // namespace

std::uint64_t RenderedFrames(const CLayout& layout, std::uint32_t outputRate, const CSlice& slice) {
  const Wide scaled = Wide{slice.frameCount} * outputRate;
  return static_cast<std::uint64_t>((scaled + layout.sampleRate - 1) / layout.sampleRate);
}

void RenderSliceFrames(const CFileView& view, std::uint32_t outputRate, const CSlice& slice, std::uint64_t first,
                       std::uint64_t count, std::int16_t* out) {
  const CLayout& layout = view.Layout();
  for (std::uint64_t j = first; j < first + count; ++j) {
    // j is below the rendered length, so the whole part of the position lies inside the slice.
    const Wide position = Wide{j} * layout.sampleRate;
    const std::uint64_t offset = static_cast<std::uint64_t>(position / outputRate);
    const std::int64_t fraction = static_cast<std::int64_t>(position % outputRate);
    const std::uint64_t frame = slice.startFrame + offset;
    const std::uint64_t next = offset + 1 < slice.frameCount ? frame + 1 : frame;
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
      const std::int64_t a = view.Sample(frame, c);
      const std::int64_t b = view.Sample(next, c);
      *out++ = static_cast<std::int16_t>(a + (b - a) * fraction / outputRate);
    }
  }
}

std::uint64_t PreviewLoopFrames(const CLayout& layout, std::uint32_t outputRate, std::uint32_t tempo) {
  return std::max<std::uint64_t>(1, MovedFrame(layout, outputRate, tempo, layout.frameCount));
}

void RenderPreviewFrames(const CFileView& view, std::uint32_t outputRate, std::uint32_t tempo, std::uint64_t position,
                         std::uint32_t count, std::int16_t* out) {
  const CLayout& layout = view.Layout();
  const std::uint64_t loop = PreviewLoopFrames(layout, outputRate, tempo);
  std::uint64_t t = position % loop;
  for (std::uint32_t k = 0; k < count; ++k, t = (t + 1 == loop) ? 0 : t + 1) {
    // The last slice whose moved start is at or before t.
    std::uint32_t low = 0;
    std::uint32_t high = layout.sliceCount;
    while (low < high) {
      const std::uint32_t middle = low + (high - low) / 2;
      if (MovedFrame(layout, outputRate, tempo, view.Slice(middle).startFrame) <= t) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    bool sounding = false;
    if (low > 0) {
      const CSlice slice = view.Slice(low - 1);
      const std::uint64_t offset = t - MovedFrame(layout, outputRate, tempo, slice.startFrame);
      if (offset < RenderedFrames(layout, outputRate, slice)) {
        RenderSliceFrames(view, outputRate, slice, offset, 1, out);
        sounding = true;
      }
    }
    if (!sounding) std::fill(out, out + layout.channels, std::int16_t{0});
    out += layout.channels;
  }
}

}  // namespace NSSLC
