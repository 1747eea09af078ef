// Encoding pictures as PNG, read back with libpng's own reader.

#include <gtest/gtest.h>

#include "PictureTestFiles.h"
#include "framework/media/Exceptions.h"
#include "items/PNGImage.h"

namespace {

CBitmap32 Pattern(std::uint32_t width, std::uint32_t height, std::uint32_t alphaOf0) {
  CBitmap32 b{width, height, {}};
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t alpha = (x + y) % 5 == 0 ? alphaOf0 : 0xFF;
      b.pixels.push_back(alpha << 24 | (x * 7 & 0xFF) << 16 | (y * 3 & 0xFF) << 8 | ((x * y) & 0xFF));
    }
  }
  return b;
}

}  // namespace

TEST(PNGImage, EveryPixelReadsBackAsWritten) {
  const struct {
    const char* what;
    CBitmap32 picture;
    bool alpha;
  } cases[] = {
      {"opaque", Pattern(64, 64, 0xFF), false},
      {"translucent", Pattern(40, 30, 0x40), true},
      {"one pixel", Pattern(1, 1, 0xFF), false},
      {"one row", Pattern(300, 1, 0x00), true},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> png = EncodePNG(c.picture);
    const picturetest::PNGPicture read = picturetest::DecodePNG(png);
    EXPECT_EQ(read.width, c.picture.width) << c.what;
    EXPECT_EQ(read.height, c.picture.height) << c.what;
    EXPECT_EQ(read.hasAlpha, c.alpha) << c.what;
    EXPECT_EQ(read.pixels, c.picture.pixels) << c.what;
    EXPECT_EQ(EncodePNG(c.picture), png) << c.what << ": two encodings differ";
  }
}

TEST(PNGImage, APictureWithoutPixelsIsRefused) {
  EXPECT_THROW(EncodePNG(CBitmap32{}), NSFerryman::XBadFormat);
}
