#include "codec/VORPEncoder.h"

#include <algorithm>
#include <string>

#include "codec/OutputBitStream.h"
#include "codec/VORPCompressor.h"

using namespace NSFerryman;

namespace {
constexpr std::uint32_t kBlockFrames = 4096;
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
  if (const std::int16_t* frames = audio.Interleaved16()) {
    // The frames are in memory already: code them where they are.
    for (std::uint32_t done = 0; done < total;) {
      const std::uint32_t n = std::min(kBlockFrames, total - done);
      compressor.CompressInterleaved(n, frames + std::size_t{done} * header.channelCount);
      done += n;
    }
  } else {
    auto left = std::make_unique<std::int16_t[]>(kBlockFrames);
    auto right = std::make_unique<std::int16_t[]>(kBlockFrames);
    for (std::uint32_t done = 0; done < total;) {
      const std::uint32_t n = std::min(kBlockFrames, total - done);
      audio.Read16Channel(done, n, left.get(), kFirstChannel);
      if (header.channelCount == 2) audio.Read16Channel(done, n, right.get(), kSecondChannel);
      compressor.Compress(n, left.get(), right.get());
      done += n;
    }
  }
  stream.Finish();
  stream.Close();
}
