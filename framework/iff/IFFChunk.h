#pragma once
// One chunk of an IFF file as the second-generation reader and writer see it: a plain chunk
// (kind 0) named by its ID, or a group ("FORM", "CAT ", "LIST") named by its type.
//
// Framing: a 4-character ID, a 32-bit size (big-endian, or little-endian for RIFF) counting the
// data bytes that follow, the data, and a zero pad byte when the data ends at an odd position.
// A group's data begins with its 4-character type, which the size includes.

#include <cstdint>
#include <string>

#include "framework/media/Media.h"
#include "framework/resources/FourCharCode.h"

namespace NSFerryman {

enum class EIFFByteOrder : std::uint8_t { kBigEndian = 0, kLittleEndian = 1 };

class CIFFChunk {
 public:
  enum Kind : std::uint8_t { kPlain = 0, kForm = 1, kCAT = 2, kLIST = 3 };

  static constexpr CFourCharCode kFormID{"FORM"};
  static constexpr CFourCharCode kCATID{"CAT "};
  static constexpr CFourCharCode kLISTID{"LIST"};

  CIFFChunk() = default;
  CIFFChunk(Kind kind, CFourCharCode chars, MediaSize start, std::uint32_t size)
      : kind(kind), chars(chars), start(start), size(size) {}

  // 8 for a plain chunk, 12 for a group (the type is part of the header); XBase for any other
  // kind.
  MediaSize HeaderLength() const;
  // Bytes of the level's media that the contents occupy: the size, less the type for a group.
  MediaSize ContentLength() const;
  bool IsGroup() const { return kind != kPlain; }
  // The ID written in the header: the chunk's own for a plain chunk, the group ID otherwise.
  CFourCharCode HeaderID() const;

  static CFourCharCode GroupID(Kind kind);
  // The group kind for "FORM", "CAT " and "LIST"; kPlain for every other ID.
  static Kind KindOfID(CFourCharCode id);
  // Four characters from 32 to 126 with no space before the first non-space character
  // ("CAT " and "    " are valid, " CAT" is not).
  static bool IsValidID(CFourCharCode id);

  Kind kind = kPlain;
  CFourCharCode chars;  // the ID of a plain chunk, the type of a group
  MediaSize start = 0;  // where the 8-byte header begins in the level's media
  std::uint32_t size = 0;  // the size field
};

// The code in double quotes for messages, with bytes outside 32 to 126 as \xNN.
std::string QuoteIFFCode(CFourCharCode code);

// Four characters at the media's position.
CFourCharCode ReadIFFCode(CMedia& media);
void WriteIFFCode(CMedia& media, CFourCharCode code);

// The size field in the given byte order, at the media's position.
std::uint32_t ReadIFFSize(CMedia& media, EIFFByteOrder order);
void WriteIFFSize(CMedia& media, EIFFByteOrder order, std::uint32_t size);

}  // namespace NSFerryman
