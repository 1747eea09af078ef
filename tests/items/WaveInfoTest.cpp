#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "items/LoadSample.h"
#include "items/WaveInfo.h"
#include "items/SampleTestFiles.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

Bytes Frames16(std::initializer_list<std::int16_t> values) {
  Bytes b;
  for (auto v : values) PutLE(b, static_cast<std::uint16_t>(v), 2);
  return b;
}

Bytes Wave(const std::vector<Chunk>& chunks) { return Container("RIFF", "WAVE", chunks); }

// A 16-bit mono file of `frames` frames with the given extra chunks after "fmt ".
Bytes Mono16(std::uint32_t frames, const std::vector<Chunk>& extra = {}) {
  std::vector<Chunk> chunks = {{"fmt ", Fmt(1, 1, 44100, 16)}};
  chunks.insert(chunks.end(), extra.begin(), extra.end());
  chunks.push_back({"data", Bytes(frames * 2, 0)});
  return Wave(chunks);
}

enum class Outcome { kOk, kBadFormat, kUnsupported };

void ExpectOutcome(const std::string& what, const Bytes& file, Outcome expected) {
  auto m = MediaOf(file);
  switch (expected) {
    case Outcome::kOk:
      EXPECT_NO_THROW(ReadWaveInfo(*m)) << what;
      break;
    case Outcome::kBadFormat:
      EXPECT_THROW(ReadWaveInfo(*m), XBadFormat) << what;
      break;
    case Outcome::kUnsupported:
      EXPECT_THROW(ReadWaveInfo(*m), XUnsupportedFormat) << what;
      break;
  }
}

}  // namespace

TEST(ReadWaveInfo, ReadsFormatAndLength) {
  auto m = MediaOf(Wave({{"LIST", Bytes(7, 'x')}, {"fmt ", Fmt(1, 2, 48000, 24)}, {"data", Bytes(6 * 5 + 4, 0)}}));
  const CSampleInfo info = ReadWaveInfo(*m);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.bits, 24u);
  EXPECT_EQ(info.sampleRate, 48000u);
  EXPECT_EQ(info.frameCount, 5u);  // the 4 bytes of an incomplete frame do not count
  EXPECT_EQ(info.loopKind, kLoopKindNone);
  EXPECT_EQ(info.instrumentPresent, 0);
  EXPECT_EQ(info.rootKey, 60);
}

TEST(ReadWaveInfo, ChecksTheFormat) {
  struct Case {
    const char* what;
    Bytes file;
    Outcome outcome;
  };
  Bytes shortFmt = Fmt(1, 1, 44100, 16);
  shortFmt.resize(14);
  Bytes lyingData = Wave({{"fmt ", Fmt(1, 1, 44100, 16)}, {"data", Bytes(100, 0), 0x7FFFFFF0}});
  const Case cases[] = {
      {"16-bit integer PCM", Mono16(4), Outcome::kOk},
      {"format tag 3 (float) with 16 bits", Wave({{"fmt ", Fmt(3, 1, 44100, 16)}, {"data", Bytes(8, 0)}}), Outcome::kUnsupported},
      {"format tag 3 with 32 bits", Wave({{"fmt ", Fmt(3, 2, 44100, 32)}}), Outcome::kUnsupported},
      {"A-law", Wave({{"fmt ", Fmt(6, 1, 8000, 8)}}), Outcome::kUnsupported},
      {"12 bits", Wave({{"fmt ", Fmt(1, 1, 44100, 12)}}), Outcome::kUnsupported},
      {"32-bit integers", Wave({{"fmt ", Fmt(1, 1, 44100, 32)}}), Outcome::kUnsupported},
      {"20 bits", Wave({{"fmt ", Fmt(1, 1, 44100, 20)}, {"data", Bytes(12, 0)}}), Outcome::kOk},
      {"22 bits", Wave({{"fmt ", Fmt(1, 2, 44100, 22)}, {"data", Bytes(12, 0)}}), Outcome::kOk},
      {"three channels", Wave({{"fmt ", Fmt(1, 3, 44100, 16)}}), Outcome::kUnsupported},
      {"zero channels", Wave({{"fmt ", Fmt(1, 0, 44100, 16)}}), Outcome::kBadFormat},
      {"zero sample rate", Wave({{"fmt ", Fmt(1, 1, 0, 16)}}), Outcome::kBadFormat},
      {"zero byte rate", Wave({{"fmt ", Fmt(1, 1, 44100, 16, 0)}}), Outcome::kBadFormat},
      {"no fmt chunk", Wave({{"data", Bytes(8, 0)}}), Outcome::kBadFormat},
      {"fmt chunk of 14 bytes", Wave({{"fmt ", shortFmt}}), Outcome::kBadFormat},
      {"not RIFF", Container("FORM", "WAVE", {{"fmt ", Fmt(1, 1, 44100, 16)}}), Outcome::kBadFormat},
      {"frames wider than the bits say", Wave({{"fmt ", Fmt(1, 2, 44100, 24, -1, 8)}}), Outcome::kUnsupported},
      {"block align 0 is tolerated", Wave({{"fmt ", Fmt(1, 2, 44100, 16, -1, 0)}, {"data", Bytes(12, 0)}}), Outcome::kOk},
      {"extensible integer PCM", Wave({{"fmt ", FmtExtensible(2, 44100, 24, kPCMGuid)}, {"data", Bytes(12, 0)}}), Outcome::kOk},
      {"extensible float", Wave({{"fmt ", FmtExtensible(2, 44100, 32, kFloatGuid)}}), Outcome::kUnsupported},
      {"extensible float with 16 bits", Wave({{"fmt ", FmtExtensible(1, 44100, 16, kFloatGuid)}}), Outcome::kUnsupported},
      {"extensible PCM, four channels", Wave({{"fmt ", FmtExtensible(4, 44100, 16, kPCMGuid)}}), Outcome::kUnsupported},
      {"extensible without its sub-format", Wave({{"fmt ", Fmt(0xFFFE, 1, 44100, 16)}}), Outcome::kBadFormat},
      {"data chunk larger than the file", lyingData, Outcome::kBadFormat},
      {"bad smpl: unity note 128", Mono16(4, {{"smpl", Smpl(128, 0)}}), Outcome::kBadFormat},
      {"bad smpl: SMPTE format 23", Mono16(4, {{"smpl", Smpl(60, 0, {}, 23)}}), Outcome::kBadFormat},
      {"smpl SMPTE format 29", Mono16(4, {{"smpl", Smpl(60, 0, {}, 29)}}), Outcome::kOk},
      {"bad smpl: fewer bytes than its loops", Mono16(4, {{"smpl", Smpl(60, 0, {}, 0, 1)}}), Outcome::kBadFormat},
      {"bad smpl: 2^32 - 1 loops", Mono16(4, {{"smpl", Smpl(60, 0, {{}}, 0, 0xFFFFFFFF)}}), Outcome::kBadFormat},
      {"bad smpl: shorter than 36 bytes", Mono16(4, {{"smpl", Bytes(20, 0)}}), Outcome::kBadFormat},
  };
  for (const auto& c : cases) ExpectOutcome(c.what, c.file, c.outcome);

  // Sampler data counted in the header but missing from the chunk.
  Bytes smpl = Smpl(60, 0);
  smpl[32] = 4;
  ExpectOutcome("sampler data size beyond the chunk", Mono16(4, {{"smpl", smpl}}), Outcome::kBadFormat);
}

