#pragma once
// Growable memory media. Both kinds grow by the same rule: when a write or a reservation needs a
// length L above the capacity C, the new capacity is C + max(100, (L - C) * 3 / 2), so repeated
// small writes do not reallocate each time. Reads stay within the size: a read past it is XRead.

#include <cstdint>
#include <memory>

#include "framework/media/Media.h"

namespace NSFerryman {

class CMemoryMediaBase : public CMedia {
 public:
  MediaSize GetSize() override { return size_; }
  MediaSize GetPosition() override { return position_; }
  void SetPosition(MediaSize position) override;
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  MediaSize GetCapacity() const { return capacity_; }
  const std::uint8_t* Data() const { return buffer_.get(); }
  std::uint8_t* Data() { return buffer_.get(); }

 protected:
  explicit CMemoryMediaBase(MediaSize capacity);
  // Replaces the buffer by one of exactly `capacity` bytes, keeping the contents.
  void Allocate(MediaSize capacity);
  // Makes sure `length` bytes exist, by the growth rule.
  void Grow(MediaSize length);

  std::unique_ptr<std::uint8_t[]> buffer_;
  MediaSize position_ = 0;
  MediaSize capacity_ = 0;
  MediaSize size_ = 0;
};

class CMemoryMedia : public CMemoryMediaBase {
 public:
  explicit CMemoryMedia(MediaSize capacity = 0) : CMemoryMediaBase(capacity) {}
  // Grows so that position + count bytes exist, raises the size to at least position + count
  // and returns the address of the byte at the position; the caller fills the bytes directly.
  std::uint8_t* Reserve(std::size_t count);
};

class COwnedMemoryMedia : public CMemoryMediaBase {
 public:
  explicit COwnedMemoryMedia(MediaSize capacity = 0) : CMemoryMediaBase(capacity) {}
  // A copy of all of the source's bytes; the position is the source's, which is left unchanged.
  explicit COwnedMemoryMedia(CMedia& source);
};

}  // namespace NSFerryman
