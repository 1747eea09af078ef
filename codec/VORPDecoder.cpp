#include "codec/VORPDecoder.h"

#include <algorithm>
#include <memory>
#include <string>

#include "codec/OptimizedVORPDecompressorFromMedia.h"

using namespace NSFerryman;

namespace {
constexpr std::uint32_t kBlockFrames = 4096;
}

void DecodeVORPStream(const CVORPSampleHeader& header, CMedia& input, CABCAudioAccessor& target, EVORPPath path) {
  if (header.channelCount != 1 && header.channelCount != 2) {
    throw XBadFormat("audio item header: " + std::to_string(header.channelCount) + " channels");
  }
  if (header.channelCount != target.GetChannelCount()) {
    throw XBadFormat("audio item of " + std::to_string(header.channelCount) + " channels decoded into " +
                     std::to_string(target.GetChannelCount()));
  }
  if (header.frameCount > target.GetFrameCount()) {
    throw XPosition("audio item of " + std::to_string(header.frameCount) + " frames decoded into " +
                    std::to_string(target.GetFrameCount()));
  }
  COptimizedVORPDecompressorFromMedia decoder(input, path);
  if (std::int16_t* frames = target.MutableInterleaved16()) {
    // The frames are in memory: decode into them where they are.
    for (std::uint32_t done = 0; done < header.frameCount;) {
      const std::uint32_t n = std::min(kBlockFrames, header.frameCount - done);
      std::int16_t* at = frames + std::size_t{done} * header.channelCount;
      if (header.channelCount == 1) {
        decoder.DecodeMono(n, at);
      } else {
        decoder.DecodeStereo(n, at);
      }
      done += n;
    }
    return;
  }
  auto buffer = std::make_unique<std::int16_t[]>(2 * kBlockFrames);
  for (std::uint32_t done = 0; done < header.frameCount;) {
    const std::uint32_t n = std::min(kBlockFrames, header.frameCount - done);
    if (header.channelCount == 1) {
      decoder.DecodeMono(n, buffer.get());
      target.Write16Channel(done, n, buffer.get(), kFirstChannel);
    } else {
      decoder.DecodeStereo(n, buffer.get());
      target.Write16Stereo(done, n, buffer.get());
    }
    done += n;
  }
}
