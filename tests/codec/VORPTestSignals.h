#pragma once
// Test signals and helpers for the VORP codec tests.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/OutputBitStream.h"
#include "codec/VORPCompressor.h"
#include "codec/VORPEncoder.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/AudioAccessor.h"
#include "framework/media/MemoryMedia.h"

namespace vorptest {

struct CSignal {
  std::string name;
  std::uint16_t channels;
  std::vector<std::int16_t> frames;  // interleaved
  std::uint32_t FrameCount() const { return static_cast<std::uint32_t>(frames.size() / channels); }
};

inline std::int16_t Clamp16(double v) {
  return static_cast<std::int16_t>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, v))));
}

// The signals every path must code identically and decode exactly.
inline std::vector<CSignal> Signals() {
  std::vector<CSignal> out;
  std::mt19937 rng(1234);
  auto make = [&](std::string name, std::uint16_t channels, std::uint32_t frames, auto gen) {
    CSignal s{std::move(name), channels, {}};
    s.frames.resize(std::size_t{frames} * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
      for (std::uint16_t c = 0; c < channels; ++c) s.frames[std::size_t{i} * channels + c] = gen(i, c);
    }
    out.push_back(std::move(s));
  };
  std::uniform_int_distribution<int> full(-32768, 32767);
  make("silence_mono", 1, 5000, [](std::uint32_t, int) { return std::int16_t{0}; });
  make("silence_stereo", 2, 5000, [](std::uint32_t, int) { return std::int16_t{0}; });
  make("noise_mono", 1, 9000, [&](std::uint32_t, int) { return static_cast<std::int16_t>(full(rng)); });
  make("noise_stereo", 2, 9000, [&](std::uint32_t, int) { return static_cast<std::int16_t>(full(rng)); });
  // Full-scale square waves; in stereo the channels have opposite signs, so R - L is +-65535.
  make("square_mono", 1, 6000, [](std::uint32_t i, int) { return std::int16_t((i / 7) % 2 ? 32767 : -32768); });
  make("square_opposite_stereo", 2, 6000, [](std::uint32_t i, int c) {
    const bool high = ((i / 5) % 2 == 0) != (c == 1);
    return std::int16_t(high ? 32767 : -32768);
  });
  make("alternating_extremes_stereo", 2, 3000, [](std::uint32_t i, int c) {
    return std::int16_t(((i + c) % 2) ? 32767 : -32768);
  });
  // Real-like: a decaying tone with harmonics and a little noise, quiet then loud.
  std::normal_distribution<double> noise(0.0, 30.0);
  make("tone_stereo", 2, 20000, [&](std::uint32_t i, int c) {
    const double t = i / 44100.0;
    const double env = (i < 8000 ? 0.05 : 0.9) * std::exp(-t * 2.0);
    const double v = env * 32767.0 *
                     (0.6 * std::sin(2 * M_PI * 220.0 * t + c) + 0.3 * std::sin(2 * M_PI * 660.0 * t) +
                      0.1 * std::sin(2 * M_PI * 1320.0 * t));
    return Clamp16(v + noise(rng));
  });
  make("tone_mono", 1, 20000, [&](std::uint32_t i, int) {
    const double t = i / 22050.0;
    return Clamp16(20000.0 * std::sin(2 * M_PI * 440.0 * t) + noise(rng));
  });
  make("one_frame_stereo", 2, 1, [](std::uint32_t, int c) { return std::int16_t(c ? 32767 : -32768); });
  make("block_edge_mono", 1, 4097, [&](std::uint32_t i, int) { return std::int16_t(i * 37 % 2001 - 1000); });
  return out;
}

// A memory-backed accessor; with `direct` it offers its frames for direct access.
class CMemoryAccessor : public NSFerryman::CNative16BitAccessor {
 public:
  CMemoryAccessor(const CSignal& s, bool direct)
      : CMemoryAccessor(s.frames, s.channels, s.FrameCount(), direct) {}
  CMemoryAccessor(const std::vector<std::int16_t>& frames, std::uint16_t channels, std::uint32_t count, bool direct)
      : CNative16BitAccessor(media_, count, channels), direct_(direct) {
    if (!frames.empty()) media_.WriteAt(0, frames.size() * 2, frames.data());
  }
  const std::int16_t* Interleaved16() override {
    return direct_ ? reinterpret_cast<const std::int16_t*>(media_.Data()) : nullptr;
  }
  std::int16_t* MutableInterleaved16() override {
    return direct_ ? reinterpret_cast<std::int16_t*>(media_.Data()) : nullptr;
  }
  std::vector<std::int16_t> Frames() {
    std::vector<std::int16_t> v(media_.GetSize() / 2);
    if (!v.empty()) std::memcpy(v.data(), media_.Data(), v.size() * 2);
    return v;
  }

 private:
  NSFerryman::CMemoryMedia media_;
  bool direct_;
};

inline CVORPSampleHeader HeaderFor(std::uint16_t channels, std::uint32_t frames) {
  CVORPSampleHeader h;
  h.channelCount = static_cast<std::uint8_t>(channels);
  h.frameCount = frames;
  h.loopEnd = frames;
  h.sampleRate = 44100;
  return h;
}

// The stream (without header) of a signal.
inline std::vector<std::uint8_t> Encode(const CSignal& s, EVORPPath path, bool direct = true) {
  NSFerryman::CMemoryMedia out;
  CMemoryAccessor audio(s, direct);
  EncodeVORPStream(HeaderFor(s.channels, s.FrameCount()), out, audio, path);
  return {out.Data(), out.Data() + out.GetSize()};
}

inline std::vector<std::uint32_t> HostWords(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint32_t> w(bytes.size() / 4);
  for (std::size_t i = 0; i < w.size(); ++i) {
    w[i] = (std::uint32_t{bytes[4 * i]} << 24) | (std::uint32_t{bytes[4 * i + 1]} << 16) |
           (std::uint32_t{bytes[4 * i + 2]} << 8) | bytes[4 * i + 3];
  }
  return w;
}

}  // namespace vorptest
