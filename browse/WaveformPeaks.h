#pragma once
// The outline of a sample for drawing: for each of `columns` columns, the lowest and highest
// value of the frames that fall in it, over all channels. Frame f falls in column
// f * columns / frameCount, so every frame counts once and the columns share them out evenly.
//
//   const CWaveformPeaks peaks = ComputeWaveformPeaks(stream, width, [&](std::uint64_t done, std::uint64_t all) {
//     return !stopRequested;   // false: XUserCancelled
//   });
//
// The stream is read from its first frame to its end, a block at a time; `progress` is asked
// after each block. A sample of no frames gives columns of 0. The stream's failures pass on.

#include <cstdint>
#include <functional>
#include <vector>

#include "browse/SampleStream.h"

struct CWaveformPeaks {
  std::vector<std::int16_t> low;
  std::vector<std::int16_t> high;
};

using WaveformProgress = std::function<bool(std::uint64_t framesDone, std::uint64_t frameCount)>;

CWaveformPeaks ComputeWaveformPeaks(CSampleStream& stream, std::uint32_t columns,
                                    const WaveformProgress& progress = {});

// The column frame `frame` falls in, of `columns` columns over `frameCount` frames: where the
// waveform marks a frame (a loop's start and last frame), at any width.
std::uint32_t WaveformColumnOf(std::uint64_t frame, std::uint64_t frameCount, std::uint32_t columns);
