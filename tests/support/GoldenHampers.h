#pragma once
// Hampers whose bytes are pinned: the SHA-256 of what `hamper pack` made of a few folders when
// the layout was last known good. Where the bytes go while packing may change; what the file
// holds may not, so a change to one of these digests is a fault unless the format itself changed.

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/ContentFolder.h"

namespace goldentest {

// The demo folder, examples/Harbor Drums, at any thread count.
inline constexpr const char* kDemoDigest = "0f9c82606fb94e32785d939bdf6fc3f29d3fd9c19ece86a39790757fed7f85df";
// WriteGeneratedFolder, at any thread count.
inline constexpr const char* kGeneratedDigest = "d081ff057f986e22bcd0e949f0bb73f54f79fa9254bb9d78fd5f35d2507b6ba6";
// WriteGeneratedFolder with Samples/snare.wav left out (it was damaged, and the pack told to go
// on without it), whichever stage found it.
inline constexpr const char* kLeftOutDigest = "74b081bc560040f491ecd6746b87118de99e56c728e88f68c39a99c3f95c7661";

// 16-bit PCM of pseudo-random noise: it hardly compresses, so the items are large.
inline contenttest::Bytes NoiseWave(std::uint16_t channels, std::uint32_t frames, std::uint32_t seed) {
  sampletest::Bytes data;
  std::uint32_t x = seed;
  for (std::uint32_t f = 0; f < frames * channels; ++f) {
    x = x * 1664525u + 1013904223u;
    sampletest::PutLE(data, x >> 16, 2);
  }
  return sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, channels, 44100, 16)}, {"data", data}});
}

// What a damaged sample looks like: a WAV without its "fmt " chunk.
inline contenttest::Bytes DamagedWave() { return sampletest::Container("RIFF", "WAVE", {{"junk", {1}}}); }

// The usual folder and more: items large and small in several folders, so that workers run
// ahead of the order and large items are written while others wait.
inline void WriteGeneratedFolder(const std::filesystem::path& root) {
  contenttest::WriteUsualFolder(root);
  test::WriteFileBytes(root / "Long/noise.wav", NoiseWave(2, 1'200'000, 7));
  test::WriteFileBytes(root / "Long/tone.wav", contenttest::Wave(2, 900'000, 44100));
  for (int i = 0; i < 16; ++i) {
    const std::string n = std::to_string(i);
    test::WriteFileBytes(root / "Many" / ("take" + n + ".wav"), NoiseWave(1 + i % 2, 1000 + 4000 * i, i));
    if (i % 4 == 0) {
      test::WriteFileBytes(root / "Many" / ("song" + n + ".tns"), contenttest::Authored(contenttest::SongScript()));
    }
  }
  test::WriteFileBytes(root / "Pictures/photo.jpg", contenttest::Splash(200, 120));
}

// The SHA-256 of a file, in hexadecimal ("" when it cannot be read).
inline std::string Sha256Of(const std::filesystem::path& file) {
  std::string out;
  if (test::RunCommand("sha256sum '" + file.string() + "' 2>/dev/null", &out) != 0) return "";
  return out.substr(0, out.find(' '));
}

}  // namespace goldentest
