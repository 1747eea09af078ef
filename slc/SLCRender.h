#pragma once
// Rendering of slices and of the tempo-moved preview, from a file view whose slice table and
// audio have been checked.
//
// A slice of n frames at rate R becomes ceil(n * R' / R) frames at the output rate R'; output
// frame j takes the stored audio at position j * R / R' by linear interpolation between the two
// stored frames around it (the slice's last frame is held past its end).

#include <cstdint>

#include "SLCFileView.h"

namespace NSSLC {

// Frames slice `slice` takes at `outputRate`.
std::uint64_t RenderedFrames(const CLayout& layout, std::uint32_t outputRate, const CSlice& slice);

// Writes `count` interleaved frames of the slice, from rendered frame `first` on.
void RenderSliceFrames(const CFileView& view, std::uint32_t outputRate, const CSlice& slice, std::uint64_t first,
                       std::uint64_t count, std::int16_t* out);

// Frames one pass of the loop takes at `outputRate` and `tempo` (at least 1).
std::uint64_t PreviewLoopFrames(const CLayout& layout, std::uint32_t outputRate, std::uint32_t tempo);

// Writes `count` interleaved preview frames from loop position `position` (taken modulo the loop
// length) on, wrapping round the loop.
void RenderPreviewFrames(const CFileView& view, std::uint32_t outputRate, std::uint32_t tempo, std::uint64_t position,
                         std::uint32_t count, std::int16_t* out);

}  // namespace NSSLC
