#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "codec/VORPSampleHeader.h"
#include "framework/media/FileSpec.h"
#include "framework/media/OpenFile.h"
#include "items/LoadSample.h"
#include "items/WaveInfo.h"
#include "items/SampleTestFiles.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
using namespace sampletest;
namespace fs = std::filesystem;

namespace {

struct CommandRun {
  int code;
  std::string output;  // stdout and stderr
};

CommandRun Hamper(const std::string& args) {
  CommandRun r;
  r.code = test::RunCommand(std::string("'") + HAMPER_EXE + "' " + args, &r.output, true);
  return r;
}

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

CVORPSampleHeader HeaderOf(const fs::path& item) {
  COpenFile f{CFileSpec(item.string())};
  return CVORPSampleHeader::Read(f);
}

// The folder holds exactly these names: nothing half-written or temporary was left behind.
void ExpectFolderHolds(const fs::path& dir, std::set<std::string> names) {
  std::set<std::string> found;
  for (const auto& e : fs::directory_iterator(dir)) found.insert(e.path().filename().string());
  EXPECT_EQ(found, names);
}

struct Format {
  std::string extension;
  int bits;
  int channels;
};

class AudioRoundTrip : public testing::TestWithParam<Format> {};

std::string Name(const testing::TestParamInfo<Format>& info) {
  return info.param.extension.substr(1) + std::to_string(info.param.bits) + (info.param.channels == 1 ? "Mono" : "Stereo");
}

}  // namespace

// encode-audio then decode-audio gives back exactly the 16-bit form of what sox wrote: 8-bit
// values moved up, 24-bit values floored to their top 16 bits.
TEST_P(AudioRoundTrip, DecodesToTheSixteenBitReference) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const Format& f = GetParam();
  test::TempDir dir;
  const auto source = dir / ("in" + f.extension);
  const auto signal = TestSignal(f.bits, f.channels);
  std::string error;
  ASSERT_TRUE(WriteWithSox(source, signal, f.bits, f.channels, 44100, &error)) << error;

  CommandRun encode = Hamper("encode-audio " + Q(source) + " " + Q(dir / "item.vrp"));
  ASSERT_EQ(encode.code, 0) << encode.output;
  EXPECT_EQ(encode.output, "");
  const CVORPSampleHeader header = HeaderOf(dir / "item.vrp");
  EXPECT_EQ(header.frameCount, signal.size() / f.channels);
  EXPECT_EQ(header.channelCount, f.channels);
  EXPECT_EQ(header.sampleRate, 44100u);
  EXPECT_EQ(header.bitsPerSample, 16);
  EXPECT_EQ(header.rootKey, 60);
  EXPECT_EQ(header.loopMode, kVORPLoopNone);
  EXPECT_EQ(header.loopEnd, header.frameCount);

  CommandRun decode = Hamper("decode-audio " + Q(dir / "item.vrp") + " " + Q(dir / "back.wav"));
  ASSERT_EQ(decode.code, 0) << decode.output;
  COpenFile back{CFileSpec((dir / "back.wav").string())};
  const CSampleInfo info = ReadWaveInfo(back);
  EXPECT_EQ(info.bits, 16u);
  EXPECT_EQ(info.instrumentPresent, 0);
  auto sample = LoadWaveSample(back, 16);
  ASSERT_EQ(sample->GetFrameCount() * f.channels, signal.size());
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < signal.size(); ++i) {
    if (sample->Frames()[i] != Expected16(signal[i], f.bits) && mismatches++ < 5) {
      ADD_FAILURE() << "value " << i << ": " << sample->Frames()[i] << ", expected " << Expected16(signal[i], f.bits);
    }
  }
  EXPECT_EQ(mismatches, 0u);
  ExpectFolderHolds(dir.Path(), {source.filename().string(), "item.vrp", "back.wav"});
}

INSTANTIATE_TEST_SUITE_P(AllDepths, AudioRoundTrip,
                         testing::Values(Format{".wav", 8, 1}, Format{".wav", 8, 2}, Format{".wav", 16, 1},
                                         Format{".wav", 16, 2}, Format{".wav", 24, 1}, Format{".wav", 24, 2},
                                         Format{".aif", 8, 1}, Format{".aif", 8, 2}, Format{".aif", 16, 1},
                                         Format{".aif", 16, 2}, Format{".aif", 24, 1}, Format{".aif", 24, 2},
                                         Format{".aifc", 16, 1}, Format{".aifc", 24, 2}),
                         Name);

