#include "items/CopyItem.h"

#include <algorithm>
#include <vector>

using namespace NSFerryman;

namespace {
constexpr std::size_t kBlock = 65536;
}

std::uint64_t CopyItem(CMedia& source, CMedia& output) {
  const MediaSize length = source.GetSize();
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<MediaSize>(length, kBlock)));
  for (MediaSize done = 0; done < length;) {
    const auto n = static_cast<std::size_t>(std::min<MediaSize>(length - done, kBlock));
    source.ReadAt(done, n, buffer.data());
    output.Write(n, buffer.data());
    done += n;
  }
  return length;
}
