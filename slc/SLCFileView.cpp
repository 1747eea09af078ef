#include "SLCFileView.h"

#include <algorithm>
#include <array>

namespace NSSLC {

namespace {

struct CRegion {
  std::uint64_t offset;
  std::uint64_t length;
};

// The regions must lie behind the header, inside the buffer, apart from each other, and together
// with the header cover every byte: then each byte of a file is guarded by one CRC and no byte
// goes unchecked. Truncation is asked first so that a cut file is always reported as cut.
SLCResult CheckRegions(const CLayout& layout, std::uint64_t size) {
  std::array<CRegion, 3> regions{{
      {layout.creatorOffset, layout.creatorSize},
      {layout.sliceTableOffset, std::uint64_t{layout.sliceCount} * kSliceEntryBytes},
      {layout.audioOffset, std::uint64_t{layout.frameCount} * layout.channels * 2},
  }};
  if (layout.creatorSize == 0 && layout.creatorOffset != 0) return kSLCBadFormat;
  for (const CRegion& r : regions) {
    if (r.length != 0 && r.offset + r.length > size) return kSLCTruncated;
  }
  std::uint64_t covered = layout.headerSize;
  for (const CRegion& r : regions) {
    if (r.length == 0) continue;
    if (r.offset < layout.headerSize) return kSLCBadFormat;
    covered += r.length;
  }
  std::sort(regions.begin(), regions.end(), [](const CRegion& a, const CRegion& b) { return a.offset < b.offset; });
  std::uint64_t previousEnd = 0;
  for (const CRegion& r : regions) {
    if (r.length == 0) continue;
    if (r.offset < previousEnd) return kSLCBadFormat;
    previousEnd = r.offset + r.length;
  }
  return covered == size ? kSLCOK : kSLCBadFormat;
}

}  // namespace

SLCResult CFileView::Open(const std::uint8_t* bytes, std::uint64_t size) {
  bytes_ = nullptr;
  size_ = 0;
  layout_ = CLayout{};
  if (size < 4) return kSLCTruncated;
  if (GetU32(bytes + header::kMagic) != kMagic) return kSLCNotSlicedLoop;
  if (size < header::kMinimumSize) return kSLCTruncated;

  // Magic, kind, version and header size keep their places in every version; the rest of the
  // header is read only once the version is known.
  CLayout l;
  l.kind = GetU32(bytes + header::kKind);
  l.formatMajor = GetU16(bytes + header::kFormatMajor);
  l.formatMinor = GetU16(bytes + header::kFormatMinor);
  l.headerSize = GetU32(bytes + header::kHeaderSize);
  if (l.formatMajor != kFormatMajor) return kSLCUnsupportedVersion;
  if (l.headerSize < header::kMinimumSize || l.headerSize % 4 != 0) return kSLCBadFormat;
  if (l.headerSize > size) return kSLCTruncated;
  if (CRC32(bytes, l.headerSize - 4) != GetU32(bytes + l.headerSize - 4)) return kSLCChecksumMismatch;

  l.sampleRate = GetU32(bytes + header::kSampleRate);
  l.channels = GetU16(bytes + header::kChannels);
  l.bitsPerSample = GetU16(bytes + header::kBitsPerSample);
  l.frameCount = GetU32(bytes + header::kFrameCount);
  l.tempo = GetU32(bytes + header::kTempo);
  l.sliceCount = GetU32(bytes + header::kSliceCount);
  l.creatorOffset = GetU32(bytes + header::kCreatorOffset);
  l.creatorSize = GetU32(bytes + header::kCreatorSize);
  l.sliceTableOffset = GetU32(bytes + header::kSliceTableOffset);
  l.sliceTableCRC = GetU32(bytes + header::kSliceTableCRC);
  l.audioOffset = GetU32(bytes + header::kAudioOffset);
  l.audioCRC = GetU32(bytes + header::kAudioCRC);

  if (!IsKnownKind(l.kind) || (l.channels != 1 && l.channels != 2) || l.bitsPerSample != 16 || l.sampleRate == 0 ||
      l.sampleRate > kMaxSampleRate || l.tempo < kMinTempo || l.tempo > kMaxTempo || l.sliceCount == 0 ||
      l.sliceCount > l.frameCount) {
    return kSLCBadFormat;
  }
  if (const SLCResult r = CheckRegions(l, size); r != kSLCOK) return r;
  bytes_ = bytes;
  size_ = size;
  layout_ = l;
  return kSLCOK;
}

SLCResult CFileView::ReadCreator(std::string_view& text) const {
  text = {};
  if (layout_.creatorSize == 0) return kSLCNoCreatorInfo;
  const std::uint8_t* block = bytes_ + layout_.creatorOffset;
  const std::uint32_t size = layout_.creatorSize;
  if (size < kCreatorFixedBytes) return kSLCBadFormat;
  if (CRC32(block, size - 4) != GetU32(block + size - 4)) return kSLCChecksumMismatch;
  const std::uint32_t length = GetU32(block + 4);
  if (GetU32(block) != kCreatorTag || length != size - kCreatorFixedBytes || length > kMaxCreatorText) {
    return kSLCBadFormat;
  }
  const std::string_view stored(reinterpret_cast<const char*>(block + 8), length);
  if (stored.find('\0') != std::string_view::npos) return kSLCBadFormat;
  text = stored;
  return kSLCOK;
}

SLCResult CFileView::CheckSliceTable() const {
  const std::uint64_t length = std::uint64_t{layout_.sliceCount} * kSliceEntryBytes;
  if (CRC32(bytes_ + layout_.sliceTableOffset, length) != layout_.sliceTableCRC) return kSLCChecksumMismatch;
  const bool sound =
      SlicesAreSound(layout_.sliceCount, layout_.frameCount, [this](std::uint32_t i) { return Slice(i); });
  return sound ? kSLCOK : kSLCBadFormat;
}

SLCResult CFileView::CheckAudio() const {
  const std::uint64_t length = std::uint64_t{layout_.frameCount} * layout_.channels * 2;
  return CRC32(bytes_ + layout_.audioOffset, length) == layout_.audioCRC ? kSLCOK : kSLCChecksumMismatch;
}

CSlice CFileView::Slice(std::uint32_t index) const {
  const std::uint8_t* entry = bytes_ + layout_.sliceTableOffset + std::uint64_t{index} * kSliceEntryBytes;
  return {GetU32(entry), GetU32(entry + 4)};
}

std::int16_t CFileView::Sample(std::uint64_t frame, std::uint32_t channel) const {
  const std::uint8_t* p = bytes_ + layout_.audioOffset + (frame * layout_.channels + channel) * 2;
  return static_cast<std::int16_t>(GetU16(p));
}

}  // namespace NSSLC
