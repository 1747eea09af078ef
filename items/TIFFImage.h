#pragma once
// Decoding TIFF pictures held in a media: the check of TIFF items.
//
// CheckTIFFImage reads the media from position 0 and decodes the first picture of the file into
// 32-bit pixels, one strip or tile at a time through one reused buffer; the pixels are dropped.
// A strip too large for that buffer is decoded one scan line at a time instead, so the memory
// taken is bounded by kMaxTIFFBlockBytes and by libtiff's single-allocation limit
// kMaxTIFFAllocation, whatever size the picture claims. Failures:
// - XBadFormat, with libtiff's own message as detail, for a file the library cannot decode
//   (damaged, truncated, or of a kind it cannot turn into pixels), and for a tile larger than
//   kMaxTIFFBlockBytes of pixels;
// - the media's own exceptions for failures to read it.
// libtiff's errors and warnings go to handlers of this handle only: nothing is printed, no global
// state is touched, and pictures may be checked on several threads at once.

#include <cstddef>

#include "framework/media/Media.h"

// Pixels of one strip or tile decoded at a time (16 Mi pixels).
inline constexpr std::size_t kMaxTIFFBlockBytes = std::size_t{64} << 20;
// The most libtiff may take in one allocation (a strip's compressed bytes, its decode buffer).
inline constexpr std::size_t kMaxTIFFAllocation = std::size_t{256} << 20;

void CheckTIFFImage(NSFerryman::CMedia& media);
