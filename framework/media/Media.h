#pragma once
// CMedia: a seekable byte stream with a size and a current position. Every byte the system reads
// or writes goes through a media. Integers in our own formats are big-endian; the *LE variants
// serve the little-endian formats we read (RIFF/WAVE).
//
// Sizes and positions are 64-bit: container formats that are limited to 32 bits check their
// limit themselves instead of wrapping.

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/media/Exceptions.h"

namespace NSFerryman {

using MediaSize = std::uint64_t;

class CMedia {
 public:
  virtual ~CMedia() = default;
  CMedia() = default;
  CMedia(const CMedia&) = delete;
  CMedia& operator=(const CMedia&) = delete;

  virtual MediaSize GetSize() = 0;
  virtual MediaSize GetPosition() = 0;
  virtual void SetPosition(MediaSize position) = 0;
  // Reads exactly `count` bytes at `position` (XRead when they are not there) and leaves the
  // position behind the last byte read.
  virtual void ReadAt(MediaSize position, std::size_t count, void* buffer) = 0;
  // Writes `count` bytes at `position`; a media that can grow grows. The position ends behind
  // the last byte written.
  virtual void WriteAt(MediaSize position, std::size_t count, const void* buffer) = 0;

  void Read(std::size_t count, void* buffer) { ReadAt(GetPosition(), count, buffer); }
  void Write(std::size_t count, const void* buffer) { WriteAt(GetPosition(), count, buffer); }

  std::uint8_t ReadByte();
  void WriteByte(std::uint8_t value);
  std::uint16_t ReadU16();
  void WriteU16(std::uint16_t value);
  std::uint32_t ReadU32();
  void WriteU32(std::uint32_t value);
  std::uint16_t ReadU16LE();
  void WriteU16LE(std::uint16_t value);
  std::uint32_t ReadU32LE();
  void WriteU32LE(std::uint32_t value);

  // A 32-bit big-endian byte count n, then n bytes. XBadFormat, before anything more is read,
  // when n exceeds the bytes left or when a zero byte is among the n bytes.
  std::string ReadString();
  void WriteString(const std::string& value);

  // Bytes left behind the current position (0 when the position is past the end).
  MediaSize Remaining();

  // Copies `count` bytes from the source's position to this media's position in blocks of at
  // most 1024 bytes.
  void CopyFrom(CMedia& source, std::int64_t count);
};

}  // namespace NSFerryman
