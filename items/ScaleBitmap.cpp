#include "items/ScaleBitmap.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

struct CTap {
  std::uint32_t index;
  float weight;
};

// For every target position along one axis, the source positions it takes and their weights,
// which add up to 1.
std::vector<std::vector<CTap>> Taps(std::uint32_t sourceLength, std::uint32_t targetLength) {
  const double ratio = static_cast<double>(sourceLength) / targetLength;
  // Reducing widens the filter to cover every source pixel under the target pixel.
  const double radius = std::max(1.0, ratio);
  std::vector<std::vector<CTap>> taps(targetLength);
  for (std::uint32_t t = 0; t < targetLength; ++t) {
    // Pixel centres lie at half steps, so that both pictures cover the same area.
    const double centre = (t + 0.5) * ratio - 0.5;
    const auto first = static_cast<std::int64_t>(std::floor(centre - radius));
    const auto last = static_cast<std::int64_t>(std::ceil(centre + radius));
    double total = 0;
    std::vector<CTap>& list = taps[t];
    for (std::int64_t s = first; s <= last; ++s) {
      const double weight = 1.0 - std::abs(static_cast<double>(s) - centre) / radius;
      if (weight <= 0) continue;
      const auto index = static_cast<std::uint32_t>(std::clamp<std::int64_t>(s, 0, sourceLength - 1));
      if (!list.empty() && list.back().index == index) {
        list.back().weight += static_cast<float>(weight);
      } else {
        list.push_back({index, static_cast<float>(weight)});
      }
      total += weight;
    }
    for (CTap& tap : list) tap.weight = static_cast<float>(tap.weight / total);
  }
  return taps;
}

using CPixel = std::array<float, 4>;  // A, R, G, B

CPixel Channels(std::uint32_t argb) {
  return {static_cast<float>(argb >> 24), static_cast<float>((argb >> 16) & 0xFF),
          static_cast<float>((argb >> 8) & 0xFF), static_cast<float>(argb & 0xFF)};
}

std::uint32_t Packed(const CPixel& p) {
  std::uint32_t argb = 0;
  for (const float c : p) argb = (argb << 8) | static_cast<std::uint32_t>(std::lround(std::clamp(c, 0.0f, 255.0f)));
  return argb;
}

}  // namespace

CBitmap32 ScaleBitmap(const CBitmap32& source, std::uint32_t width, std::uint32_t height) {
  assert(source.width > 0 && source.height > 0 && width > 0 && height > 0);
  if (source.width == width && source.height == height) return source;

  // Rows first, into a picture of the new width and the old height; then columns.
  const std::vector<std::vector<CTap>> across = Taps(source.width, width);
  std::vector<CPixel> rows(std::size_t{width} * source.height);
  for (std::uint32_t y = 0; y < source.height; ++y) {
    const std::uint32_t* in = source.pixels.data() + std::size_t{y} * source.width;
    for (std::uint32_t x = 0; x < width; ++x) {
      CPixel sum{};
      for (const CTap& tap : across[x]) {
        const CPixel p = Channels(in[tap.index]);
        for (std::size_t c = 0; c < 4; ++c) sum[c] += tap.weight * p[c];
      }
      rows[std::size_t{y} * width + x] = sum;
    }
  }

  const std::vector<std::vector<CTap>> down = Taps(source.height, height);
  CBitmap32 target;
  target.width = width;
  target.height = height;
  target.pixels.resize(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      CPixel sum{};
      for (const CTap& tap : down[y]) {
        const CPixel& p = rows[std::size_t{tap.index} * width + x];
        for (std::size_t c = 0; c < 4; ++c) sum[c] += tap.weight * p[c];
      }
      target.pixels[std::size_t{y} * width + x] = Packed(sum);
    }
  }
  return target;
}
