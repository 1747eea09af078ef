#include "items/ReadabilityTest.h"

#include <algorithm>
#include <cstdint>

using namespace NSFerryman;

namespace {
constexpr MediaSize kBlock = 4096;
}

void ReadabilityTest(CMedia& media) {
  const MediaSize length = media.GetSize();
  if (length == 0) return;
  std::uint8_t block[kBlock];
  media.ReadAt(0, static_cast<std::size_t>(std::min(length, kBlock)), block);
  if (length <= kBlock) return;
  media.ReadAt(length / 2, static_cast<std::size_t>(std::min(length - length / 2, kBlock)), block);
  media.ReadAt(length - kBlock, kBlock, block);
}
