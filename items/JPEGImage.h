#pragma once
// Decoding JPEG pictures held in a media: the check of JPEG items and the splash picture.
//
// Both functions read the media from position 0 to the end-of-image marker. Failures:
// - XBadFormat, with the decoder's own message as detail, for anything the decoder cannot read:
//   a damaged or truncated picture (data that ends before the end-of-image marker, or picture
//   data that is missing or undecodable where the library would fill in grey), a picture of more
//   than kMaxJPEGScans scans, or one whose decoding needs more than kMaxJPEGDecodeMemory (only
//   multi-scan pictures keep a buffer for the whole image);
// - the media's own exceptions for failures to read it.
// The decoder prints nothing and never ends the process; its other warnings (harmless oddities
// such as stray bytes between segments) are dropped. Nothing is shared between calls, so
// pictures may be decoded on several threads at once.
//
//   CheckJPEGImage(media);                                    // throws unless it decodes
//   CBitmap32 splash = DecodeJPEGBitmap(media, 64, 64);        // refuses anything larger

#include <cstddef>
#include <cstdint>

#include "framework/media/Media.h"
#include "items/Bitmap32.h"

inline constexpr std::size_t kMaxJPEGDecodeMemory = std::size_t{256} << 20;
inline constexpr int kMaxJPEGScans = 1000;

// Decodes the whole picture one scan line at a time into one reused line buffer; the pixels are
// dropped. A picture that claims 60000 x 60000 pixels costs one line of memory.
void CheckJPEGImage(NSFerryman::CMedia& media);

// The picture as 32-bit pixels, fully opaque. A picture wider than maxWidth or taller than
// maxHeight is XBadFormat, found from its header before any pixel memory is taken.
CBitmap32 DecodeJPEGBitmap(NSFerryman::CMedia& media, std::uint32_t maxWidth, std::uint32_t maxHeight);
