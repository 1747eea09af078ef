#include "items/SampleInfoRules.h"

#include <algorithm>
#include <limits>

std::uint32_t SupportedSampleBits(std::uint32_t bits) {
  switch (bits) {
    case 8:
    case 16:
    case 20:
    case 22:
    case 24:
      return bits;
    default:
      return 0;
  }
}

std::uint32_t BytesPerSample(std::uint32_t bits) { return bits <= 8 ? 1 : bits <= 16 ? 2 : 3; }

void SetSampleLoop(CSampleInfo& info, std::int32_t kind, std::int32_t type, std::int64_t start, std::int64_t end) {
  if (start < 0) {
    kind = kLoopKindNone;
    start = 0;
  }
  if (start >= end) {
    kind = kLoopKindNone;
    start = end = 0;
  }
  // The info keeps loop points as signed 32-bit values.
  const std::int64_t limit = std::min<std::int64_t>(info.frameCount, std::numeric_limits<std::int32_t>::max());
  start = std::clamp<std::int64_t>(start, 0, limit);
  end = std::clamp<std::int64_t>(end, 0, limit);
  if (start >= end) {
    kind = kLoopKindNone;
    start = end = 0;
  }
  info.loopKind = kind;
  info.loopType = type;
  info.loopStart = static_cast<std::int32_t>(start);
  info.loopEnd = static_cast<std::int32_t>(end);
}
