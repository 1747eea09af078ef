#include "framework/media/PartialMedia.h"

#include <limits>

namespace NSFerryman {

MediaSize CPartialMedia::GetSize() {
  if (Bounded()) return static_cast<MediaSize>(size_);
  const MediaSize baseSize = base_.GetSize();
  return baseSize > start_ ? baseSize - start_ : 0;
}

MediaSize CPartialMedia::GetPosition() { return position_; }

void CPartialMedia::SetPosition(MediaSize position) {
  // A position that does not fit a signed 64-bit value is what a negative one wraps to.
  if (position > static_cast<MediaSize>(std::numeric_limits<std::int64_t>::max())) {
    throw XPosition("position before the start of a window");
  }
  if (Bounded() && position > static_cast<MediaSize>(size_)) {
    throw XPosition("position " + std::to_string(position) + " past the end of a window of " +
                    std::to_string(size_) + " bytes");
  }
  base_.SetPosition(start_ + position);
  position_ = position;
}

void CPartialMedia::SetPositionSigned(std::int64_t position) {
  if (position < 0) throw XPosition("position before the start of a window");
  SetPosition(static_cast<MediaSize>(position));
}

void CPartialMedia::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  if (Bounded() && (position > static_cast<MediaSize>(size_) || count > static_cast<MediaSize>(size_) - position)) {
    throw XRead("read of " + std::to_string(count) + " bytes at " + std::to_string(position) +
                " past the end of a window of " + std::to_string(size_) + " bytes");
  }
  base_.ReadAt(start_ + position, count, buffer);
  position_ = position + count;
}

void CPartialMedia::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  if (Bounded() && (position > static_cast<MediaSize>(size_) || count > static_cast<MediaSize>(size_) - position)) {
    throw XWrite("write of " + std::to_string(count) + " bytes at " + std::to_string(position) +
                 " past the end of a window of " + std::to_string(size_) + " bytes");
  }
  base_.WriteAt(start_ + position, count, buffer);
  position_ = position + count;
}

}  // namespace NSFerryman
