#include "framework/media/AudioAccessor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace NSFerryman {

namespace {

// Portions for the converting operations: 1024 values of one channel, 512 stereo frames.
constexpr std::uint32_t kChannelPortion = 1024;
constexpr std::uint32_t kStereoPortion = 512;
// Scratch for picking one channel out of stereo frames.
constexpr std::uint32_t kScratchFrames = 512;

// Out-of-range values are clamped: a plain narrowing would wrap (a loud click) or, for floats
// beyond the int range, be undefined.
std::int16_t ClampTo16(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

std::int16_t FloatTo16(float f) {
  const double scaled = static_cast<double>(f) * 32768.0;
  if (std::isnan(scaled)) return 0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<std::int16_t>(static_cast<std::int32_t>(scaled));  // truncates toward zero
}

std::int16_t From24(std::int32_t v) { return ClampTo16(v >> 8); }

}  // namespace

void CABCAudioAccessor::CheckRange(std::uint32_t first, std::uint32_t count) const {
  if (std::uint64_t{first} + count > frameCount_) {
    throw XPosition("frames " + std::to_string(first) + " to " + std::to_string(std::uint64_t{first} + count) +
                    " lie outside the " + std::to_string(frameCount_) + " frames of the sample");
  }
}

CABC16BitAccessor::CABC16BitAccessor(CMedia* media, std::uint32_t frameCount, std::uint16_t channelCount)
    : CABCAudioAccessor(media, frameCount, channelCount) {
  // The scratch buffers below hold at most two channels.
  if (channelCount != 1 && channelCount != 2) {
    throw XUnsupportedFormat("16-bit frames of " + std::to_string(channelCount) + " channels");
  }
}

CNative16BitAccessor::CNative16BitAccessor(CMedia& media, std::uint32_t frameCount, std::uint16_t channelCount,
                                           const std::int16_t* inMemory)
    : CABC16BitAccessor(&media, frameCount, channelCount),
      bytesPerFrame_(std::uint32_t{channelCount} * 2),
      inMemory_(inMemory) {}

// --- The native primitives: 16-bit frames straight from and to the media.

void CNative16BitAccessor::Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) {
  CheckRange(first, count);
  if (count == 0) return;
  Media().ReadAt(std::uint64_t{first} * bytesPerFrame_, std::size_t{count} * bytesPerFrame_, data);
}

void CNative16BitAccessor::Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) {
  CheckRange(first, count);
  if (count == 0) return;
  Media().WriteAt(std::uint64_t{first} * bytesPerFrame_, std::size_t{count} * bytesPerFrame_, data);
}

// --- One channel of stereo frames, through a scratch buffer of frames.

void CABC16BitAccessor::Read16Channel(std::uint32_t first, std::uint32_t count, std::int16_t* data,
                                      std::int32_t selector) {
  if (GetChannelCount() < 2) {
    Read16Stereo(first, count, data);
    return;
  }
  CheckRange(first, count);
  const std::uint32_t channel = selector == kFirstChannel ? 0 : 1;
  std::int16_t scratch[kScratchFrames * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kScratchFrames);
    Read16Stereo(first + done, n, scratch);
    for (std::uint32_t i = 0; i < n; ++i) data[done + i] = scratch[i * 2 + channel];
    done += n;
  }
}

void CABC16BitAccessor::Write16Channel(std::uint32_t first, std::uint32_t count, const std::int16_t* data,
                                       std::int32_t selector) {
  if (GetChannelCount() < 2) {
    Write16Stereo(first, count, data);
    return;
  }
  CheckRange(first, count);
  const std::uint32_t channel = selector == kFirstChannel ? 0 : 1;
  std::int16_t scratch[kScratchFrames * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kScratchFrames);
    Read16Stereo(first + done, n, scratch);
    for (std::uint32_t i = 0; i < n; ++i) scratch[i * 2 + channel] = data[done + i];
    Write16Stereo(first + done, n, scratch);
    done += n;
  }
}

// --- Conversions through the primitives.

void CABC16BitAccessor::ReadFloatChannel(std::uint32_t first, std::uint32_t count, float* data,
                                         std::int32_t selector) {
  std::int16_t buf[kChannelPortion];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kChannelPortion);
    Read16Channel(first + done, n, buf, selector);
    for (std::uint32_t i = 0; i < n; ++i) data[done + i] = static_cast<float>(buf[i]) / 32768.0f;
    done += n;
  }
}

void CABC16BitAccessor::WriteFloatChannel(std::uint32_t first, std::uint32_t count, const float* data,
                                          std::int32_t selector) {
  std::int16_t buf[kChannelPortion];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kChannelPortion);
    for (std::uint32_t i = 0; i < n; ++i) buf[i] = FloatTo16(data[done + i]);
    Write16Channel(first + done, n, buf, selector);
    done += n;
  }
}

void CABC16BitAccessor::ReadFloatStereo(std::uint32_t first, std::uint32_t count, float* data) {
  const std::uint32_t channels = GetChannelCount();
  std::int16_t buf[kStereoPortion * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kStereoPortion);
    Read16Stereo(first + done, n, buf);
    for (std::uint32_t i = 0; i < n * channels; ++i) data[done * channels + i] = static_cast<float>(buf[i]) / 32768.0f;
    done += n;
  }
}

void CABC16BitAccessor::WriteFloatStereo(std::uint32_t first, std::uint32_t count, const float* data) {
  const std::uint32_t channels = GetChannelCount();
  std::int16_t buf[kStereoPortion * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kStereoPortion);
    for (std::uint32_t i = 0; i < n * channels; ++i) buf[i] = FloatTo16(data[done * channels + i]);
    Write16Stereo(first + done, n, buf);
    done += n;
  }
}

void CABC16BitAccessor::Read24Channel(std::uint32_t first, std::uint32_t count, std::int32_t* data,
                                      std::int32_t selector) {
  std::int16_t buf[kChannelPortion];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kChannelPortion);
    Read16Channel(first + done, n, buf, selector);
    for (std::uint32_t i = 0; i < n; ++i) data[done + i] = std::int32_t{buf[i]} * 256;
    done += n;
  }
}

void CABC16BitAccessor::Write24Channel(std::uint32_t first, std::uint32_t count, const std::int32_t* data,
                                       std::int32_t selector) {
  std::int16_t buf[kChannelPortion];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kChannelPortion);
    for (std::uint32_t i = 0; i < n; ++i) buf[i] = From24(data[done + i]);
    Write16Channel(first + done, n, buf, selector);
    done += n;
  }
}

void CABC16BitAccessor::Read24Stereo(std::uint32_t first, std::uint32_t count, std::int32_t* data) {
  const std::uint32_t channels = GetChannelCount();
  std::int16_t buf[kStereoPortion * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kStereoPortion);
    Read16Stereo(first + done, n, buf);
    for (std::uint32_t i = 0; i < n * channels; ++i) data[done * channels + i] = std::int32_t{buf[i]} * 256;
    done += n;
  }
}

void CABC16BitAccessor::Write24Stereo(std::uint32_t first, std::uint32_t count, const std::int32_t* data) {
  const std::uint32_t channels = GetChannelCount();
  std::int16_t buf[kStereoPortion * 2];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min(count - done, kStereoPortion);
    for (std::uint32_t i = 0; i < n * channels; ++i) buf[i] = From24(data[done * channels + i]);
    Write16Stereo(first + done, n, buf);
    done += n;
  }
}

}  // namespace NSFerryman
