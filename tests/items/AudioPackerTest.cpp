#include "items/AudioPacker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

#include "codec/VORPEncoder.h"
#include "framework/media/FileSpec.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/SampleTestFiles.h"
#include "items/VORPHeaderFromInfo.h"
#include "items/WaveInfo.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

// Forwards to another media, remembering the largest read, and runs `beforeBlockRead` before
// the given read of a block of frames (of 1024 bytes or more), to change the file under the reader.
class CWatchedMedia : public CMedia {
 public:
  explicit CWatchedMedia(CMedia& base) : base_(base) {}
  MediaSize GetSize() override { return base_.GetSize(); }
  MediaSize GetPosition() override { return base_.GetPosition(); }
  void SetPosition(MediaSize position) override { base_.SetPosition(position); }
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override {
    largestRead = std::max(largestRead, count);
    if (count >= 1024 && ++blockReads == hookAtBlockRead && beforeBlockRead) beforeBlockRead();
    base_.ReadAt(position, count, buffer);
  }
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override {
    base_.WriteAt(position, count, buffer);
  }

  std::size_t largestRead = 0;
  int blockReads = 0;
  int hookAtBlockRead = 0;
  std::function<void()> beforeBlockRead;

 private:
  CMedia& base_;
};

enum class Kind { kWave, kAIFF, kAIFCLittleEndian };

// A file of `frames` frames of arbitrary bytes (every byte pattern is a valid value).
Bytes SampleFile(Kind kind, int bits, int channels, std::uint32_t frames, std::mt19937& random) {
  const std::size_t bytes = std::size_t{frames} * channels * ((bits + 7) / 8);
  Bytes data(bytes);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  switch (kind) {
    case Kind::kWave:
      return Container("RIFF", "WAVE", {{"fmt ", Fmt(1, channels, 44100, bits)}, {"data", data}});
    case Kind::kAIFF:
      return Container("FORM", "AIFF", {{"COMM", Comm(channels, frames, bits, 44100)}, {"SSND", Ssnd(data, 3)}});
    default:
      return Container("FORM", "AIFC", {{"COMM", Comm(channels, frames, bits, 44100, "sowt")}, {"SSND", Ssnd(data)}});
  }
}

// The item as the whole-sample path makes it: load every frame, then code the sample.
Bytes WholeSampleItem(const Bytes& file) {
  auto source = MediaOf(file);
  const bool wave = SampleFileKindOf(*source) == ESampleFileKind::kWave;
  const CSampleInfo info = wave ? ReadWaveInfo(*source) : ReadAIFFInfo(*source);
  auto sample = wave ? LoadWaveSample(*source, 16) : LoadAIFFSample(*source, 16);
  CMemoryMedia out;
  const CVORPSampleHeader header = VORPHeaderFromInfo(info, 16);
  header.Write(out);
  EncodeVORPStream(header, out, *sample);
  return Bytes(out.Data(), out.Data() + out.GetSize());
}

}  // namespace

// Streaming the frames must change nothing: every depth, both kinds (and AIFC's little-endian
// form), both channel counts, and lengths around the coder's blocks and the readers' portions.
TEST(PackAudioItem, StoresExactlyWhatTheWholeSamplePathStores) {
  std::mt19937 random(515);
  for (Kind kind : {Kind::kWave, Kind::kAIFF, Kind::kAIFCLittleEndian}) {
    for (int bits : {8, 16, 20, 22, 24}) {
      for (int channels : {1, 2}) {
        for (std::uint32_t frames : {0u, 1u, 2047u, 4096u, 4097u, 32769u}) {
          const std::string what = "kind " + std::to_string(static_cast<int>(kind)) + ", " + std::to_string(bits) +
                                   " bits, " + std::to_string(channels) + " channels, " + std::to_string(frames) +
                                   " frames";
          const Bytes file = SampleFile(kind, bits, channels, frames, random);
          auto source = MediaOf(file);
          CWatchedMedia watched(*source);
          CMemoryMedia out;
          out.WriteAt(0, 5, "front");  // the item goes where the output stands
          const std::uint64_t stored = PackAudioItem(watched, out);
          const Bytes expected = WholeSampleItem(file);
          ASSERT_EQ(stored, expected.size()) << what;
          ASSERT_EQ(Bytes(out.Data() + 5, out.Data() + out.GetSize()), expected) << what;
          // Read a block at a time, never as a whole.
          EXPECT_LE(watched.largestRead, 32768u * 4) << what;
        }
      }
    }
  }
}

TEST(PackAudioItem, RefusesWhatIsNotASampleFileBeforeWritingAnything) {
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"neither RIFF nor FORM", Bytes{'f', 'L', 'a', 'C', 0, 0, 0, 0}},
      {"a WAV without its data chunk", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 8000, 16)}, {"dat\x01", Bytes(8, 0)}})},
      {"an AIFF whose SSND holds too little",
       Container("FORM", "AIFF", {{"COMM", Comm(1, 100, 16, 8000)}, {"SSND", Ssnd(Bytes(20, 0))}})},
  };
  for (const Case& c : cases) {
    auto source = MediaOf(c.file);
    CMemoryMedia out;
    EXPECT_THROW(PackAudioItem(*source, out), XMedia) << c.what;
    EXPECT_EQ(out.GetSize(), 0u) << c.what;
  }
}

// Another program cuts the file short while its frames are being coded: a read error that names
// the file, not a crash and not a short item passed off as whole.
TEST(PackAudioItem, ASourceThatShrinksWhileItIsReadIsAReadError) {
  test::TempDir dir;
  const auto path = dir / "shrinking.wav";
  std::mt19937 random(7);
  test::WriteFileBytes(path, SampleFile(Kind::kWave, 16, 2, 40000, random));
  COpenFile file{CFileSpec(path.string())};
  CWatchedMedia watched(file);
  watched.hookAtBlockRead = 2;
  watched.beforeBlockRead = [&] { ASSERT_EQ(::truncate(path.c_str(), 20000), 0); };
  CMemoryMedia out;
  try {
    PackAudioItem(watched, out);
    FAIL() << "packed a file that was cut short";
  } catch (const XRead& e) {
    EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
  }
}
