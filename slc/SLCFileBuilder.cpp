#include "SLCFileBuilder.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace NSSLC {

std::vector<std::uint8_t> BuildFile(const CFileContents& contents) {
  if (contents.channels == 0 || contents.frames.size() % contents.channels != 0) {
    throw std::invalid_argument("the audio does not hold whole frames");
  }
  const std::string* creator = contents.creator ? &*contents.creator : nullptr;
  if (creator && (creator->size() > kMaxCreatorText || creator->find('\0') != std::string::npos)) {
    throw std::invalid_argument("the creator text is longer than 1279 bytes or holds a zero byte");
  }
  const std::uint64_t frameCount = contents.frames.size() / contents.channels;
  const std::uint64_t creatorSize = creator ? kCreatorFixedBytes + creator->size() : 0;
  const std::uint64_t sliceTableSize = std::uint64_t{contents.slices.size()} * kSliceEntryBytes;
  const std::uint64_t audioSize = std::uint64_t{contents.frames.size()} * 2;
  const std::uint64_t total = header::kMinimumSize + creatorSize + sliceTableSize + audioSize;
  // Callers hand the library a 32-bit byte count.
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
  if (frameCount > kLimit || contents.slices.size() > kLimit || total > kLimit) {
    throw std::length_error("the sliced-loop file would be larger than 4 GiB");
  }

  std::vector<std::uint8_t> file(total);
  std::uint8_t* h = file.data();
  const std::uint32_t creatorOffset = creator ? header::kMinimumSize : 0;
  const std::uint32_t sliceTableOffset = static_cast<std::uint32_t>(header::kMinimumSize + creatorSize);
  const std::uint32_t audioOffset = static_cast<std::uint32_t>(sliceTableOffset + sliceTableSize);

  if (creator) {
    std::uint8_t* block = h + creatorOffset;
    PutU32(block, kCreatorTag);
    PutU32(block + 4, static_cast<std::uint32_t>(creator->size()));
    std::copy(creator->begin(), creator->end(), block + 8);
    PutU32(block + creatorSize - 4, CRC32(block, creatorSize - 4));
  }
  for (std::size_t i = 0; i < contents.slices.size(); ++i) {
    std::uint8_t* entry = h + sliceTableOffset + i * kSliceEntryBytes;
    PutU32(entry, contents.slices[i].startFrame);
    PutU32(entry + 4, contents.slices[i].frameCount);
  }
  for (std::size_t i = 0; i < contents.frames.size(); ++i) {
    PutU16(h + audioOffset + 2 * i, static_cast<std::uint16_t>(contents.frames[i]));
  }

  PutU32(h + header::kMagic, kMagic);
  PutU32(h + header::kKind, contents.kind);
  PutU16(h + header::kFormatMajor, kFormatMajor);
  PutU16(h + header::kFormatMinor, kFormatMinor);
  PutU32(h + header::kHeaderSize, header::kMinimumSize);
  PutU32(h + header::kSampleRate, contents.sampleRate);
  PutU16(h + header::kChannels, contents.channels);
  PutU16(h + header::kBitsPerSample, 16);
  PutU32(h + header::kFrameCount, static_cast<std::uint32_t>(frameCount));
  PutU32(h + header::kTempo, contents.tempo);
  PutU32(h + header::kSliceCount, static_cast<std::uint32_t>(contents.slices.size()));
  PutU32(h + header::kCreatorOffset, creatorOffset);
  PutU32(h + header::kCreatorSize, static_cast<std::uint32_t>(creatorSize));
  PutU32(h + header::kSliceTableOffset, sliceTableOffset);
  PutU32(h + header::kSliceTableCRC, CRC32(h + sliceTableOffset, sliceTableSize));
  PutU32(h + header::kAudioOffset, audioOffset);
  PutU32(h + header::kAudioCRC, CRC32(h + audioOffset, audioSize));
  PutU32(h + header::kMinimumSize - 4, CRC32(h, header::kMinimumSize - 4));
  return file;
}

}  // namespace NSSLC
