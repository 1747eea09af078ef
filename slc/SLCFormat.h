#pragma once
// The sliced-loop file format, shared by the library that reads it and the builder that writes
// it. slc/README.md describes the format in full; in short, every integer is big-endian and the
// file is exactly four regions, each guarded by a CRC-32:
//
//   header       64 bytes or more (its size is recorded), ending with the CRC of the rest of it
//   creator      optional: "CRTR", text length n, n bytes of text, CRC of the 8 + n bytes before
//   slice table  slice count x (start frame, frame count), CRC in the header
//   audio        frame count x channels 16-bit samples, interleaved, CRC in the header
//
// Everything here is a constant or a pure function over bytes that the caller has already
// bounds-checked.

#include <array>
#include <cstddef>
#include <cstdint>

namespace NSSLC {

constexpr std::uint32_t FourCC(const char (&code)[5]) {
  return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16 |
         std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

inline constexpr std::uint32_t kMagic = FourCC("SLCF");
inline constexpr std::uint32_t kCreatorTag = FourCC("CRTR");

// The three kinds of sliced-loop file; the kind is recorded in the header.
inline constexpr std::uint32_t kKindSlivver2 = FourCC("SLC2");  // ".sl2"
inline constexpr std::uint32_t kKindSLC = FourCC("SLC ");       // ".slc"
inline constexpr std::uint32_t kKindSlivver1 = FourCC("SVSO");  // ".slv"
constexpr bool IsKnownKind(std::uint32_t kind) {
  return kind == kKindSlivver2 || kind == kKindSLC || kind == kKindSlivver1;
}

inline constexpr std::uint16_t kFormatMajor = 1;
inline constexpr std::uint16_t kFormatMinor = 0;

// Header field offsets.
namespace header {
inline constexpr std::size_t kMagic = 0;
inline constexpr std::size_t kKind = 4;
inline constexpr std::size_t kFormatMajor = 8;
inline constexpr std::size_t kFormatMinor = 10;
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kSampleRate = 16;
inline constexpr std::size_t kChannels = 20;
inline constexpr std::size_t kBitsPerSample = 22;
inline constexpr std::size_t kFrameCount = 24;
inline constexpr std::size_t kTempo = 28;
inline constexpr std::size_t kSliceCount = 32;
inline constexpr std::size_t kCreatorOffset = 36;
inline constexpr std::size_t kCreatorSize = 40;
inline constexpr std::size_t kSliceTableOffset = 44;
inline constexpr std::size_t kSliceTableCRC = 48;
inline constexpr std::size_t kAudioOffset = 52;
inline constexpr std::size_t kAudioCRC = 56;
// The header CRC is the last four bytes of the header, wherever its recorded size puts them.
inline constexpr std::size_t kMinimumSize = 64;
}  // namespace header

// Creator block: tag, text length, text, CRC.
inline constexpr std::size_t kCreatorFixedBytes = 12;
// The longest creator text: with its terminating zero it fills the 1280-byte buffer callers use.
inline constexpr std::uint32_t kMaxCreatorText = 1279;

inline constexpr std::size_t kSliceEntryBytes = 8;

// Accepted ranges of header values.
inline constexpr std::uint32_t kMaxSampleRate = 768000;
inline constexpr std::uint32_t kMinTempo = 1000;     // thousandths of a beat per minute
inline constexpr std::uint32_t kMaxTempo = 1000000;

inline std::uint16_t GetU16(const std::uint8_t* p) { return std::uint16_t(p[0] << 8 | p[1]); }
inline std::uint32_t GetU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}
inline void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v >> 8);
  p[1] = std::uint8_t(v);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v >> 24);
  p[1] = std::uint8_t(v >> 16);
  p[2] = std::uint8_t(v >> 8);
  p[3] = std::uint8_t(v);
}

// CRC-32 as in zlib and PNG (reflected polynomial 0xEDB88320, initial and final inversion).
inline std::uint32_t CRC32(const std::uint8_t* data, std::size_t count) {
  static constexpr auto kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < count; ++i) crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

struct CSlice {
  std::uint32_t startFrame = 0;
  std::uint32_t frameCount = 0;
};

// A slice table is sound when every slice holds at least one frame, lies within the audio, and
// starts at or after the end of the one before it.
template <typename SliceAt>
bool SlicesAreSound(std::uint32_t sliceCount, std::uint32_t audioFrames, SliceAt sliceAt) {
  std::uint64_t previousEnd = 0;
  for (std::uint32_t i = 0; i < sliceCount; ++i) {
    const CSlice slice = sliceAt(i);
    const std::uint64_t end = std::uint64_t{slice.startFrame} + slice.frameCount;
    if (slice.frameCount == 0 || end > audioFrames || slice.startFrame < previousEnd) return false;
    previousEnd = end;
  }
  return true;
}

}  // namespace NSSLC
