#pragma once
// CVersion: a major, minor, revision triple. Stored form, 5 bytes: 0xBC, major, minor,
// revision, 0.

#include <cstdint>
#include <string>

#include "framework/media/Media.h"

namespace NSFerryman {

class CVersion {
 public:
  static constexpr std::uint8_t kMarker = 0xBC;
  static constexpr std::size_t kStoredSize = 5;

  constexpr CVersion() = default;
  constexpr CVersion(std::uint8_t major, std::uint8_t minor, std::uint8_t revision)
      : major_(major), minor_(minor), revision_(revision) {}

  // Reads the stored form at the media's position. XBadFormat when the first byte is not 0xBC;
  // XRead when the five bytes are not there.
  static CVersion Read(CMedia& media);
  void Write(CMedia& media) const;

  constexpr std::uint8_t GetMajor() const { return major_; }
  constexpr std::uint8_t GetMinor() const { return minor_; }
  constexpr std::uint8_t GetRevision() const { return revision_; }

  constexpr bool IsSameMajor(const CVersion& other) const { return major_ == other.major_; }
  // Not older than `other`, comparing major, then minor, then revision.
  constexpr bool IsAtLeast(const CVersion& other) const { return Packed() >= other.Packed(); }
  constexpr bool operator==(const CVersion&) const = default;

  // "major.minor.revision"
  std::string ToString() const;

 private:
  constexpr std::uint32_t Packed() const {
    return std::uint32_t{major_} * 65536u + std::uint32_t{minor_} * 256u + revision_;
  }

  std::uint8_t major_ = 0;
  std::uint8_t minor_ = 0;
  std::uint8_t revision_ = 0;
};

}  // namespace NSFerryman
