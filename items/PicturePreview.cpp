#include "items/PicturePreview.h"

#include <algorithm>

CPicturePreviewBuilder::CPicturePreviewBuilder(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide)
    : width_(width), height_(height) {
  maxSide = std::max<std::uint32_t>(maxSide, 1);
  const std::uint32_t longer = std::max(width, height);
  if (longer <= maxSide) {
    previewWidth_ = width;
    previewHeight_ = height;
  } else {
    previewWidth_ = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{width} * maxSide / longer));
    previewHeight_ = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{height} * maxSide / longer));
  }
  sums_.assign(std::size_t{previewWidth_} * previewHeight_ * 5, 0);
}

void CPicturePreviewBuilder::Add(std::uint32_t y, std::uint32_t x, std::uint32_t count, const std::uint32_t* pixels) {
  if (y >= height_ || x >= width_) return;
  count = std::min(count, width_ - x);
  const auto py = static_cast<std::uint32_t>(std::uint64_t{y} * previewHeight_ / height_);
  std::uint64_t* row = sums_.data() + std::size_t{py} * previewWidth_ * 5;
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto px = static_cast<std::uint32_t>(std::uint64_t{x + i} * previewWidth_ / width_);
    std::uint64_t* sum = row + std::size_t{px} * 5;
    const std::uint32_t p = pixels[i];
    sum[0] += p >> 24;
    sum[1] += (p >> 16) & 0xFF;
    sum[2] += (p >> 8) & 0xFF;
    sum[3] += p & 0xFF;
    ++sum[4];
  }
}

CBitmap32 CPicturePreviewBuilder::Finish() const {
  CBitmap32 preview;
  preview.width = previewWidth_;
  preview.height = previewHeight_;
  preview.pixels.resize(std::size_t{previewWidth_} * previewHeight_);
  for (std::size_t i = 0; i < preview.pixels.size(); ++i) {
    const std::uint64_t* sum = sums_.data() + i * 5;
    const std::uint64_t n = std::max<std::uint64_t>(sum[4], 1);
    preview.pixels[i] = static_cast<std::uint32_t>((sum[0] / n) << 24 | (sum[1] / n) << 16 | (sum[2] / n) << 8 | (sum[3] / n));
  }
  return preview;
}
