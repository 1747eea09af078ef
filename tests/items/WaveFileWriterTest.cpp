#include <gtest/gtest.h>

#include <string>

#include "framework/media/MemoryMedia.h"
#include "items/LoadSample.h"
#include "items/WaveFileWriter.h"
#include "items/WaveInfo.h"
#include "items/SampleTestFiles.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

std::unique_ptr<CWaveSample> SampleOf(const std::vector<std::int32_t>& values16, std::uint16_t channels) {
  auto s = std::make_unique<CWaveSample>(
      CSampleFormat{channels, 16, 22050, static_cast<std::uint32_t>(values16.size() / channels)});
  for (std::size_t i = 0; i < values16.size(); ++i) s->Frames()[i] = static_cast<std::int16_t>(values16[i]);
  return s;
}

}  // namespace

TEST(WaveFileWriter, WritesWhatTheReaderReadsBack) {
  for (std::uint16_t channels : {1, 2}) {
    const auto signal = TestSignal(16, channels, 5000);
    auto sample = SampleOf(signal, channels);
    CSampleInfo info;
    info.instrumentPresent = 1;
    info.rootKey = 72;
    info.fineTune = -13;
    info.loopKind = kLoopKindLoop;
    info.loopType = kLoopTypeAlternating;
    info.loopStart = 100;
    info.loopEnd = 4999;

    CMemoryMedia out;
    CWaveFileWriter::Write(out, *sample, 22050, info);
    const CSampleInfo back = ReadWaveInfo(out);
    EXPECT_EQ(back.channels, channels);
    EXPECT_EQ(back.bits, 16u);
    EXPECT_EQ(back.sampleRate, 22050u);
    EXPECT_EQ(back.frameCount, 5000u);
    EXPECT_EQ(back.rootKey, 72);
    EXPECT_EQ(back.fineTune, -13);
    EXPECT_EQ(back.loopKind, kLoopKindLoop);
    EXPECT_EQ(back.loopType, kLoopTypeAlternating);
    EXPECT_EQ(back.loopStart, 100);
    EXPECT_EQ(back.loopEnd, 4999);
    auto loaded = LoadWaveSample(out, 16);
    EXPECT_TRUE(std::equal(sample->Frames(), sample->Frames() + signal.size(), loaded->Frames()));
  }
}

TEST(WaveFileWriter, WithoutInstrumentDataThereIsNoSamplerChunk) {
  auto sample = SampleOf({1, 2, 3}, 1);
  CMemoryMedia out;
  CWaveFileWriter::Write(out, *sample, 8000, CSampleInfo{});
  const std::string bytes(reinterpret_cast<const char*>(out.Data()), out.GetSize());
  EXPECT_EQ(bytes.find("smpl"), std::string::npos);
  EXPECT_EQ(out.GetSize(), 12u + 24 + 8 + 6);
  EXPECT_EQ(ReadWaveInfo(out).instrumentPresent, 0);
}

TEST(WaveFileWriter, EveryRootKeyAndFineTuneReadsBack) {
  for (int key = 0; key < 128; ++key) {
    for (int cents = -50; cents <= 50; ++cents) {
      const auto pitch = CWaveFileWriter::PitchOf(static_cast<std::uint8_t>(key), static_cast<std::int8_t>(cents));
      auto m = MediaOf(Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 8000, 16)}, {"smpl", Smpl(pitch.unityNote, pitch.pitchFraction)},
                                                          {"data", Bytes(2, 0)}}));
      const CSampleInfo info = ReadWaveInfo(*m);
      if (key == 0 && cents < 0) {
        // No key below 0 to tune up from.
        EXPECT_EQ(info.rootKey, 0);
        EXPECT_EQ(info.fineTune, 0);
        continue;
      }
      ASSERT_EQ(info.rootKey, key) << key << " " << cents;
      ASSERT_EQ(info.fineTune, cents) << key << " " << cents;
    }
  }
}