TEST(AudioCommands, WavLoopRootKeyAndFineTuneSurviveTheRoundTrip) {
  test::TempDir dir;
  Bytes frames;
  for (int i = 0; i < 2000; ++i) PutLE(frames, static_cast<std::uint16_t>(i * 17), 2);
  test::WriteFileBytes(dir / "in.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 22050, 16)},
                                                                  {"smpl", Smpl(57, 0xC0000000u, {{1, 100, 1499}})},
                                                                  {"data", frames}}));
  ASSERT_EQ(Hamper("encode-audio " + Q(dir / "in.wav") + " " + Q(dir / "item.vrp")).code, 0);
  const CVORPSampleHeader h = HeaderOf(dir / "item.vrp");
  EXPECT_EQ(h.rootKey, 58);
  EXPECT_EQ(h.fineTune, -25);
  EXPECT_EQ(h.loopMode, kVORPLoopAlternating);
  EXPECT_EQ(h.loopStart, 100u);
  EXPECT_EQ(h.loopEnd, 1500u);

  ASSERT_EQ(Hamper("decode-audio " + Q(dir / "item.vrp") + " " + Q(dir / "back.wav")).code, 0);
  COpenFile back{CFileSpec((dir / "back.wav").string())};
  const CSampleInfo info = ReadWaveInfo(back);
  EXPECT_EQ(info.rootKey, 58);
  EXPECT_EQ(info.fineTune, -25);
  EXPECT_EQ(info.loopKind, kLoopKindLoop);
  EXPECT_EQ(info.loopType, kLoopTypeAlternating);
  EXPECT_EQ(info.loopStart, 100);
  EXPECT_EQ(info.loopEnd, 1500);
}

TEST(AudioCommands, AiffInstrumentAndSustainLoopReachTheWav) {
  test::TempDir dir;
  Bytes frames;
  for (int i = 0; i < 1000; ++i) PutBE(frames, static_cast<std::uint16_t>(i * 31), 2);
  // Named ".wav": the reader is chosen by the contents.
  test::WriteFileBytes(dir / "misnamed.wav",
                       Container("FORM", "AIFF", {{"COMM", Comm(1, 1000, 16, 48000)},
                                                  {"INST", Inst(70, 12, {1, 1, 2})},
                                                  {"MARK", Mark({{1, 200, "loop start"}, {2, 800, "loop end"}})},
                                                  {"SSND", Ssnd(frames)}}));
  CommandRun encode = Hamper("encode-audio " + Q(dir / "misnamed.wav") + " " + Q(dir / "item.vrp"));
  ASSERT_EQ(encode.code, 0) << encode.output;
  ASSERT_EQ(Hamper("decode-audio " + Q(dir / "item.vrp") + " " + Q(dir / "back.wav")).code, 0);
  COpenFile back{CFileSpec((dir / "back.wav").string())};
  const CSampleInfo info = ReadWaveInfo(back);
  EXPECT_EQ(info.sampleRate, 48000u);
  EXPECT_EQ(info.rootKey, 70);
  EXPECT_EQ(info.fineTune, 12);
  EXPECT_EQ(info.loopKind, kLoopKindLoop);
  EXPECT_EQ(info.loopType, kLoopTypeForward);
  EXPECT_EQ(info.loopStart, 200);
  EXPECT_EQ(info.loopEnd, 800);
  back.SetPosition(0);
  auto sample = LoadWaveSample(back, 16);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(sample->Frames()[i], static_cast<std::int16_t>(i * 31)) << i;
}

