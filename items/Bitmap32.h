#pragma once
// CBitmap32: a decoded picture of 32-bit pixels, 0xAARRGGBB, row-major from the top-left corner.
// pixels holds width * height values.

#include <cstdint>
#include <vector>

struct CBitmap32 {
  std::uint32_t width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};
