#include <gtest/gtest.h>

#include <string>

#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/SampleTestFiles.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

Bytes Aiff(const std::vector<Chunk>& chunks, const std::string& type = "AIFF") { return Container("FORM", type, chunks); }

// A 16-bit mono file of 100 frames with the given extra chunks.
Bytes Mono16(const std::vector<Chunk>& extra = {}) {
  std::vector<Chunk> chunks = {{"COMM", Comm(1, 100, 16, 44100)}};
  chunks.insert(chunks.end(), extra.begin(), extra.end());
  chunks.push_back({"SSND", Ssnd(Bytes(200, 0))});
  return Aiff(chunks);
}

enum class Outcome { kOk, kBadFormat, kUnsupported };

}  // namespace

TEST(ReadAIFFInfo, ReadsFormatAndLength) {
  auto m = MediaOf(Aiff({{"COMM", Comm(2, 5, 24, 22050.5)}, {"SSND", Ssnd(Bytes(30, 0))}}));
  const CSampleInfo info = ReadAIFFInfo(*m);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.bits, 24u);
  EXPECT_EQ(info.sampleRate, 22050u);  // truncated
  EXPECT_EQ(info.frameCount, 5u);
  EXPECT_EQ(info.instrumentPresent, 0);
  EXPECT_EQ(info.loopKind, kLoopKindNone);
}

