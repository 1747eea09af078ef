#include "codec/OptimizedVORPDecompressorFromMedia.h"

#include <algorithm>
#include <bit>

using namespace NSFerryman;

COptimizedVORPDecompressorFromMedia::COptimizedVORPDecompressorFromMedia(CMedia& media, EVORPPath path)
    : COptimizedVORPDecompressor(path), media_(media), words_(std::make_unique<std::uint32_t[]>(kBufferWords)) {}

void COptimizedVORPDecompressorFromMedia::Reload() {
  const MediaSize words = std::min<MediaSize>(media_.Remaining() / 4, kBufferWords);
  // No whole word left: the stream is shorter than its frame count says.
  if (words == 0) throw XUnderflowOnInputBitStream();
  media_.Read(static_cast<std::size_t>(words * 4), words_.get());
  // Stored big-endian; the reader wants host order.
  if constexpr (std::endian::native == std::endian::little) {
    for (std::size_t i = 0; i < words; ++i) words_[i] = __builtin_bswap32(words_[i]);
  }
  SetBuffer(static_cast<std::uint32_t>(words), words_.get());
}
