#include "codec/VORPDecoder.h"

#include <algorithm>
#include <memory>
#include <string>

#include "codec/OptimizedVORPDecompressorFromMedia.h"

using namespace NSFerryman;

namespace {
constexpr std::uint32_t kBlockFrames = 4096;
// Frames per block handed to a consumer: large enough that the cost of a write (a system call
// when the consumer writes a file) vanishes beside the decoding.
constexpr std::uint32_t kConsumerFrames = 32768;
}

namespace {

void CheckChannels(const CVORPSampleHeader& header) {
  if (header.channelCount != 1 && header.channelCount != 2) {
    throw XBadFormat("audio item header: " + std::to_string(header.channelCount) + " channels");
  }
}

// `count` frames into `at`.
void DecodeBlock(COptimizedVORPDecompressorFromMedia& decoder, std::uint8_t channels, std::uint32_t count,
                 std::int16_t* at) {
  if (channels == 1) {
    decoder.DecodeMono(count, at);
  } else {
    decoder.DecodeStereo(count, at);
  }
}

}  // namespace

void DecodeVORPStream(const CVORPSampleHeader& header, CMedia& input, CABCAudioAccessor& target, EVORPPath path) {
  CheckChannels(header);
  if (header.channelCount != target.GetChannelCount()) {
    throw XBadFormat("audio item of " + std::to_string(header.channelCount) + " channels decoded into " +
                     std::to_string(target.GetChannelCount()));
  }
  if (header.frameCount > target.GetFrameCount()) {
    throw XPosition("audio item of " + std::to_string(header.frameCount) + " frames decoded into " +
                    std::to_string(target.GetFrameCount()));
  }
  std::int16_t* frames = target.MutableInterleaved16();
  if (!frames) {
    DecodeVORPBlocks(
        header, input,
        [&target, done = std::uint32_t{0}](const std::int16_t* block, std::uint32_t count) mutable {
          target.Write16Stereo(done, count, block);
          done += count;
        },
        path);
    return;
  }
  // The frames are in memory: decode into them where they are.
  COptimizedVORPDecompressorFromMedia decoder(input, path);
  for (std::uint32_t done = 0; done < header.frameCount;) {
    const std::uint32_t n = std::min(kBlockFrames, header.frameCount - done);
    DecodeBlock(decoder, header.channelCount, n, frames + std::size_t{done} * header.channelCount);
    done += n;
  }
}

void DecodeVORPBlocks(const CVORPSampleHeader& header, CMedia& input, const VORPFrameConsumer& consumer,
                      EVORPPath path) {
  CheckChannels(header);
  COptimizedVORPDecompressorFromMedia decoder(input, path);
  auto block = std::make_unique<std::int16_t[]>(std::size_t{kConsumerFrames} * header.channelCount);
  for (std::uint32_t done = 0; done < header.frameCount;) {
    const std::uint32_t n = std::min(kConsumerFrames, header.frameCount - done);
    DecodeBlock(decoder, header.channelCount, n, block.get());
    consumer(block.get(), n);
    done += n;
  }
}
