#include "framework/media/MemoryMedia.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace NSFerryman {

namespace {
MediaSize CheckedEnd(MediaSize position, std::size_t count) {
  if (count > std::numeric_limits<MediaSize>::max() - position) throw XPosition("memory position overflow");
  return position + count;
}
}  // namespace

CMemoryMediaBase::CMemoryMediaBase(MediaSize capacity) { Allocate(capacity); }

void CMemoryMediaBase::Allocate(MediaSize capacity) {
  if (capacity > std::numeric_limits<std::size_t>::max() / 2) throw std::bad_alloc();
  auto fresh = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
  if (buffer_ && size_ > 0) std::copy_n(buffer_.get(), std::min(size_, capacity), fresh.get());
  buffer_ = std::move(fresh);
  capacity_ = capacity;
}

void CMemoryMediaBase::Grow(MediaSize length) {
  if (length <= capacity_) return;
  const MediaSize shortfall = length - capacity_;
  const MediaSize step = std::max<MediaSize>(100, shortfall + shortfall / 2);
  Allocate(capacity_ + step);
}

void CMemoryMediaBase::SetPosition(MediaSize position) { position_ = position; }

void CMemoryMediaBase::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  if (position > size_ || count > size_ - position) {
    throw XRead("read of " + std::to_string(count) + " bytes at " + std::to_string(position) +
                " past the end of " + std::to_string(size_) + " bytes of memory");
  }
  if (count > 0) std::memcpy(buffer, buffer_.get() + position, count);
  position_ = position + count;
}

void CMemoryMediaBase::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  const MediaSize end = CheckedEnd(position, count);
  Grow(end);
  // A write that starts past the end leaves a gap; it reads as zeros.
  if (position > size_) std::memset(buffer_.get() + size_, 0, position - size_);
  if (count > 0) std::memcpy(buffer_.get() + position, buffer, count);
  size_ = std::max(size_, end);
  position_ = end;
}

std::uint8_t* CMemoryMedia::Reserve(std::size_t count) {
  const MediaSize end = CheckedEnd(position_, count);
  Grow(end);
  if (position_ > size_) std::memset(buffer_.get() + size_, 0, position_ - size_);
  size_ = std::max(size_, end);
  return buffer_.get() + position_;
}

COwnedMemoryMedia::COwnedMemoryMedia(CMedia& source) : CMemoryMediaBase(0) {
  const MediaSize size = source.GetSize();
  const MediaSize saved = source.GetPosition();
  Allocate(size);
  if (size > 0) source.ReadAt(0, size, buffer_.get());
  size_ = size;
  position_ = saved;
  source.SetPosition(saved);
}

}  // namespace NSFerryman