TEST(ReadAIFFInfo, ChecksTheFormat) {
  struct Case {
    const char* what;
    Bytes file;
    Outcome outcome;
  };
  Bytes nanRate = Comm(1, 10, 16, 44100);
  nanRate[8] = 0x7F;
  nanRate[9] = 0xFF;
  Bytes shortComm = Comm(1, 10, 16, 44100);
  shortComm.resize(16);
  const Case cases[] = {
      {"16-bit mono", Mono16(), Outcome::kOk},
      {"no COMM", Aiff({{"SSND", Ssnd(Bytes(4, 0))}}), Outcome::kBadFormat},
      {"COMM of 16 bytes", Aiff({{"COMM", shortComm}}), Outcome::kBadFormat},
      {"zero channels", Aiff({{"COMM", Comm(0, 10, 16, 44100)}}), Outcome::kBadFormat},
      {"negative frame count", Aiff({{"COMM", Comm(1, 0x80000000u, 16, 44100)}}), Outcome::kBadFormat},
      {"zero rate", Aiff({{"COMM", Comm(1, 10, 16, 0)}}), Outcome::kBadFormat},
      {"rate below 1", Aiff({{"COMM", Comm(1, 10, 16, 0.5)}}), Outcome::kBadFormat},
      {"negative rate", Aiff({{"COMM", Comm(1, 10, 16, -44100)}}), Outcome::kBadFormat},
      {"rate not a number", Aiff({{"COMM", nanRate}}), Outcome::kBadFormat},
      {"rate beyond 32 bits", Aiff({{"COMM", Comm(1, 10, 16, 1e12)}}), Outcome::kBadFormat},
      {"three channels", Aiff({{"COMM", Comm(3, 10, 16, 44100)}}), Outcome::kUnsupported},
      {"negative channels", Aiff({{"COMM", Comm(-2, 10, 16, 44100)}}), Outcome::kUnsupported},
      {"12 bits", Aiff({{"COMM", Comm(1, 10, 12, 44100)}}), Outcome::kUnsupported},
      {"32 bits", Aiff({{"COMM", Comm(1, 10, 32, 44100)}}), Outcome::kUnsupported},
      {"20 bits", Aiff({{"COMM", Comm(1, 10, 20, 44100)}}), Outcome::kOk},
      {"not FORM", Container("RIFF", "AIFF", {{"COMM", Comm(1, 10, 16, 44100)}}), Outcome::kBadFormat},
      {"AIFC NONE", Aiff({{"COMM", Comm(1, 10, 16, 44100, "NONE")}}, "AIFC"), Outcome::kOk},
      {"AIFC twos", Aiff({{"COMM", Comm(1, 10, 16, 44100, "twos")}}, "AIFC"), Outcome::kOk},
      {"AIFC sowt", Aiff({{"COMM", Comm(1, 10, 16, 44100, "sowt")}}, "AIFC"), Outcome::kOk},
      {"AIFC fl32", Aiff({{"COMM", Comm(1, 10, 32, 44100, "fl32")}}, "AIFC"), Outcome::kUnsupported},
      {"AIFC ulaw with 16 bits", Aiff({{"COMM", Comm(1, 10, 16, 44100, "ulaw")}}, "AIFC"), Outcome::kUnsupported},
      {"INST of 18 bytes", Mono16({{"INST", Bytes(18, 0)}}), Outcome::kBadFormat},
      {"INST base note 128", Mono16({{"INST", Inst(128, 0, {})}}), Outcome::kBadFormat},
      {"INST high velocity 200", Mono16({{"INST", Inst(60, 0, {}, {}, 0, 127, 1, 200)}}), Outcome::kBadFormat},
      {"INST detune 51", Mono16({{"INST", Inst(60, 51, {})}}), Outcome::kBadFormat},
      {"INST detune -51", Mono16({{"INST", Inst(60, -51, {})}}), Outcome::kBadFormat},
      {"INST sustain mode 3", Mono16({{"INST", Inst(60, 0, {3, 1, 2})}}), Outcome::kBadFormat},
      {"INST release mode -1", Mono16({{"INST", Inst(60, 0, {}, {-1, 1, 2})}}), Outcome::kBadFormat},
      {"sustain loop without MARK", Mono16({{"INST", Inst(60, 0, {1, 1, 2})}}), Outcome::kBadFormat},
      {"sustain loop, marker id 0, without MARK", Mono16({{"INST", Inst(60, 0, {1, 0, 2})}}), Outcome::kOk},
      {"sustain loop, begin marker missing",
       Mono16({{"INST", Inst(60, 0, {1, 1, 2})}, {"MARK", Mark({{2, 50, "end"}})}}), Outcome::kBadFormat},
      {"sustain loop, end marker missing",
       Mono16({{"INST", Inst(60, 0, {1, 1, 2})}, {"MARK", Mark({{1, 50, "beg"}})}}), Outcome::kBadFormat},
      {"sustain loop, MARK shorter than its markers",
       Mono16({{"INST", Inst(60, 0, {1, 1, 2})}, {"MARK", Bytes{0, 2, 0, 1, 0, 0, 0, 5, 0, 0}}}), Outcome::kBadFormat},
      {"not-looping sustain, MARK shorter than its markers",
       Mono16({{"INST", Inst(60, 0, {0, 1, 2})}, {"MARK", Bytes{0, 2, 0, 1, 0, 0, 0, 5, 0, 0}}}), Outcome::kOk},
      {"release loop without MARK", Mono16({{"INST", Inst(60, 0, {}, {1, 1, 2})}}), Outcome::kOk},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(c.file);
    switch (c.outcome) {
      case Outcome::kOk:
        EXPECT_NO_THROW(ReadAIFFInfo(*m)) << c.what;
        break;
      case Outcome::kBadFormat:
        EXPECT_THROW(ReadAIFFInfo(*m), XBadFormat) << c.what;
        break;
      case Outcome::kUnsupported:
        EXPECT_THROW(ReadAIFFInfo(*m), XUnsupportedFormat) << c.what;
        break;
    }
  }
}

