#pragma once
// The description of a sample file (WAV or AIFF) as the readers find it, and the format of an
// in-memory sample. Plain data.

#include <cstdint>

// Values of CSampleInfo::loopKind.
inline constexpr std::int32_t kLoopKindNone = 13;
// A loop the packer does not keep: an AIFF sustain loop marked as not looping, a WAV backward loop.
inline constexpr std::int32_t kLoopKindNotKept = 14;
inline constexpr std::int32_t kLoopKindLoop = 15;

// Values of CSampleInfo::loopType.
inline constexpr std::int32_t kLoopTypeForward = 0;
inline constexpr std::int32_t kLoopTypeAlternating = 1;

struct CSampleInfo {
  std::uint16_t channels = 0;     // 1 or 2 after a successful read
  std::uint32_t bits = 0;         // 8, 16, 20, 22 or 24
  std::uint32_t sampleRate = 0;   // frames per second
  std::uint32_t frameCount = 0;
  std::int32_t loopKind = kLoopKindNone;
  std::int32_t loopType = kLoopTypeForward;
  std::int32_t loopStart = 0;     // first frame of the loop
  std::int32_t loopEnd = 0;       // frame after the last looped frame
  std::uint8_t instrumentPresent = 0;
  std::uint8_t rootKey = 60;      // MIDI note of the unshifted pitch
  std::int8_t fineTune = 0;       // cents, -50 to 50
  std::uint8_t sourceFlag = 0;    // 1 after an AIFF instrument chunk, 0 after a WAV sampler chunk
  std::uint8_t lowKey = 0;
  std::uint8_t highKey = 127;
};

struct CSampleFormat {
  std::uint16_t channels = 0;
  std::uint32_t bits = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t frameCount = 0;
};
