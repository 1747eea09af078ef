#pragma once
// A VORP decoder that reads its stream from a media, from the media's position on, in portions
// of up to 64 KiB (whole words only). A stream that ends before the frames asked for is
// XUnderflowOnInputBitStream; media failures propagate.

#include <cstdint>
#include <memory>

#include "codec/OptimizedVORPDecompressor.h"
#include "framework/media/Media.h"

class COptimizedVORPDecompressorFromMedia : public COptimizedVORPDecompressor {
 public:
  static constexpr std::uint32_t kBufferWords = 16384;

  // `media` is not owned and must outlive the decoder.
  explicit COptimizedVORPDecompressorFromMedia(NSFerryman::CMedia& media, EVORPPath path = EVORPPath::kAuto);

 protected:
  void Reload() override;

 private:
  NSFerryman::CMedia& media_;
  std::unique_ptr<std::uint32_t[]> words_;
};