TEST(ReadAIFFInfo, InstrumentAndSustainLoop) {
  const std::vector<Marker> marks = {{1, 10, "start"}, {2, 60, "e"}, {3, 500, ""}, {4, 30, "late start"}};
  struct Case {
    const char* what;
    InstLoop sustain, release;
    std::int32_t kind, type, start, end;
  };
  const Case cases[] = {
      {"forward", {1, 1, 2}, {}, kLoopKindLoop, kLoopTypeForward, 10, 60},
      {"alternating", {2, 1, 2}, {}, kLoopKindLoop, kLoopTypeAlternating, 10, 60},
      {"not looping, markers found", {0, 1, 2}, {}, kLoopKindNotKept, kLoopTypeForward, 10, 60},
      {"not looping, a marker missing", {0, 1, 9}, {}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"release loop alone", {0, 0, 0}, {1, 1, 2}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"end beyond the frames is clamped", {1, 2, 3}, {}, kLoopKindLoop, kLoopTypeForward, 60, 100},
      {"start after end", {1, 2, 4}, {}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"negative marker id", {1, -1, 2}, {}, kLoopKindNone, kLoopTypeForward, 0, 0},
      {"begin id 0 not among the markers", {1, 0, 2}, {}, kLoopKindNone, kLoopTypeForward, 0, 0},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(Mono16({{"INST", Inst(62, -7, c.sustain, c.release, 40, 80)}, {"MARK", Mark(marks)}}));
    const CSampleInfo info = ReadAIFFInfo(*m);
    EXPECT_EQ(info.loopKind, c.kind) << c.what;
    EXPECT_EQ(info.loopType, c.type) << c.what;
    EXPECT_EQ(info.loopStart, c.start) << c.what;
    EXPECT_EQ(info.loopEnd, c.end) << c.what;
    EXPECT_EQ(info.instrumentPresent, 1);
    EXPECT_EQ(info.sourceFlag, 1);
    EXPECT_EQ(info.rootKey, 62);
    EXPECT_EQ(info.fineTune, -7);
    EXPECT_EQ(info.lowKey, 40);
    EXPECT_EQ(info.highKey, 80);
  }
}

TEST(LoadAIFFSample, ConvertsBigAndLittleEndianFrames) {
  // 8-bit values are signed in AIFF.
  auto m8 = MediaOf(Aiff({{"COMM", Comm(1, 3, 8, 8000)}, {"SSND", Ssnd(Bytes{0x7F, 0x80, 0xFF}, 3)}}));
  auto s8 = LoadAIFFSample(*m8, 16);
  EXPECT_EQ(std::vector<std::int16_t>(s8->Frames(), s8->Frames() + 3), (std::vector<std::int16_t>{32512, -32768, -256}));

  // 24 bits keep their top 16, rounded toward minus infinity.
  auto m24 = MediaOf(Aiff({{"COMM", Comm(1, 2, 24, 8000)}, {"SSND", Ssnd(Bytes{0xFF, 0xFF, 0xFF, 0x12, 0x34, 0x56})}}));
  auto s24 = LoadAIFFSample(*m24, 16);
  EXPECT_EQ(std::vector<std::int16_t>(s24->Frames(), s24->Frames() + 2), (std::vector<std::int16_t>{-1, 0x1234}));

  auto sowt = MediaOf(Aiff({{"COMM", Comm(2, 1, 16, 8000, "sowt")}, {"SSND", Ssnd(Bytes{0x34, 0x12, 0x00, 0x80})}}, "AIFC"));
  auto ss = LoadAIFFSample(*sowt, 16);
  EXPECT_EQ(std::vector<std::int16_t>(ss->Frames(), ss->Frames() + 2), (std::vector<std::int16_t>{0x1234, -32768}));
}

TEST(LoadAIFFSample, ChecksTheSoundDataAgainstTheFrameCount) {
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"no SSND", Aiff({{"COMM", Comm(1, 2, 16, 8000)}})},
      {"SSND one byte short", Aiff({{"COMM", Comm(1, 2, 16, 8000)}, {"SSND", Ssnd(Bytes(3, 0))}})},
      {"SSND offset eats the data", Aiff({{"COMM", Comm(1, 2, 16, 8000)}, {"SSND", Ssnd(Bytes(2, 0), 2)}})},
      {"SSND shorter than its header", Aiff({{"COMM", Comm(1, 2, 16, 8000)}, {"SSND", Bytes(6, 0)}})},
      {"SSND size larger than the file", Aiff({{"COMM", Comm(1, 2, 16, 8000)}, {"SSND", Ssnd(Bytes(2, 0)), 1000}})},
      // 2^31 - 1 stereo 24-bit frames would be 8 GiB of 16-bit sample memory.
      {"lying frame count", Aiff({{"COMM", Comm(2, 0x7FFFFFFF, 24, 44100)}, {"SSND", Ssnd(Bytes(60, 0))}})},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(c.file);
    EXPECT_THROW(LoadAIFFSample(*m, 16), XBadFormat) << c.what;
  }
  // Zero frames need no sound data at all.
  auto empty = MediaOf(Aiff({{"COMM", Comm(2, 0, 16, 8000)}}));
  EXPECT_EQ(LoadAIFFSample(*empty, 16)->GetFrameCount(), 0u);
}
