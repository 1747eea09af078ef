// Speed of the VORP codec in memory, per code path: MB/s of 16-bit PCM for encoding and decoding.
//
//   AudioCodecBench [INPUT.wav|aiff|-] [RUNS] [PATH]
//
// Without an input (or with "-") a generated stereo signal (tones, noise, silence) of 60 seconds
// is used. PATH (reference, portable or avx2) measures that path alone.

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/OptimizedVORPDecompressorFromMedia.h"
#include "codec/OutputBitStream.h"
#include "codec/VORPCompressor.h"
#include "codec/VORPDecoder.h"
#include "codec/VORPEncoder.h"
#include "framework/media/FileSpec.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "items/LoadSample.h"
#include "items/WaveSample.h"

using namespace NSFerryman;

namespace {

std::unique_ptr<CWaveSample> Generated() {
  const std::uint32_t frames = 44100 * 60;
  auto s = std::make_unique<CWaveSample>(CSampleFormat{2, 16, 44100, frames});
  std::int16_t* f = s->Frames();
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 40.0);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double t = i / 44100.0;
    const double env = std::exp(-std::fmod(t, 2.0) * 1.5) * (std::fmod(t, 10.0) < 9.0 ? 1.0 : 0.0);
    for (int c = 0; c < 2; ++c) {
      const double v = env * (12000.0 * std::sin(2 * M_PI * (110.0 + 40 * c) * t) + 4000.0 * std::sin(2 * M_PI * 880.0 * t)) +
                       env * noise(rng);
      f[2 * i + c] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0)));
    }
  }
  return s;
}

// CPU time of this thread: other work on a busy machine does not count against the codec.
double CpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<CWaveSample> sample;
  std::string what = "generated 60 s stereo signal";
  if (argc > 1 && std::string(argv[1]) != "-") {
    COpenFile file{CFileSpec(argv[1])};
    const bool wave = file.ReadByte() == 'R';
    file.SetPosition(0);
    sample = wave ? LoadWaveSample(file, 16) : LoadAIFFSample(file, 16);
    what = argv[1];
  } else {
    sample = Generated();
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  CVORPSampleHeader header;
  header.frameCount = sample->GetFrameCount();
  header.channelCount = static_cast<std::uint8_t>(sample->GetChannelCount());
  header.sampleRate = sample->GetSampleRate();
  header.loopEnd = header.frameCount;
  const double pcmMB = static_cast<double>(sample->ByteCount()) / 1e6;
  std::printf("input: %s, %u frames, %u channels, %.1f MB of 16-bit PCM; best of %d runs (thread CPU time)\n", what.c_str(),
              header.frameCount, header.channelCount, pcmMB, runs);

  std::vector<std::uint8_t> reference;
  for (EVORPPath path : {EVORPPath::kReference, EVORPPath::kPortable, EVORPPath::kAVX2}) {
    if (argc > 3 && std::string(argv[3]) != VORPPathName(path)) continue;
    if (VORPResolvePath(path) != path) {
      std::printf("%-10s not available on this processor\n", VORPPathName(path));
      continue;
    }
    double bestEnc = 1e9;
    double bestDec = 1e9;
    CMemoryMedia out(sample->ByteCount());
    for (int r = 0; r < (path == EVORPPath::kReference ? 1 : runs); ++r) {
      out.SetPosition(0);
      const double t0 = CpuNow();
      EncodeVORPStream(header, out, *sample, path);
      bestEnc = std::min(bestEnc, CpuNow() - t0);
    }
    const std::vector<std::uint8_t> bytes(out.Data(), out.Data() + out.GetPosition());
    if (reference.empty()) reference = bytes;
    const bool same = bytes == reference;

    CWaveSample back(sample->GetFormat());
    for (int r = 0; r < (path == EVORPPath::kReference ? 1 : runs); ++r) {
      out.SetPosition(0);
      const double t0 = CpuNow();
      DecodeVORPStream(header, out, back, path);
      bestDec = std::min(bestDec, CpuNow() - t0);
    }
    const bool exact = std::memcmp(back.Frames(), sample->Frames(), sample->ByteCount()) == 0;
    std::printf("%-10s encode %8.1f MB/s  decode %8.1f MB/s  size %.1f%% of PCM%s%s\n", VORPPathName(path), pcmMB / bestEnc,
                pcmMB / bestDec, 100.0 * static_cast<double>(bytes.size()) / static_cast<double>(sample->ByteCount()),
                same ? "" : "  STREAM DIFFERS FROM REFERENCE", exact ? "" : "  DECODED FRAMES DIFFER");
  }
  return 0;
}
