#pragma once
// Pictures shrunk to be looked at (the Hamper browser shows JPEG and TIFF items), decoded a line,
// strip or tile at a time into a preview of at most maxSide pixels a side: each preview pixel is
// the average of the picture's pixels that fall on it. A picture that claims 60000 x 60000 pixels
// costs its preview and one decoding block, never its whole size.
//
//   const CBitmap32 preview = DecodeJPEGPreview(item, 512);
//   const CBitmap32 preview = DecodeTIFFPreview(item, 512);
//
// Failures as CheckJPEGImage and CheckTIFFImage (items/JPEGImage.h, items/TIFFImage.h):
// XBadFormat with the decoder's message for what it cannot read, the media's own exceptions.
// A picture smaller than maxSide keeps its size.

#include <cstdint>
#include <vector>

#include "framework/media/Media.h"
#include "items/Bitmap32.h"

CBitmap32 DecodeJPEGPreview(NSFerryman::CMedia& media, std::uint32_t maxSide);
CBitmap32 DecodeTIFFPreview(NSFerryman::CMedia& media, std::uint32_t maxSide);

// Collects a picture's pixels, in any order of rows and runs, into its shrunk preview.
class CPicturePreviewBuilder {
 public:
  CPicturePreviewBuilder(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide);

  // `count` pixels of row y from column x on, as 0xAARRGGBB.
  void Add(std::uint32_t y, std::uint32_t x, std::uint32_t count, const std::uint32_t* pixels);
  CBitmap32 Finish() const;

 private:
  std::uint32_t width_, height_;
  std::uint32_t previewWidth_, previewHeight_;
  // Per preview pixel: the sums of alpha, red, green and blue, and the count.
  std::vector<std::uint64_t> sums_;
};
