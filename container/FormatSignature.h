#pragma once
// The 256-byte signature block that follows a Hamper's magic and file size:
//   0   u32  signature magic 0x412BA309
//   4   5    version (0xBC, major, minor, revision, 0)
//   9   128  signature text, zero-filled
//   137 1    text terminator (0)
//   138 118  reserved, zero

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/media/Media.h"
#include "framework/resources/Version.h"

class CFormatSignature {
 public:
  static constexpr std::size_t kStoredSize = 256;
  static constexpr std::size_t kTextFieldSize = 128;

  CFormatSignature() = default;
  CFormatSignature(std::uint32_t magic, NSFerryman::CVersion version, std::string text);

  // The one signature every Hamper carries: magic 0x412BA309, version 1.0.0 and the Hamper text.
  static const CFormatSignature& Hamper();

  std::uint32_t GetMagic() const { return magic_; }
  const NSFerryman::CVersion& GetVersion() const { return version_; }
  const std::string& GetText() const { return text_; }

  // Writes the 256-byte block at the media's position. Line feeds are left out of the text and
  // a text longer than its field is cut.
  void Write(NSFerryman::CMedia& media) const;
  // Reads a 256-byte block (XRead when it is not all there). A version marker other than 0xBC
  // reads as version 0.0.0; the text ends at the first zero byte or the end of its field, and a
  // line feed is put back after every carriage return.
  static CFormatSignature Read(NSFerryman::CMedia& media);

 private:
  std::uint32_t magic_ = 0;
  NSFerryman::CVersion version_;
  std::string text_;
};
