#include "items/AudioItemDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/UnderflowOnInputBitStream.h"
#include "framework/media/MemoryMedia.h"
#include "items/AudioPacker.h"
#include "items/LoadSample.h"
#include "items/SampleTestFiles.h"
#include "items/WaveInfo.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

Bytes Frames16(std::uint32_t values) {
  Bytes b;
  for (std::uint32_t i = 0; i < values; ++i) PutLE(b, static_cast<std::uint16_t>(i * 7919 + (i >> 3) * 31), 2);
  return b;
}

// The item PackAudioItem stores for the file.
Bytes ItemOf(const Bytes& file) {
  auto source = MediaOf(file);
  CMemoryMedia item;
  PackAudioItem(*source, item);
  return Bytes(item.Data(), item.Data() + item.GetSize());
}

}  // namespace

TEST(AudioItemDecoder, GivesBackTheFramesInBlocksAndAsAWave) {
  for (int channels : {1, 2}) {
    for (std::uint32_t frames : {0u, 1u, 4096u, 40000u}) {
      const std::string what = std::to_string(channels) + " channels, " + std::to_string(frames) + " frames";
      const Bytes source = Container("RIFF", "WAVE", {{"fmt ", Fmt(1, channels, 32000, 16)},
                                                      {"smpl", Smpl(62, 0x40000000u, {{0, 3, frames / 2}})},
                                                      {"data", Frames16(frames * channels)}});
      auto sourceMedia = MediaOf(source);
      auto expected = LoadWaveSample(*sourceMedia, 16);
      const std::vector<std::int16_t> expectedFrames(expected->Frames(),
                                                     expected->Frames() + std::size_t{frames} * channels);
      auto item = MediaOf(ItemOf(source));

      // The blocks, in order, bounded in size.
      CAudioItemDecoder decoder(*item);
      EXPECT_EQ(decoder.GetHeader().frameCount, frames) << what;
      std::vector<std::int16_t> decoded;
      decoder.Decode([&](const std::int16_t* block, std::uint32_t count) {
        EXPECT_LE(count, 32768u);
        decoded.insert(decoded.end(), block, block + std::size_t{count} * channels);
      });
      EXPECT_EQ(decoded, expectedFrames) << what;

      // As a WAV file: the same frames, the rate, the root key, fine tune and loop.
      item->SetPosition(0);
      CMemoryMedia wav;
      DecodeAudioItemToWave(*item, wav);
      wav.SetPosition(0);
      const CSampleInfo info = ReadWaveInfo(wav);
      EXPECT_EQ(info.sampleRate, 32000u) << what;
      EXPECT_EQ(info.rootKey, 62) << what;
      EXPECT_EQ(info.fineTune, 25) << what;
      if (frames >= 8) {
        EXPECT_EQ(info.loopKind, kLoopKindLoop) << what;
        EXPECT_EQ(info.loopStart, 3) << what;
        EXPECT_EQ(info.loopEnd, static_cast<std::int32_t>(frames / 2 + 1)) << what;
      }
      auto back = LoadWaveSample(wav, 16);
      EXPECT_EQ(std::vector<std::int16_t>(back->Frames(), back->Frames() + std::size_t{frames} * channels),
                expectedFrames)
          << what;

      item->SetPosition(0);
      EXPECT_NO_THROW(VerifyAudioItem(*item)) << what;
    }
  }
}

TEST(AudioItemDecoder, DamagedItemsFailClearlyAndWriteNoWave) {
  const Bytes good = ItemOf(Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", Frames16(2 * 3000)}}));
  Bytes cut = good;
  cut.resize(good.size() / 2);
  Bytes lying = good;
  lying[5] = lying[6] = lying[7] = lying[8] = 0xFF;  // 2^32 - 1 frames
  Bytes version = good;
  version[1] = 2;
  Bytes noRate = good;
  noRate[21] = noRate[22] = noRate[23] = noRate[24] = 0;
  struct Case {
    const char* what;
    Bytes item;
    const char* message;  // empty: a stream cut short
  };
  const Case cases[] = {
      {"a lying frame count", lying, "cannot hold 4294967295 frames"},
      {"an unknown version", version, "version 2"},
      {"a header cut short", Bytes(good.begin(), good.begin() + 20), ""},
      {"a stream cut short", cut, ""},
  };
  for (const Case& c : cases) {
    for (bool toWave : {false, true}) {
      auto item = MediaOf(c.item);
      CMemoryMedia wav;
      try {
        toWave ? DecodeAudioItemToWave(*item, wav) : VerifyAudioItem(*item);
        ADD_FAILURE() << c.what << ": decoded";
      } catch (const XBadFormat& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
      } catch (const XRead& e) {
        EXPECT_EQ(std::string(c.message), "") << c.what << ": " << e.what();
      }
      // Nothing is written for an item whose header is wrong.
      if (*c.message) {
        EXPECT_EQ(wav.GetSize(), 0u) << c.what;
      }
    }
  }
  // A WAV needs a sample rate; nothing to check when only verifying.
  auto item = MediaOf(noRate);
  CMemoryMedia wav;
  EXPECT_THROW(DecodeAudioItemToWave(*item, wav), XBadFormat);
  EXPECT_EQ(wav.GetSize(), 0u);
  item->SetPosition(0);
  EXPECT_NO_THROW(VerifyAudioItem(*item));
}
