#include "framework/iff/IFFChunk.h"

namespace NSFerryman {

MediaSize CIFFChunk::HeaderLength() const {
  switch (kind) {
    case kPlain:
      return 8;
    case kForm:
    case kCAT:
    case kLIST:
      return 12;
  }
  throw XBase("IFF chunk of unknown kind " + std::to_string(static_cast<int>(kind)));
}

MediaSize CIFFChunk::ContentLength() const {
  if (!IsGroup()) return size;
  // A group's size includes its 4-byte type; readers reject groups smaller than that.
  return size >= 4 ? size - 4 : 0;
}

CFourCharCode CIFFChunk::HeaderID() const { return IsGroup() ? GroupID(kind) : chars; }

CFourCharCode CIFFChunk::GroupID(Kind kind) {
  switch (kind) {
    case kForm:
      return kFormID;
    case kCAT:
      return kCATID;
    case kLIST:
      return kLISTID;
    case kPlain:
      break;
  }
  throw XBase("IFF chunk kind " + std::to_string(static_cast<int>(kind)) + " is not a group");
}

CIFFChunk::Kind CIFFChunk::KindOfID(CFourCharCode id) {
  if (id == kFormID) return kForm;
  if (id == kCATID) return kCAT;
  if (id == kLISTID) return kLIST;
  return kPlain;
}

bool CIFFChunk::IsValidID(CFourCharCode id) {
  const std::uint32_t v = id.GetValue();
  bool seenNonSpace = false;
  bool seenLeadingSpace = false;
  for (int i = 0; i < 4; ++i) {
    const unsigned c = (v >> (24 - 8 * i)) & 0xFF;
    if (c < 32 || c > 126) return false;
    if (c == ' ') {
      if (!seenNonSpace) seenLeadingSpace = true;
    } else {
      if (seenLeadingSpace) return false;
      seenNonSpace = true;
    }
  }
  return true;
}

std::string QuoteIFFCode(CFourCharCode code) {
  static const char* hex = "0123456789ABCDEF";
  std::string s = "\"";
  for (char c : code.ToString()) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u <= 126) {
      s += c;
    } else {
      s += "\\x";
      s += hex[u >> 4];
      s += hex[u & 15];
    }
  }
  return s + "\"";
}

CFourCharCode ReadIFFCode(CMedia& media) { return CFourCharCode(media.ReadU32()); }

void WriteIFFCode(CMedia& media, CFourCharCode code) { media.WriteU32(code.GetValue()); }

std::uint32_t ReadIFFSize(CMedia& media, EIFFByteOrder order) {
  return order == EIFFByteOrder::kLittleEndian ? media.ReadU32LE() : media.ReadU32();
}

void WriteIFFSize(CMedia& media, EIFFByteOrder order, std::uint32_t size) {
  if (order == EIFFByteOrder::kLittleEndian) {
    media.WriteU32LE(size);
  } else {
    media.WriteU32(size);
  }
}

}  // namespace NSFerryman
