#include "framework/resources/Version.h"

#include <array>

namespace NSFerryman {

CVersion CVersion::Read(CMedia& media) {
  std::array<std::uint8_t, kStoredSize> bytes{};
  media.Read(bytes.size(), bytes.data());
  if (bytes[0] != kMarker) {
    throw XBadFormat("version: marker byte " + std::to_string(bytes[0]) + " in place of 188");
  }
  return CVersion(bytes[1], bytes[2], bytes[3]);
}

void CVersion::Write(CMedia& media) const {
  const std::array<std::uint8_t, kStoredSize> bytes = {kMarker, major_, minor_, revision_, 0};
  media.Write(bytes.size(), bytes.data());
}

std::string CVersion::ToString() const {
  return std::to_string(major_) + "." + std::to_string(minor_) + "." + std::to_string(revision_);
}

}  // namespace NSFerryman
