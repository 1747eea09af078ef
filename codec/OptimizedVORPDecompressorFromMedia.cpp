#include "codec/OptimizedVORPDecompressorFromMedia.h"

#include <algorithm>

using namespace NSFerryman;

COptimizedVORPDecompressorFromMedia::COptimizedVORPDecompressorFromMedia(CMedia& media, EVORPPath path)
    : COptimizedVORPDecompressor(path), media_(media), words_(std::make_unique<std::uint32_t[]>(kBufferWords)) {}

void COptimizedVORPDecompressorFromMedia::Reload() {
  const MediaSize words = std::min<MediaSize>(media_.Remaining() / 4, kBufferWords);
  // No whole word left: the stream is shorter than its frame count says.
  if (words == 0) throw XUnderflowOnInputBitStream();
  auto* bytes = reinterpret_cast<std::uint8_t*>(words_.get());
  media_.Read(static_cast<std::size_t>(words * 4), bytes);
  // Stored big-endian; the reader wants host order.
  for (std::size_t i = 0; i < words; ++i) {
    const std::uint8_t* b = bytes + 4 * i;
    words_[i] = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
  }
  SetBuffer(static_cast<std::uint32_t>(words), words_.get());
}