TEST(AudioCommands, FailuresSayWhatWentWrongAndLeaveNoFileBehind) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "float.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(3, 1, 44100, 16)}, {"data", Bytes(8, 0)}}));
  test::WriteFileBytes(dir / "lying.aif", Container("FORM", "AIFF", {{"COMM", Comm(2, 0x7FFFFFFF, 24, 44100)},
                                                                     {"SSND", Ssnd(Bytes(60, 0))}}));
  test::WriteFileText(dir / "text.wav", "hello, not audio");
  test::WriteFileBytes(dir / "good.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 8000, 16)}, {"data", Bytes(400, 1)}}));
  ASSERT_EQ(Hamper("encode-audio " + Q(dir / "good.wav") + " " + Q(dir / "good.vrp")).code, 0);
  // An item cut short: the frame count promises more than the stream holds.
  Bytes cut = test::ReadFileBytes(dir / "good.vrp");
  cut.resize(30);
  test::WriteFileBytes(dir / "cut.vrp", cut);
  Bytes lyingItem = test::ReadFileBytes(dir / "good.vrp");
  lyingItem[5] = lyingItem[6] = lyingItem[7] = lyingItem[8] = 0xFF;
  test::WriteFileBytes(dir / "lying.vrp", lyingItem);
  test::WriteFileText(dir / "existing.vrp", "keep me");
  const std::set<std::string> before = {"float.wav", "lying.aif", "text.wav", "good.wav", "good.vrp",
                                        "cut.vrp", "lying.vrp", "existing.vrp"};

  struct Case {
    std::string args;
    std::string message;  // a part of the one-line message
  };
  const Case cases[] = {
      {"encode-audio " + Q(dir / "float.wav") + " " + Q(dir / "out.vrp"), "floating point"},
      {"encode-audio " + Q(dir / "lying.aif") + " " + Q(dir / "out.vrp"), "\"SSND\""},
      {"encode-audio " + Q(dir / "text.wav") + " " + Q(dir / "out.vrp"), "not a WAV or AIFF file"},
      {"encode-audio " + Q(dir / "missing.wav") + " " + Q(dir / "out.vrp"), "No such file"},
      {"encode-audio " + Q(dir / "float.wav") + " " + Q(dir / "existing.vrp"), "floating point"},
      {"encode-audio " + Q(dir / "good.wav") + " " + Q(dir / "no-folder" / "out.vrp"), "folder does not exist"},
      {"decode-audio " + Q(dir / "good.wav") + " " + Q(dir / "out.wav"), "version tag"},
      {"decode-audio " + Q(dir / "cut.vrp") + " " + Q(dir / "out.wav"), "cut.vrp"},
      {"decode-audio " + Q(dir / "lying.vrp") + " " + Q(dir / "out.wav"), "cannot hold"},
      {"decode-audio " + Q(dir / "good.vrp") + " " + Q(dir / "." / "good.vrp"), "is the input file itself"},
  };
  for (const auto& c : cases) {
    CommandRun r = Hamper(c.args);
    EXPECT_EQ(r.code, 1) << c.args << "\n" << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_EQ(r.output.rfind("hamper: ", 0), 0u) << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
    ExpectFolderHolds(dir.Path(), before);
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "existing.vrp"), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
}

TEST(AudioCommands, UsageErrorsExitWithTwo) {
  for (const char* args : {"encode-audio", "encode-audio only-one.wav", "decode-audio a b c", "encode-audio --bogus a b"}) {
    CommandRun r = Hamper(args);
    EXPECT_EQ(r.code, 2) << args << "\n" << r.output;
  }
}

namespace {

// Runs `hamper ARGS...`, sends `signal` as soon as its partial output holds some bytes, and
// returns how it ended.
int SignalWhileWriting(const std::vector<std::string>& args, const fs::path& dir, int signal) {
  std::vector<char*> argv{const_cast<char*>(HAMPER_EXE)};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(HAMPER_EXE, argv.data());
    ::_exit(127);
  }
  int status = 0;
  for (bool sent = false; !sent;) {
    if (::waitpid(child, &status, WNOHANG) == child) {
      ADD_FAILURE() << "hamper ended before the signal could be sent; status " << status;
      return status;
    }
    for (const auto& e : fs::directory_iterator(dir)) {
      std::error_code ec;
      if (e.path().filename().string().starts_with(".") && fs::file_size(e.path(), ec) > 0 && !ec) {
        ::kill(child, signal);
        sent = true;
        break;
      }
    }
  }
  ::waitpid(child, &status, 0);
  return status;
}

}  // namespace

// Ctrl-C or a termination request in the middle of writing leaves no partial output behind.
TEST(AudioCommands, StoppedBySignalLeaveNothingBehind) {
  test::TempDir dir;
  // 80 MB of stereo noise: it codes slowly enough to be caught in the middle.
  Bytes frames(80u << 20);
  std::uint32_t x = 1;
  for (auto& b : frames) b = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
  test::WriteFileBytes(dir / "big.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", frames}}));
  frames.clear();
  frames.shrink_to_fit();

  int status = SignalWhileWriting({"encode-audio", (dir / "big.wav").string(), (dir / "big.vrp").string()},
                                  dir.Path(), SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  ExpectFolderHolds(dir.Path(), {"big.wav"});

  ASSERT_EQ(Hamper("encode-audio " + Q(dir / "big.wav") + " " + Q(dir / "big.vrp")).code, 0);
  status = SignalWhileWriting({"decode-audio", (dir / "big.vrp").string(), (dir / "back.wav").string()}, dir.Path(),
                              SIGINT);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  ExpectFolderHolds(dir.Path(), {"big.wav", "big.vrp"});
}