TEST(WaveFileWriter, SoxReadsTheFile) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const auto signal = TestSignal(16, 2, 3000);
  auto sample = SampleOf(signal, 2);
  CSampleInfo info;
  info.instrumentPresent = 1;
  info.rootKey = 50;
  info.loopKind = kLoopKindLoop;
  info.loopStart = 10;
  info.loopEnd = 20;
  CMemoryMedia out;
  CWaveFileWriter::Write(out, *sample, 44100, info);
  test::TempDir dir;
  test::WriteFileBytes(dir / "out.wav", Bytes(out.Data(), out.Data() + out.GetSize()));
  std::string raw;
  ASSERT_EQ(test::RunCommand("sox '" + (dir / "out.wav").string() + "' -t raw -e signed-integer -b 16 -L -", &raw), 0);
  ASSERT_EQ(raw.size(), signal.size() * 2);
  for (std::size_t i = 0; i < signal.size(); ++i) {
    const auto v = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) | (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
    ASSERT_EQ(v, signal[i]) << i;
  }
}

// Every size and rate field of a WAV file is 32-bit: a header that would wrap one is refused
// before a byte is written; one that just fits is written as it is.
TEST(WaveFileWriter, RefusesFieldsAWavCannotCarryBeforeWriting) {
  enum class Outcome { kWritten, kBadFormat, kUnsupported };
  CSampleInfo loop;
  loop.loopKind = kLoopKindLoop;
  loop.loopStart = 0;
  loop.loopEnd = 10;
  struct Case {
    const char* what;
    std::uint16_t channels;
    std::uint32_t frames;
    std::uint32_t rate;
    CSampleInfo info;
    Outcome outcome;
  };
  const Case cases[] = {
      {"stereo at 2^30 Hz: the byte rate wraps to 0", 2, 10, 1u << 30, {}, Outcome::kBadFormat},
      {"stereo just below", 2, 10, (1u << 30) - 1, {}, Outcome::kWritten},
      {"mono at 2^31 Hz", 1, 10, 1u << 31, {}, Outcome::kBadFormat},
      {"mono just below", 1, 10, 0x7FFFFFFFu, {}, Outcome::kWritten},
      {"no rate", 1, 10, 0, {}, Outcome::kBadFormat},
      {"three channels", 3, 10, 8000, {}, Outcome::kUnsupported},
      {"the most mono frames a RIFF form holds", 1, 2147483629u, 8000, {}, Outcome::kWritten},
      {"one more", 1, 2147483630u, 8000, {}, Outcome::kUnsupported},
      {"as many with a loop chunk besides", 1, 2147483629u, 8000, loop, Outcome::kUnsupported},
      {"every frame a header can count", 2, 0xFFFFFFFFu, 8000, {}, Outcome::kUnsupported},
  };
  for (const Case& c : cases) {
    CMemoryMedia out;
    try {
      CWaveFileWriter::WriteHeader(out, c.channels, c.frames, c.rate, c.info);
      EXPECT_EQ(c.outcome, Outcome::kWritten) << c.what;
      out.SetPosition(28);
      EXPECT_EQ(out.ReadU32LE(), std::uint64_t{c.rate} * c.channels * 2) << c.what;
      out.SetPosition(4);
      EXPECT_EQ(out.ReadU32LE(), out.GetSize() - 8 + std::uint64_t{c.frames} * c.channels * 2) << c.what;
    } catch (const XUnsupportedFormat& e) {
      EXPECT_EQ(c.outcome, Outcome::kUnsupported) << c.what << ": " << e.what();
      EXPECT_EQ(out.GetSize(), 0u) << c.what;
    } catch (const XBadFormat& e) {
      EXPECT_EQ(c.outcome, Outcome::kBadFormat) << c.what << ": " << e.what();
      EXPECT_EQ(out.GetSize(), 0u) << c.what;
    }
  }
}
