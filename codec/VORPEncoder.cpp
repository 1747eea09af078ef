#include "codec/VORPEncoder.h"

#include <algorithm>
#include <memory>
#include <string>

#include "codec/OutputBitStream.h"
#include "codec/VORPCompressor.h"

using namespace NSFerryman;

namespace {
constexpr std::uint32_t kBlockFrames = 4096;
// Frames per read from an accessor that is not in memory: large enough that the cost of a read
// (a system call when the accessor streams from a file) vanishes beside the coding.
constexpr std::uint32_t kReadFrames = 32768;
}

void EncodeVORPStream(const CVORPSampleHeader& header, CMedia& output, CABCAudioAccessor& audio, EVORPPath path) {
  if (header.channelCount != audio.GetChannelCount()) {
    throw XBadFormat("audio item header names " + std::to_string(header.channelCount) + " channels, the audio has " +
                     std::to_string(audio.GetChannelCount()));
  }
  if (header.frameCount > audio.GetFrameCount()) {
    throw XPosition("audio item header names " + std::to_string(header.frameCount) + " frames, the audio has " +
                    std::to_string(audio.GetFrameCount()));
  }
  COutputBitStream stream(output);
  CVORPCompressor compressor(stream, header.channelCount, path);
  const std::uint32_t total = header.frameCount;
  const std::size_t channels = header.channelCount;
  if (const std::int16_t* frames = audio.Interleaved16()) {
    // The frames are in memory already: code them where they are.
    for (std::uint32_t done = 0; done < total;) {
      const std::uint32_t n = std::min(kBlockFrames, total - done);
      compressor.CompressInterleaved(n, frames + std::size_t{done} * channels);
      done += n;
    }
  } else {
    // Whole frames a block at a time: one read per block from an accessor that streams from a
    // file, and memory that does not grow with the sample.
    auto block = std::make_unique<std::int16_t[]>(kReadFrames * channels);
    for (std::uint32_t done = 0; done < total;) {
      const std::uint32_t n = std::min(kReadFrames, total - done);
      audio.Read16Stereo(done, n, block.get());
      compressor.CompressInterleaved(n, block.get());
      done += n;
    }
  }
  stream.Finish();
  stream.Close();
}
