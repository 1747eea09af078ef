#include "container/FormatSignature.h"

#include <algorithm>
#include <array>
#include <utility>

#include "framework/media/ByteOrder.h"

using NSFerryman::CMedia;
using NSFerryman::CVersion;

namespace {

constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kTextOffset = 9;

}  // namespace

CFormatSignature::CFormatSignature(std::uint32_t magic, CVersion version, std::string text)
    : magic_(magic), version_(version), text_(std::move(text)) {}

const CFormatSignature& CFormatSignature::Hamper() {
  static const CFormatSignature signature(0x412BA309u, CVersion(1, 0, 0),
                                          "Hamper container file, format 1.0 (2000)");
  return signature;
}

void CFormatSignature::Write(CMedia& media) const {
  // Built in memory so that the block is always exactly its size, whatever the text.
  std::array<std::uint8_t, kStoredSize> block{};
  NSFerryman::StoreBE32(block.data(), magic_);
  block[kVersionOffset] = CVersion::kMarker;
  block[kVersionOffset + 1] = version_.GetMajor();
  block[kVersionOffset + 2] = version_.GetMinor();
  block[kVersionOffset + 3] = version_.GetRevision();
  std::size_t out = 0;
  for (char c : text_) {
    if (out == kTextFieldSize) break;
    if (c == '\n') continue;
    block[kTextOffset + out++] = static_cast<std::uint8_t>(c);
  }
  media.Write(block.size(), block.data());
}

CFormatSignature CFormatSignature::Read(CMedia& media) {
  std::array<std::uint8_t, kStoredSize> block{};
  media.Read(block.size(), block.data());
  const std::uint32_t magic = NSFerryman::LoadBE32(block.data());
  CVersion version;
  if (block[kVersionOffset] == CVersion::kMarker) {
    version = CVersion(block[kVersionOffset + 1], block[kVersionOffset + 2], block[kVersionOffset + 3]);
  }
  std::string text;
  for (std::size_t i = 0; i < kTextFieldSize; ++i) {
    const char c = static_cast<char>(block[kTextOffset + i]);
    if (c == '\0') break;
    text += c;
    if (c == '\r') text += '\n';
  }
  return CFormatSignature(magic, version, std::move(text));
}
