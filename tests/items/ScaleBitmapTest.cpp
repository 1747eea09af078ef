// Scaling the splash picture for thumbnails: smooth when enlarging, averaging when reducing, the
// same pixels at the same size, and the picture the right way round.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

#include "items/ScaleBitmap.h"

namespace {

using PixelAt = std::function<std::uint32_t(std::uint32_t x, std::uint32_t y)>;

CBitmap32 Picture(std::uint32_t width, std::uint32_t height, const PixelAt& pixel) {
  CBitmap32 b{width, height, {}};
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) b.pixels.push_back(pixel(x, y));
  }
  return b;
}

std::uint32_t Gray(unsigned v) { return 0xFF000000u | v << 16 | v << 8 | v; }
unsigned Red(std::uint32_t argb) { return (argb >> 16) & 0xFF; }
unsigned Blue(std::uint32_t argb) { return argb & 0xFF; }
std::uint32_t At(const CBitmap32& b, std::uint32_t x, std::uint32_t y) { return b.pixels[std::size_t{y} * b.width + x]; }

}  // namespace

TEST(ScaleBitmap, TheSameSizeKeepsEveryPixel) {
  const CBitmap32 source = Picture(64, 64, [](auto x, auto y) { return 0xFF000000u | (x * 4) << 16 | (y * 4) << 8 | ((x ^ y) & 0xFF); });
  EXPECT_EQ(ScaleBitmap(source, 64, 64).pixels, source.pixels);
}

TEST(ScaleBitmap, AFlatColourStaysFlatAtEverySize) {
  const std::uint32_t colour = 0x80C03A95u;  // translucent: alpha is filtered like the rest
  const CBitmap32 source = Picture(64, 64, [&](auto, auto) { return colour; });
  for (const std::uint32_t size : {1u, 17u, 32u, 100u, 128u, 256u, 1024u}) {
    const CBitmap32 scaled = ScaleBitmap(source, size, size);
    ASSERT_EQ(scaled.pixels.size(), std::size_t{size} * size);
    EXPECT_TRUE(std::all_of(scaled.pixels.begin(), scaled.pixels.end(), [&](std::uint32_t p) { return p == colour; }))
        << size;
  }
}

TEST(ScaleBitmap, EnlargingBlendsAnEdgeWithoutRingingOrBlocks) {
  // Black left half, white right half: a row of the enlargement climbs steadily from black to
  // white through grey steps (pixel repetition would jump), and never leaves that range.
  const CBitmap32 source = Picture(64, 64, [](auto x, auto) { return Gray(x < 32 ? 0 : 255); });
  for (const std::uint32_t size : {128u, 256u}) {
    const CBitmap32 scaled = ScaleBitmap(source, size, size);
    std::set<unsigned> greys;
    for (std::uint32_t x = 0; x < size; ++x) {
      const unsigned v = Red(At(scaled, x, size / 2));
      if (x > 0) {
        EXPECT_GE(v, Red(At(scaled, x - 1, size / 2))) << size << " at " << x;
      }
      if (v != 0 && v != 255) greys.insert(v);
    }
    EXPECT_GE(greys.size(), 2u) << size;
    EXPECT_EQ(At(scaled, 0, 0), Gray(0)) << size;
    EXPECT_EQ(At(scaled, size - 1, size - 1), Gray(255)) << size;
  }
}

TEST(ScaleBitmap, ReducingAveragesRatherThanPicking) {
  // A one-pixel checkerboard reduced to half is an even grey; taking every other pixel would
  // give black or white. (At the border the repeated edge pixels tip the balance.)
  const CBitmap32 source = Picture(64, 64, [](auto x, auto y) { return Gray((x + y) % 2 ? 255 : 0); });
  const CBitmap32 scaled = ScaleBitmap(source, 32, 32);
  for (std::uint32_t y = 1; y < 31; ++y) {
    for (std::uint32_t x = 1; x < 31; ++x) EXPECT_NEAR(static_cast<int>(Red(At(scaled, x, y))), 128, 1) << x << "," << y;
  }
}

TEST(ScaleBitmap, KeepsThePictureTheRightWayRound) {
  // Red top-left quadrant, blue bottom-right, in a picture wider than high.
  const CBitmap32 source = Picture(64, 32, [](auto x, auto y) {
    if (x < 32 && y < 16) return 0xFFFF0000u;
    if (x >= 32 && y >= 16) return 0xFF0000FFu;
    return 0xFF000000u;
  });
  const CBitmap32 scaled = ScaleBitmap(source, 256, 96);
  EXPECT_EQ(At(scaled, 20, 10), 0xFFFF0000u);
  EXPECT_EQ(At(scaled, 235, 85), 0xFF0000FFu);
  EXPECT_EQ(At(scaled, 235, 10), 0xFF000000u);
  EXPECT_EQ(At(scaled, 20, 85), 0xFF000000u);
  EXPECT_EQ(Blue(At(scaled, 20, 10)), 0u);
}
