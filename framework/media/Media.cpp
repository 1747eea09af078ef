#include "framework/media/Media.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/media/ByteOrder.h"

namespace NSFerryman {

std::uint8_t CMedia::ReadByte() {
  std::uint8_t b;
  Read(1, &b);
  return b;
}

void CMedia::WriteByte(std::uint8_t value) { Write(1, &value); }

std::uint16_t CMedia::ReadU16() {
  std::uint8_t b[2];
  Read(2, b);
  return LoadBE16(b);
}

void CMedia::WriteU16(std::uint16_t value) {
  std::uint8_t b[2];
  StoreBE16(b, value);
  Write(2, b);
}

std::uint32_t CMedia::ReadU32() {
  std::uint8_t b[4];
  Read(4, b);
  return LoadBE32(b);
}

void CMedia::WriteU32(std::uint32_t value) {
  std::uint8_t b[4];
  StoreBE32(b, value);
  Write(4, b);
}

std::uint16_t CMedia::ReadU16LE() {
  std::uint8_t b[2];
  Read(2, b);
  return LoadLE16(b);
}

void CMedia::WriteU16LE(std::uint16_t value) {
  std::uint8_t b[2];
  StoreLE16(b, value);
  Write(2, b);
}

std::uint32_t CMedia::ReadU32LE() {
  std::uint8_t b[4];
  Read(4, b);
  return LoadLE32(b);
}

void CMedia::WriteU32LE(std::uint32_t value) {
  std::uint8_t b[4];
  StoreLE32(b, value);
  Write(4, b);
}

MediaSize CMedia::Remaining() {
  const MediaSize size = GetSize();
  const MediaSize pos = GetPosition();
  return pos < size ? size - pos : 0;
}

std::string CMedia::ReadString() {
  const std::uint32_t n = ReadU32();
  if (n > Remaining()) {
    throw XBadFormat("string of " + std::to_string(n) + " bytes runs past the end of the data");
  }
  std::string s(n, '\0');
  if (n > 0) Read(n, s.data());
  if (s.find('\0') != std::string::npos) throw XBadFormat("string holds a zero byte");
  return s;
}

void CMedia::WriteString(const std::string& value) {
  if (value.size() > 0xFFFFFFFFu) throw XWrite("string too long");
  WriteU32(static_cast<std::uint32_t>(value.size()));
  if (!value.empty()) Write(value.size(), value.data());
}

void CMedia::CopyFrom(CMedia& source, std::int64_t count) {
  std::uint8_t block[1024];
  while (count > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(count, sizeof block));
    source.Read(n, block);
    Write(n, block);
    count -= static_cast<std::int64_t>(n);
  }
}

}  // namespace NSFerryman
