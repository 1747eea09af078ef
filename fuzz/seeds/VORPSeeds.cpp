// Stored audio items (header and stream) made by our encoder: mono and stereo, silence, full-scale
// extremes and noise, a loop; and damaged ones: cut, a frame count larger than the stream, a
// corrupt stream, a bad version tag.

#include <cmath>

#include "codec/VORPEncoder.h"
#include "fuzz/seeds/SeedWriter.h"
#include "items/WaveSample.h"

namespace seeds {

namespace {

Bytes Item(std::uint16_t channels, std::uint32_t frames, std::int16_t (*value)(std::uint32_t, int),
           std::uint8_t loopMode = kVORPLoopNone) {
  CWaveSample sample(CSampleFormat{channels, 16, 44100, frames});
  for (std::uint32_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) sample.Frames()[f * channels + c] = value(f, c);
  }
  CVORPSampleHeader header;
  header.frameCount = frames;
  header.channelCount = static_cast<std::uint8_t>(channels);
  header.sampleRate = 44100;
  header.loopMode = loopMode;
  header.loopStart = loopMode == kVORPLoopNone ? 0 : frames / 4;
  header.loopEnd = loopMode == kVORPLoopNone ? frames : frames / 2;
  NSFerryman::CMemoryMedia media;
  header.Write(media);
  EncodeVORPStream(header, media, sample);
  return BytesOf(media);
}

std::int16_t Sine(std::uint32_t f, int c) { return static_cast<std::int16_t>(12000 * std::sin(f * 0.05 + c)); }
std::int16_t Silence(std::uint32_t, int) { return 0; }
std::int16_t Extremes(std::uint32_t f, int c) { return ((f / 3 + c) & 1) ? 32767 : -32768; }
std::int16_t Noise(std::uint32_t f, int c) { return static_cast<std::int16_t>((f * 2654435761u + c * 40503u) >> 13); }

}  // namespace

void WriteVORPSeeds(CSeedFolder& folder) {
  const Bytes sine = Item(1, 300, Sine);
  folder.Add("sine-mono.vorp", sine);
  folder.Add("sine-stereo-loop.vorp", Item(2, 200, Sine, kVORPLoopForward));
  folder.Add("silence.vorp", Item(1, 500, Silence));
  folder.Add("extremes-stereo.vorp", Item(2, 90, Extremes, kVORPLoopAlternating));
  folder.Add("noise-stereo.vorp", Item(2, 120, Noise));
  folder.Add("empty.vorp", Item(1, 0, Silence));
  folder.AddCut("sine-cut.vorp", sine, sine.size() / 2);
  folder.AddChanged("sine-more-frames.vorp", sine, 6, 0x7F);
  folder.AddChanged("sine-corrupt.vorp", sine, 40, 0x00);
  folder.AddChanged("bad-version.vorp", sine, 0, 0xBD);
  folder.AddChanged("three-channels.vorp", sine, 12, 3);
}

}  // namespace seeds
