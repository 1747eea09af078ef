#pragma once
// A stored picture's size in pixels, read from its header alone: a JPEG picture's frame header
// (found by stepping over the segments before it) or a TIFF picture's first image directory
// (classic or BigTIFF). No pixel is decoded, so the size of any picture costs a few small reads.
//
//   const CPictureSize size = ReadPictureSize(item, itemType);   // 9: JPEG, 8: TIFF
//
// XBadFormat for a header that does not say the size (not a JPEG or TIFF picture, cut short
// before the size, a directory without width or height); media failures pass on.

#include <cstdint>

#include "framework/media/Media.h"

struct CPictureSize {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
};

CPictureSize ReadPictureSize(NSFerryman::CMedia& item, int itemType);
