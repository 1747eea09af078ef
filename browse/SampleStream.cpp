#include "browse/SampleStream.h"

#include <algorithm>

#include "browse/SampleFacts.h"
#include "codec/OptimizedVORPDecompressorFromMedia.h"

CSampleStream::CSampleStream(std::unique_ptr<NSFerryman::CMedia> item)
    : item_(std::move(item)), header_(ReadSampleFacts(*item_)) {
  Rewind();
}

CSampleStream::~CSampleStream() = default;

void CSampleStream::Rewind() {
  decoder_.reset();
  item_->SetPosition(CVORPSampleHeader::kSize);
  decoder_ = std::make_unique<COptimizedVORPDecompressorFromMedia>(*item_);
  position_ = 0;
}

std::uint32_t CSampleStream::Read(std::int16_t* frames, std::uint32_t maxFrames) {
  const std::uint32_t n = std::min(maxFrames, header_.frameCount - position_);
  if (n == 0) return 0;
  try {
    if (header_.channelCount == 1) {
      decoder_->DecodeMono(n, frames);
    } else {
      decoder_->DecodeStereo(n, frames);
    }
  } catch (...) {
    // The decoder's state is past saving: nothing more comes out of this stream until a rewind.
    position_ = header_.frameCount;
    throw;
  }
  position_ += n;
  return n;
}