TEST(ReadWaveInfo, AFileWhoseDataChunkCannotBeFoundIsDamagedNotSilent) {
  const Chunk fmt = {"fmt ", Fmt(1, 1, 44100, 16)};
  Bytes riffTooShort = Wave({fmt, {"LIST", Bytes(4, 'x')}, {"data", Bytes(8, 0)}});
  riffTooShort[4] = 4 + 24 + 12;  // the RIFF size stops before "data"
  Bytes cut = Wave({fmt, {"data", Bytes(8, 0)}});
  cut.resize(12 + 24 + 5);  // ends inside the "data" chunk's header
  struct Case {
    const char* what;
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {"a chunk size that hides it", Wave({fmt, {"JUNK", Bytes(4, 0), 0xFFFFFFF0}, {"data", Bytes(8, 0)}}),
       "\"JUNK\" at byte 36 claims 4294967280 bytes, past the end of the file at byte 64"},
      {"a damaged chunk ID", Wave({fmt, {"dat\x01", Bytes(8, 0)}}), "after the chunks \"fmt \", \"dat\\x01\""},
      {"a cut file", cut, "the file ends at byte 41, inside a chunk header after the chunks \"fmt \""},
      {"a RIFF size that ends the list early", riffTooShort, "the RIFF header's size ends the chunk list at byte 48"},
      {"no data chunk at all", Wave({fmt}), "the file ends at byte 36 after the chunks \"fmt \""},
  };
  for (const Case& c : cases) {
    auto m = MediaOf(c.file);
    try {
      ReadWaveInfo(*m);
      ADD_FAILURE() << c.what << ": read as a sample";
    } catch (const XBadFormat& e) {
      EXPECT_NE(std::string(e.what()).find("without a \"data\" chunk"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

TEST(ReadWaveInfo, SamplerLoops) {
  struct Case {
    const char* what;
    SmplLoop loop;
    std::int32_t kind, type, start, end;
  };
  // 100 frames.
  const Case cases[] = {
      {"forward", {0, 10, 19}, kLoopKindLoop, kLoopTypeForward, 10, 20},
      {"alternating", {1, 0, 99}, kLoopKindLoop, kLoopTypeAlternating, 0, 100},
      {"backward is not kept", {2, 10, 19}, kLoopKindNotKept, kLoopTypeForward, 10, 20},
      {"unknown type", {7, 10, 19}, kLoopKindNone, kLoopTypeForward, 10, 20},
      {"end beyond the data is clamped", {0, 50, 5000}, kLoopKindLoop, kLoopTypeForward, 50, 100},
      {"start beyond the data", {0, 150, 5000}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"single frame", {0, 7, 7}, kLoopKindLoop, kLoopTypeForward, 7, 8},
      {"end before start", {0, 20, 10}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"negative start", {0, 0xFFFFFFF0u, 10}, kLoopKindNone, kLoopTypeForward, 0, 11},
      {"end 2^31 - 1", {1, 3, 0x7FFFFFFF}, kLoopKindLoop, kLoopTypeAlternating, 3, 100},
      {"end 2^32 - 1", {0, 3, 0xFFFFFFFF}, kLoopKindNone, kLoopTypeForward, 0, 0},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(Mono16(100, {{"smpl", Smpl(64, 0, {c.loop})}}));
    const CSampleInfo info = ReadWaveInfo(*m);
    EXPECT_EQ(info.loopKind, c.kind) << c.what;
    EXPECT_EQ(info.loopType, c.type) << c.what;
    EXPECT_EQ(info.loopStart, c.start) << c.what;
    EXPECT_EQ(info.loopEnd, c.end) << c.what;
    EXPECT_EQ(info.instrumentPresent, 1) << c.what;
    EXPECT_EQ(info.rootKey, 64) << c.what;
  }
}

TEST(ReadWaveInfo, PitchFractionGivesFineTune) {
  struct Case {
    std::uint32_t unity, fraction;
    int rootKey, fineTune;
  };
  const Case cases[] = {
      {60, 0, 60, 0},
      {60, 0x80000000u, 60, 50},            // exactly half a semitone
      {60, 0x80000100u, 61, -50},           // just above half: the next key, tuned down
      {60, 0xFFFFFF00u, 61, 0},
      {60, 0x40000000u, 60, 25},
      {60, 0xC0000000u, 61, -25},
      {127, 0xC0000000u, 127, 50},          // no key above 127
      {0, 0x051EB852u, 0, 1},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(Mono16(4, {{"smpl", Smpl(c.unity, c.fraction)}}));
    const CSampleInfo info = ReadWaveInfo(*m);
    EXPECT_EQ(info.rootKey, c.rootKey) << std::hex << c.fraction;
    EXPECT_EQ(info.fineTune, c.fineTune) << std::hex << c.fraction;
    EXPECT_EQ(info.loopKind, kLoopKindNone);
  }
}

TEST(LoadWaveSample, ConvertsEightBitValuesAndKeepsSixteen) {
  auto m8 = MediaOf(Wave({{"fmt ", Fmt(1, 1, 8000, 8)}, {"data", Bytes{128, 255, 0, 1, 129}}}));
  auto s8 = LoadWaveSample(*m8, 16);
  ASSERT_EQ(s8->GetFrameCount(), 5u);
  const std::int16_t* f = s8->Frames();
  EXPECT_EQ(f[0], 0);
  EXPECT_EQ(f[1], 127 * 256);
  EXPECT_EQ(f[2], -32768);
  EXPECT_EQ(f[3], -127 * 256);
  EXPECT_EQ(f[4], 256);

  auto m16 = MediaOf(Wave({{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", Frames16({1, -1, 32767, -32768})}}));
  auto s16 = LoadWaveSample(*m16, 16);
  ASSERT_EQ(s16->GetFrameCount(), 2u);
  EXPECT_EQ(std::vector<std::int16_t>(s16->Frames(), s16->Frames() + 4), (std::vector<std::int16_t>{1, -1, 32767, -32768}));
  EXPECT_EQ(s16->GetSampleRate(), 44100u);
}

TEST(LoadWaveSample, AnEmptyDataChunkGivesAnEmptySample) {
  auto m = MediaOf(Wave({{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", {}}}));
  auto s = LoadWaveSample(*m, 16);
  EXPECT_EQ(s->GetFrameCount(), 0u);
  EXPECT_EQ(s->GetChannelCount(), 2);
}

TEST(LoadWaveSample, ALyingDataSizeFailsBeforeAnyAllocation) {
  // 4 GiB of 24-bit stereo claimed, 12 bytes present: the loader must not try to hold 1.4 GiB.
  auto m = MediaOf(Wave({{"fmt ", Fmt(1, 2, 44100, 24)}, {"data", Bytes(12, 0), 0xFFFFFFFC}}));
  EXPECT_THROW(LoadWaveSample(*m, 16), XBadFormat);
}

TEST(SampleFileKindOf, ChoosesByMagic) {
  auto wav = MediaOf(Mono16(1));
  wav->SetPosition(3);
  EXPECT_EQ(SampleFileKindOf(*wav), ESampleFileKind::kWave);
  EXPECT_EQ(wav->GetPosition(), 3u);
  auto aiff = MediaOf(Container("FORM", "AIFF", {}));
  EXPECT_EQ(SampleFileKindOf(*aiff), ESampleFileKind::kAIFF);
  auto other = MediaOf(Bytes{'f', 'L', 'a', 'C', 0});
  EXPECT_EQ(SampleFileKindOf(*other), ESampleFileKind::kUnknown);
  auto tiny = MediaOf(Bytes{'R', 'I'});
  EXPECT_EQ(SampleFileKindOf(*tiny), ESampleFileKind::kUnknown);
}
