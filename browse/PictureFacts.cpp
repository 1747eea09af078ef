#include "browse/PictureFacts.h"

#include <string>

#include "framework/media/Exceptions.h"

using NSFerryman::CMedia;
using NSFerryman::XBadFormat;

namespace {

// Reads `count` bytes at `at`; a picture that ends before them does not say its size.
void ReadHeaderBytes(CMedia& item, std::uint64_t at, std::size_t count, std::uint8_t* bytes, const char* kind) {
  if (at > item.GetSize() || item.GetSize() - at < count) {
    throw XBadFormat(std::string(kind) + " picture ends before its size is given");
  }
  item.ReadAt(at, count, bytes);
}

CPictureSize JPEGSize(CMedia& item) {
  std::uint8_t b[9];
  ReadHeaderBytes(item, 0, 2, b, "JPEG");
  if (b[0] != 0xFF || b[1] != 0xD8) throw XBadFormat("JPEG picture does not begin with its start marker");
  std::uint64_t at = 2;
  for (;;) {
    ReadHeaderBytes(item, at, 2, b, "JPEG");
    if (b[0] != 0xFF) throw XBadFormat("JPEG picture with a damaged segment before its frame header");
    const std::uint8_t marker = b[1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    at += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // markers without a segment
    if (marker == 0xD9 || marker == 0xDA) throw XBadFormat("JPEG picture without a frame header");
    ReadHeaderBytes(item, at, 2, b, "JPEG");
    const unsigned length = b[0] << 8 | b[1];
    if (length < 2) throw XBadFormat("JPEG picture with a damaged segment before its frame header");
    // SOF0 to SOF15, but for DHT (C4), JPG (C8) and DAC (CC): precision, height, width.
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (length < 7) throw XBadFormat("JPEG picture with a frame header too short for its size");
      ReadHeaderBytes(item, at + 2, 5, b, "JPEG");
      return {std::uint64_t{b[3]} << 8 | b[4], std::uint64_t{b[1]} << 8 | b[2]};
    }
    at += length;
  }
}

CPictureSize TIFFSize(CMedia& item) {
  std::uint8_t b[20];
  ReadHeaderBytes(item, 0, 8, b, "TIFF");
  const bool little = b[0] == 'I' && b[1] == 'I';
  if (!little && !(b[0] == 'M' && b[1] == 'M')) throw XBadFormat("TIFF picture does not begin with II or MM");
  const auto number = [&](const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t{p[little ? i : bytes - 1 - i]} << (8 * i);
    return v;
  };
  const std::uint64_t version = number(b + 2, 2);
  if (version != 42 && version != 43) throw XBadFormat("TIFF picture of an unknown version");
  const bool big = version == 43;
  std::uint64_t directory = number(b + 4, 4);
  if (big) {
    ReadHeaderBytes(item, 8, 8, b + 8, "TIFF");
    directory = number(b + 8, 8);
  }
  const int countBytes = big ? 8 : 2, entryBytes = big ? 20 : 12, valueBytes = big ? 8 : 4;
  ReadHeaderBytes(item, directory, countBytes, b, "TIFF");
  const std::uint64_t entries = number(b, countBytes);
  CPictureSize size;
  for (std::uint64_t e = 0; e < entries && (size.width == 0 || size.height == 0); ++e) {
    ReadHeaderBytes(item, directory + countBytes + e * entryBytes, entryBytes, b, "TIFF");
    const std::uint64_t tag = number(b, 2), type = number(b + 2, 2);
    if (tag != 256 && tag != 257) continue;
    const std::uint8_t* value = b + 4 + valueBytes;
    // SHORT, LONG or LONG8, held in the entry itself.
    const std::uint64_t v = type == 3 ? number(value, 2) : type == 4 ? number(value, 4) : type == 16 ? number(value, 8) : 0;
    (tag == 256 ? size.width : size.height) = v;
  }
  if (size.width == 0 || size.height == 0) throw XBadFormat("TIFF picture without its width and height");
  return size;
}

}  // namespace

CPictureSize ReadPictureSize(CMedia& item, int itemType) {
  if (itemType == 9) return JPEGSize(item);
  if (itemType == 8) return TIFFSize(item);
  throw XBadFormat("item type " + std::to_string(itemType) + " is not a picture");
}
