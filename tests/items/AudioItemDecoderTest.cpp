#include "items/AudioItemDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/UnderflowOnInputBitStream.h"
#include "framework/media/MemoryMedia.h"
#include "items/AIFFInfo.h"
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

// Written as an AIFF file, an item carries every field of its header: packing the file again
// gives the same header, and the same frames.
TEST(AudioItemDecoder, AsAnAIFFFileGivesBackItsHeader) {
  const Bytes marks = Mark({{1, 300, "start"}, {2, 2500, "end"}});
  const auto aiff = [](std::int16_t channels, const std::vector<Chunk>& extra) {
    std::vector<Chunk> chunks = {{"COMM", Comm(channels, 3000, 16, 44100)}};
    chunks.insert(chunks.end(), extra.begin(), extra.end());
    chunks.push_back({"SSND", Ssnd(Bytes(std::size_t{3000} * channels * 2, 0x35))});
    return Container("FORM", "AIFF", chunks);
  };
  struct CCase {
    const char* what;
    Bytes source;
  };
  const std::vector<CCase> cases = {
      {"no instrument, no loop", aiff(2, {})},
      {"alternating sustain loop, fine tune down", aiff(1, {{"MARK", marks}, {"INST", Inst(40, -20, {2, 1, 2})}})},
      {"forward loop at key 0", aiff(2, {{"MARK", marks}, {"INST", Inst(0, -50, {1, 1, 2}, {}, 10, 20)}})},
      {"a sustain loop not kept", aiff(1, {{"MARK", marks}, {"INST", Inst(127, 50, {0, 1, 2})}})},
      {"a WAV loop without instrument data",
       Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 96000, 16)}, {"smpl", Smpl(60, 0, {{1, 7, 2000}})},
                                  {"data", Frames16(6000)}})},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes packed = ItemOf(c.source);
    auto item = MediaOf(packed);
    item->SetPosition(0);
    CMemoryMedia out;
    DecodeAudioItemToFile(*item, out, EAudioFileFormat::kAIFF);
    const Bytes written(out.Data(), out.Data() + out.GetSize());
    EXPECT_EQ(ItemOf(written), packed);
    out.SetPosition(0);
    EXPECT_EQ(ReadAIFFInfo(out).bits, 16u);
  }

  // A header from elsewhere whose root key and fine tune pass what "INST" holds: the nearest that
  // it holds, never a file that no reader takes.
  Bytes packed = ItemOf(aiff(1, {{"INST", Inst(70, 0, {})}}));
  packed[9] = 200;  // root key
  packed[10] = 80;  // fine tune
  auto item = MediaOf(packed);
  CMemoryMedia out;
  DecodeAudioItemToFile(*item, out, EAudioFileFormat::kAIFF);
  out.SetPosition(0);
  const CSampleInfo info = ReadAIFFInfo(out);
  EXPECT_EQ(info.rootKey, 127);
  EXPECT_EQ(info.fineTune, 50);
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
