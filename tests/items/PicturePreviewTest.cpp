// Pictures shrunk for the browser: a picture that fits comes out pixel for pixel, rows in place
// however the file cuts it into strips and tiles; a larger one is the average of its pixels.

#include <gtest/gtest.h>

#include <cstdlib>

#include "items/PicturePreview.h"
#include "items/PictureTestFiles.h"
#include "items/ProbeMedia.h"
#include "framework/media/MemoryMedia.h"

namespace {

using picturetest::Bytes;
using picturetest::Pattern;

std::unique_ptr<NSFerryman::CMemoryMedia> Media(const Bytes& bytes) {
  auto media = std::make_unique<NSFerryman::CMemoryMedia>();
  media->Write(bytes.size(), bytes.data());
  media->SetPosition(0);
  return media;
}

std::uint32_t Channel(std::uint32_t pixel, int channel) { return pixel >> (16 - 8 * channel) & 0xFF; }

TEST(PicturePreview, TIFFThatFitsComesOutPixelForPixel) {
  test::TempDir dir;
  struct CCase {
    const char* name;
    picturetest::TIFFPicture picture;
  };
  const std::vector<CCase> cases = {
      {"gray, strips of 8 rows, the last one short", {.width = 40, .height = 30}},
      {"RGB, one strip", {.width = 40, .height = 30, .samples = 3, .photometric = PHOTOMETRIC_RGB, .rowsPerStrip = 30}},
      {"gray tiles, cut at the right and the bottom",
       {.width = 40, .height = 30, .compression = COMPRESSION_ADOBE_DEFLATE, .tileSize = 16}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto media = Media(picturetest::MakeTIFF(c.picture, dir / "p.tif"));
    const CBitmap32 preview = DecodeTIFFPreview(*media, 64);
    ASSERT_EQ(preview.width, 40u);
    ASSERT_EQ(preview.height, 30u);
    for (std::uint32_t y = 0; y < 30; ++y) {
      for (std::uint32_t x = 0; x < 40; ++x) {
        const std::uint32_t p = preview.pixels[y * 40 + x];
        ASSERT_EQ(p >> 24, 0xFFu);
        for (int k = 0; k < 3; ++k) {
          ASSERT_EQ(Channel(p, k), Pattern(x, y, c.picture.samples == 3 ? k : 0)) << x << "," << y << " channel " << k;
        }
      }
    }
  }
}

TEST(PicturePreview, LargerPicturesAreAveragedIntoTheLongerSide) {
  test::TempDir dir;
  const auto media = Media(picturetest::MakeTIFF({.width = 40, .height = 30}, dir / "p.tif"));
  const CBitmap32 preview = DecodeTIFFPreview(*media, 20);
  ASSERT_EQ(preview.width, 20u);
  ASSERT_EQ(preview.height, 15u);
  for (std::uint32_t y = 0; y < 15; ++y) {
    for (std::uint32_t x = 0; x < 20; ++x) {
      const std::uint32_t sum = Pattern(2 * x, 2 * y, 0) + Pattern(2 * x + 1, 2 * y, 0) + Pattern(2 * x, 2 * y + 1, 0) +
                                Pattern(2 * x + 1, 2 * y + 1, 0);
      EXPECT_EQ(Channel(preview.pixels[y * 20 + x], 0), sum / 4) << x << "," << y;
    }
  }

  // A JPEG ten times the preview is decoded at a smaller scale, then shrunk; one colour stays.
  picturetest::JPEGPicture large{.width = 3000, .height = 1500, .solid = true, .colour = {200, 40, 90, 0}};
  const auto jpeg = Media(picturetest::MakeJPEG(large));
  const CBitmap32 shrunk = DecodeJPEGPreview(*jpeg, 300);
  EXPECT_EQ(shrunk.width, 300u);
  EXPECT_EQ(shrunk.height, 150u);
  for (const std::uint32_t p : {shrunk.pixels.front(), shrunk.pixels[150 * 75 + 75], shrunk.pixels.back()}) {
    EXPECT_NEAR(Channel(p, 0), 200, 3);
    EXPECT_NEAR(Channel(p, 1), 40, 3);
    EXPECT_NEAR(Channel(p, 2), 90, 3);
  }
}

TEST(PicturePreview, DamagedPicturesFailAsTheirChecksDo) {
  const Bytes jpeg = picturetest::MakeJPEG({.width = 64, .height = 64});
  const auto cut = Media(Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2));
  EXPECT_THROW(DecodeJPEGPreview(*cut, 32), NSFerryman::XBadFormat);
  const auto notTiff = Media(Bytes(100, 'x'));
  EXPECT_THROW(DecodeTIFFPreview(*notTiff, 32), NSFerryman::XBadFormat);
}

}  // namespace
