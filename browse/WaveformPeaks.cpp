#include "browse/WaveformPeaks.h"

#include <algorithm>
#include <limits>

#include "framework/media/Exceptions.h"

namespace {
constexpr std::uint32_t kBlockFrames = 16384;
}

CWaveformPeaks ComputeWaveformPeaks(CSampleStream& stream, std::uint32_t columns, const WaveformProgress& progress) {
  CWaveformPeaks peaks;
  columns = std::max<std::uint32_t>(columns, 1);
  peaks.low.assign(columns, std::numeric_limits<std::int16_t>::max());
  peaks.high.assign(columns, std::numeric_limits<std::int16_t>::min());
  stream.Rewind();
  const std::uint64_t frameCount = stream.FrameCount();
  const unsigned channels = stream.Header().channelCount;
  std::vector<std::int16_t> block(std::size_t{kBlockFrames} * channels);
  std::uint64_t frame = 0;
  std::uint32_t column = 0;
  // The first frame of the next column; frame f is in column c while f < next.
  const auto firstOf = [&](std::uint64_t c) { return (c * frameCount + columns - 1) / columns; };
  std::uint64_t next = firstOf(1);
  while (const std::uint32_t n = stream.Read(block.data(), kBlockFrames)) {
    for (std::uint32_t i = 0; i < n; ++i, ++frame) {
      while (frame >= next) next = firstOf(++column + 1);
      std::int16_t& low = peaks.low[column];
      std::int16_t& high = peaks.high[column];
      for (unsigned c = 0; c < channels; ++c) {
        const std::int16_t v = block[std::size_t{i} * channels + c];
        low = std::min(low, v);
        high = std::max(high, v);
      }
    }
    if (progress && !progress(frame, frameCount)) throw NSFerryman::XUserCancelled("the waveform was not finished");
  }
  // Columns no frame fell in (more columns than frames) are flat.
  for (std::uint32_t c = 0; c < columns; ++c) {
    if (peaks.low[c] > peaks.high[c]) peaks.low[c] = peaks.high[c] = 0;
  }
  return peaks;
}

std::uint32_t WaveformColumnOf(std::uint64_t frame, std::uint64_t frameCount, std::uint32_t columns) {
  if (frameCount == 0 || columns == 0) return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(columns - 1, frame * columns / frameCount));
}
