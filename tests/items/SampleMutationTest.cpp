#include <gtest/gtest.h>

#include <random>
#include <string>

#include "items/AIFFInfo.h"
#include "items/AudioPacker.h"
#include "items/LoadSample.h"
#include "items/WaveInfo.h"
#include "items/SampleTestFiles.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

// Reads, loads and packs the bytes as the packer would. Our format and media exceptions are the only
// acceptable failures; anything else (a crash, a std::length_error, a huge allocation) is a fault.
void ReadLikeThePacker(const Bytes& bytes, const std::string& what) {
  auto m = MediaOf(bytes);
  try {
    const ESampleFileKind kind = SampleFileKindOf(*m);
    if (kind == ESampleFileKind::kWave) {
      const CSampleInfo info = ReadWaveInfo(*m);
      auto sample = LoadWaveSample(*m, 16);
      ASSERT_EQ(sample->GetFrameCount(), info.frameCount) << what;
      ASSERT_LE(info.loopEnd, static_cast<std::int64_t>(info.frameCount)) << what;
    } else if (kind == ESampleFileKind::kAIFF) {
      const CSampleInfo info = ReadAIFFInfo(*m);
      auto sample = LoadAIFFSample(*m, 16);
      ASSERT_EQ(sample->GetFrameCount(), info.frameCount) << what;
      ASSERT_LE(info.loopEnd, static_cast<std::int64_t>(info.frameCount)) << what;
    }
    CMemoryMedia item;
    PackAudioItem(*m, item);
  } catch (const XMedia&) {
    // a clear rejection
  } catch (const std::exception& e) {
    FAIL() << what << ": " << typeid(e).name() << ": " << e.what();
  }
}

}  // namespace

TEST(SampleMutation, DamagedFilesAreRejectedCleanly) {
  Bytes frames(3000);
  for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<Bytes> seeds = {
      Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)}, {"smpl", Smpl(60, 0x40000000, {{0, 10, 200}})},
                                 {"data", frames}}),
      Container("RIFF", "WAVE", {{"fmt ", FmtExtensible(2, 44100, 24, kPCMGuid)}, {"data", frames}}),
      Container("FORM", "AIFF", {{"COMM", Comm(2, 750, 16, 44100)}, {"INST", Inst(60, 5, {1, 1, 2}, {0, 1, 2})},
                                 {"MARK", Mark({{1, 10, "a"}, {2, 500, "bc"}})}, {"SSND", Ssnd(frames)}}),
      Container("FORM", "AIFC", {{"COMM", Comm(1, 1000, 24, 22050, "NONE")}, {"SSND", Ssnd(frames, 4)}}),
  };
  std::mt19937 random(20261210);
  for (std::size_t s = 0; s < seeds.size(); ++s) {
    for (int round = 0; round < 1500; ++round) {
      Bytes b = seeds[s];
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits; ++e) {
        // Headers are where the trouble is: most edits land in the first 120 bytes.
        const std::size_t span = (random() % 4) ? std::min<std::size_t>(120, b.size()) : b.size();
        const std::size_t at = random() % span;
        switch (random() % 4) {
          case 0: b[at] = static_cast<std::uint8_t>(random()); break;
          case 1: b[at] = 0xFF; break;
          case 2: b[at] = 0x00; break;
          default: b.resize(at); break;
        }
        if (b.empty()) break;
      }
      ReadLikeThePacker(b, "seed " + std::to_string(s) + " round " + std::to_string(round));
      if (HasFatalFailure()) return;
    }
  }
}
