#pragma once
// Lays out a sliced-loop file in memory: header, creator block (when there is a creator text),
// slice table and audio, in that order, with every checksum filled in.
//
//   NSSLC::CFileContents contents;
//   contents.frames = ...; contents.slices = {{0, 11025}, {11025, 11025}};
//   std::vector<std::uint8_t> bytes = NSSLC::BuildFile(contents);
//
// It records what it is given: whether the slices are sound (SlicesAreSound) and the rate,
// tempo and kind are in range is for the caller to check, so that tests can make files that are
// well sealed but unsound.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SLCFormat.h"

namespace NSSLC {

struct CFileContents {
  std::uint32_t kind = kKindSlivver2;
  std::uint32_t sampleRate = 44100;
  std::uint16_t channels = 1;
  std::uint32_t tempo = 120000;       // thousandths of a beat per minute
  std::vector<std::int16_t> frames;  // interleaved, frames.size() a multiple of channels
  std::vector<CSlice> slices;
  std::optional<std::string> creator;
};

// std::invalid_argument for zero channels, frames that do not fill whole frames, or a creator
// text that is longer than kMaxCreatorText or holds a zero byte; std::length_error when the file
// would not fit the format's 32-bit sizes.
std::vector<std::uint8_t> BuildFile(const CFileContents& contents);

}  // namespace NSSLC
