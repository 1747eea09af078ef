#pragma once
// Small sliced-loop files for the library's and the loader's tests, and the resealing a test
// needs after it changes a field on purpose (so that the damage meant is the one found).

#include <cstdint>
#include <vector>

#include "SLCFileBuilder.h"
#include "SLCFormat.h"

namespace slctest {

using Bytes = std::vector<std::uint8_t>;

// A loop of 400 frames at 44100 Hz and 120 beats per minute in four slices of 100 frames; channel
// c of frame f holds f * 10 + c. With a creator text unless told otherwise.
inline NSSLC::CFileContents LoopContents(std::uint16_t channels = 1, std::uint32_t kind = NSSLC::kKindSlivver2) {
  NSSLC::CFileContents contents;
  contents.kind = kind;
  contents.channels = channels;
  for (std::uint32_t f = 0; f < 400; ++f) {
    for (std::uint32_t c = 0; c < channels; ++c) contents.frames.push_back(static_cast<std::int16_t>(f * 10 + c));
  }
  contents.slices = {{0, 100}, {100, 100}, {200, 100}, {300, 100}};
  contents.creator = "slc tests";
  return contents;
}

inline Bytes LoopFile() { return NSSLC::BuildFile(LoopContents()); }

inline std::uint32_t HeaderField(const Bytes& file, std::size_t offset) { return NSSLC::GetU32(file.data() + offset); }

inline void SetU32(Bytes& file, std::size_t offset, std::uint32_t value) { NSSLC::PutU32(file.data() + offset, value); }

// Recomputes the CRC of a 64-byte header.
inline void ResealHeader(Bytes& file) {
  const std::size_t end = NSSLC::header::kMinimumSize - 4;
  NSSLC::PutU32(file.data() + end, NSSLC::CRC32(file.data(), end));
}

// Recomputes the creator block's CRC.
inline void ResealCreator(Bytes& file) {
  const std::uint32_t offset = HeaderField(file, NSSLC::header::kCreatorOffset);
  const std::uint32_t size = HeaderField(file, NSSLC::header::kCreatorSize);
  NSSLC::PutU32(file.data() + offset + size - 4, NSSLC::CRC32(file.data() + offset, size - 4));
}

}  // namespace slctest
