#pragma once
// The 26-byte record in front of every VORP stream. Multi-byte fields are big-endian:
//
//   0  5  version block: 0xBC, major 1, minor 0, revision 0, 0
//   5  4  frame count
//   9  1  root key (MIDI note; 60 without instrument data)
//  10  1  fine tune (signed cents, -50 to 50)
//  11  1  loop mode (kVORPLoopNone, kVORPLoopForward, kVORPLoopAlternating)
//  12  1  channel count (1 or 2)
//  13  4  loop start (0 without a loop)
//  17  4  loop end, exclusive (the frame count without a loop)
//  21  4  sample rate
//  25  1  bits per sample (16: the stream always carries 16-bit values)

#include <cstdint>

#include "framework/media/Media.h"

inline constexpr std::uint8_t kVORPLoopNone = 0;
inline constexpr std::uint8_t kVORPLoopForward = 1;
inline constexpr std::uint8_t kVORPLoopAlternating = 2;

struct CVORPSampleHeader {
  static constexpr std::size_t kSize = 26;
  static constexpr std::uint8_t kVersionTag = 0xBC;
  static constexpr std::uint8_t kVersionMajor = 1;

  std::uint32_t frameCount = 0;
  std::uint8_t rootKey = 60;
  std::int8_t fineTune = 0;
  std::uint8_t loopMode = kVORPLoopNone;
  std::uint8_t channelCount = 1;
  std::uint32_t loopStart = 0;
  std::uint32_t loopEnd = 0;
  std::uint32_t sampleRate = 0;
  std::uint8_t bitsPerSample = 16;

  // Writes the 26 bytes at the media's position.
  void Write(NSFerryman::CMedia& media) const;
  // Reads 26 bytes at the media's position. XBadFormat for a version tag other than 0xBC, a major
  // version other than 1, or a channel count other than 1 or 2 (the stream has no other layout).
  static CVORPSampleHeader Read(NSFerryman::CMedia& media);

  bool operator==(const CVORPSampleHeader&) const = default;
};
