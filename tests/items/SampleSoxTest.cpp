#include <gtest/gtest.h>

#include <string>

#include "framework/media/FileSpec.h"
#include "framework/media/OpenFile.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/WaveInfo.h"
#include "items/SampleTestFiles.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

struct Format {
  std::string extension;
  int bits;
  int channels;
};

std::string Name(const testing::TestParamInfo<Format>& info) {
  return info.param.extension.substr(1) + std::to_string(info.param.bits) + (info.param.channels == 1 ? "Mono" : "Stereo");
}

class SampleFilesBySox : public testing::TestWithParam<Format> {};

}  // namespace

// Files written by sox, an independent writer, load to exactly the 16-bit values expected of
// their samples.
TEST_P(SampleFilesBySox, LoadToTheExpected16BitFrames) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const Format& f = GetParam();
  test::TempDir dir;
  const auto path = dir / ("signal" + f.extension);
  const std::vector<std::int32_t> signal = TestSignal(f.bits, f.channels);
  std::string error;
  ASSERT_TRUE(WriteWithSox(path, signal, f.bits, f.channels, 32000, &error)) << error;

  COpenFile file(CFileSpec(path.string()));
  const bool wave = f.extension == ".wav";
  ASSERT_EQ(SampleFileKindOf(file), wave ? ESampleFileKind::kWave : ESampleFileKind::kAIFF);
  const CSampleInfo info = wave ? ReadWaveInfo(file) : ReadAIFFInfo(file);
  EXPECT_EQ(info.channels, f.channels);
  EXPECT_EQ(info.bits, static_cast<std::uint32_t>(f.bits));
  EXPECT_EQ(info.sampleRate, 32000u);
  ASSERT_EQ(info.frameCount, signal.size() / f.channels);

  file.SetPosition(0);
  auto sample = wave ? LoadWaveSample(file, 16) : LoadAIFFSample(file, 16);
  ASSERT_EQ(sample->GetFrameCount(), info.frameCount);
  const std::int16_t* frames = sample->Frames();
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < signal.size(); ++i) {
    if (frames[i] != Expected16(signal[i], f.bits) && mismatches++ < 5) {
      ADD_FAILURE() << "value " << i << ": " << frames[i] << ", expected " << Expected16(signal[i], f.bits) << " from "
                    << signal[i];
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, SampleFilesBySox,
                         testing::Values(Format{".wav", 8, 1}, Format{".wav", 8, 2}, Format{".wav", 16, 1},
                                         Format{".wav", 16, 2}, Format{".wav", 24, 1}, Format{".wav", 24, 2},
                                         Format{".aif", 8, 1}, Format{".aif", 8, 2}, Format{".aif", 16, 1},
                                         Format{".aif", 16, 2}, Format{".aif", 24, 1}, Format{".aif", 24, 2},
                                         Format{".aifc", 8, 1}, Format{".aifc", 16, 2}, Format{".aifc", 24, 2}),
                         Name);

TEST(SampleFilesBySox, TwentyFourBitWavIsWrittenExtensible) {
  // What makes the extensible path above real: sox writes 24-bit WAV with tag 0xFFFE.
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  test::TempDir dir;
  const auto path = dir / "ext.wav";
  ASSERT_TRUE(WriteWithSox(path, TestSignal(24, 2, 10), 24, 2, 44100, nullptr));
  const Bytes bytes = test::ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(bytes[20] | (bytes[21] << 8), 0xFFFE);
}
