// `hamper extract` is the inverse of `hamper pack`: what it writes packs into the same Hamper,
// byte for byte; and what it cannot write is named, with `hamper verify` naming the same.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

std::string Text(const fs::path& file) {
  const Bytes bytes = test::ReadFileBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

// Every file below `root` by its path, with its bytes.
std::map<std::string, Bytes> FilesBelow(const fs::path& root) {
  std::map<std::string, Bytes> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = test::ReadFileBytes(e.path());
  }
  return files;
}

// Packs `content`, extracts the Hamper, packs what was extracted and requires the same bytes;
// extracting the second Hamper gives the same files again.
void RequireRoundTrip(const fs::path& content, const fs::path& scratch) {
  Pack(content, scratch / "first.hmp");
  CommandRun r = Hamper("extract " + Q(scratch / "first.hmp") + " " + Q(scratch / "out"), scratch);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  Pack(scratch / "out", scratch / "second.hmp");
  EXPECT_TRUE(test::ReadFileBytes(scratch / "first.hmp") == test::ReadFileBytes(scratch / "second.hmp"));
  r = Hamper("extract " + Q(scratch / "second.hmp") + " " + Q(scratch / "again"), scratch);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(FilesBelow(scratch / "out") == FilesBelow(scratch / "again"));
}

TEST(ExtractRoundTrip, TheDemoFolder) {
  test::TempDir dir;
  RequireRoundTrip(fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums", dir.Path());
}

// A 20-bit file, which sox cannot write: 3-byte values, as 24-bit files hold them.
Bytes TwentyBit(bool aiff, std::uint32_t frames) {
  using namespace sampletest;
  std::vector<std::int32_t> values = TestSignal(20, 1, frames);
  Bytes data;
  for (const std::int32_t v : values) aiff ? PutBE(data, static_cast<std::uint32_t>(v) << 4, 3) : PutLE(data, static_cast<std::uint32_t>(v) << 4, 3);
  if (aiff) {
    return Container("FORM", "AIFF", {{"COMM", Comm(1, frames, 20, 44100)},
                                      {"INST", Inst(30, -7, {2, 1, 2})},
                                      {"MARK", Mark({{1, 100, "a"}, {2, frames - 100, "b"}})},
                                      {"SSND", Ssnd(data)}});
  }
  return Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 44100, 20)},
                                    {"smpl", Smpl(72, 0x20000000u, {{1, 50, frames - 51}})},
                                    {"data", data}});
}

// Every kind of audio a pack reads, under names an extract must keep apart, with songs and
// patches that refer to them and a description that needs files of its own.
void WriteGeneratedFolder(const fs::path& root) {
  using namespace sampletest;
  test::WriteFileText(root / "INFO.TXT", "NAME \"Round Trip\"\n");
  test::WriteFileText(root / "COMMENTS.TXT", "Two lines\nof comments\n");
  test::WriteFileText(root / "COPYRIGHT.TXT", "\"Round\" (c) 2025");
  test::WriteFileText(root / "URL.TXT", "https://example.com/a\rsecond line");
  test::WriteFileBytes(root / "Splash.jpg", picturetest::MakeJPEG({.width = 64, .height = 64}));
  const fs::path s = root / "Samples";
  const auto wave = [](std::uint16_t channels, std::uint32_t frames, const Bytes& smpl) {
    std::vector<Chunk> chunks = {{"fmt ", Fmt(1, channels, 22050, 16)}};
    if (!smpl.empty()) chunks.push_back({"smpl", smpl});
    chunks.push_back({"data", Frames(TestSignal(16, channels, frames), 16, true)});
    return Container("RIFF", "WAVE", chunks);
  };
  const auto aiff = [](std::uint16_t channels, std::uint32_t frames, const Bytes& inst, const Bytes& mark) {
    std::vector<Chunk> chunks = {{"COMM", Comm(channels, frames, 16, 32000)}};
    if (!mark.empty()) chunks.push_back({"MARK", mark});
    if (!inst.empty()) chunks.push_back({"INST", inst});
    chunks.push_back({"SSND", Ssnd(Frames(TestSignal(16, channels, frames), 16, false))});
    return Container("FORM", "AIFF", chunks);
  };
  const Bytes marks = Mark({{1, 300, "start"}, {2, 2500, "end"}});
  // Twins of one name in both formats; a loop of every kind; root keys with fine tune either way.
  test::WriteFileBytes(s / "Kick.wav", wave(2, 3000, Smpl(57, 0x40000000u, {{0, 100, 2899}})));
  test::WriteFileBytes(s / "Kick.aif", aiff(1, 2800, Inst(40, -20, {2, 1, 2}), marks));
  test::WriteFileBytes(s / "Snare.aif", aiff(2, 2600, Inst(60, 0, {0, 1, 2}, {}, 36, 72), marks));
  test::WriteFileBytes(s / "Snare.aiff", aiff(1, 2700, Inst(0, -30, {1, 1, 2}, {}, 0, 12), marks));
  test::WriteFileBytes(s / "SNARE.AIF", aiff(1, 2000, {}, {}));
  test::WriteFileBytes(s / "Pad.aif", aiff(2, 4000, Inst(66, 50, {1, 2, 1}), marks));
  test::WriteFileBytes(s / "Pad.wav/Inner.wav", wave(1, 1000, {}));
  test::WriteFileBytes(s / "Tuned.wav", wave(1, 2000, Smpl(61, 0xC0000000u, {{1, 10, 1900}})));
  test::WriteFileBytes(s / "Top.wav", wave(1, 1500, Smpl(127, 0xF0000000u)));
  test::WriteFileBytes(s / "Backward.wav", wave(2, 1800, Smpl(60, 0, {{2, 100, 1500}})));
  test::WriteFileBytes(s / "mid20.wav", TwentyBit(false, 3000));
  test::WriteFileBytes(s / "mid20.aif", TwentyBit(true, 3000));
  for (const int bits : {8, 24}) {
    for (const char* extension : {".wav", ".aif"}) {
      std::string error;
      ASSERT_TRUE(WriteWithSox(s / ("sox" + std::to_string(bits) + extension), TestSignal(bits, 2, 2500), bits, 2,
                               48000, &error))
          << error;
    }
  }
  test::WriteFileBytes(root / "Songs/groove.tns", reftest::Authored(R"(kind song
chunk TNAM "Groove"
refs
  ref "Kick.aif"
    relative 1 "Samples" "Kick.aif"
  ref "Kick.wav"
    relative 1 "Samples" "Kick.wav"
end
)"));
  test::WriteFileBytes(root / "Songs/hit.tps", reftest::Authored(R"(kind published-song-2
chunk TNAM "Hit"
refs
  ref "Snare.aiff"
    relative 1 "Samples" "Snare.aiff"
end
)"));
  test::WriteFileBytes(root / "Patches/pad.zyp", reftest::Authored(R"(kind polywinder
chunk PNAM "Pad"
refs
  ref "Pad.aif"
    relative 1 "Samples" "Pad.aif"
end
)"));
  test::WriteFileBytes(root / "Patches/kit.drp", reftest::Authored(R"(kind thumpr
chunk PNAM "Kit"
refs
  ref "Inner.wav"
    relative 1 "Samples" "Pad.wav" "Inner.wav"
end
)"));
}

TEST(ExtractRoundTrip, AGeneratedFolderOfEveryKindOfAudio) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  test::TempDir dir;
  WriteGeneratedFolder(dir / "Round");
  RequireRoundTrip(dir / "Round", dir.Path());
  // The description came back in the files it needs.
  EXPECT_EQ(Text(dir / "out" / "INFO.TXT"), "NAME = \"Round Trip\"\n");
  EXPECT_EQ(Text(dir / "out" / "COMMENTS.TXT"), "Two lines\nof comments\n");
  EXPECT_EQ(Text(dir / "out" / "URL.TXT"), "https://example.com/a\r\nsecond line\n");
}

// Names that cannot stand side by side in one folder, and Paths that name no file below it: extract
// names each item it does not write and why, writes the rest, and verify finds the same.
TEST(ExtractRoundTrip, WhatCannotBeWrittenIsNamedByExtractAndVerify) {
  struct CCase {
    std::vector<std::string> paths;
    std::map<std::string, std::string> refused;  // Path -> why
    std::set<std::string> files;                 // besides the description's INFO.TXT
  };
  const std::string description = "at the top of a folder this name is a description file, which extract writes "
                                   "from the Hamper's description";
  const std::string longName(256, 'n');
  const std::vector<CCase> cases = {
      {{"A", "A:B"}, {{"A:B", "needs a folder where the earlier item \"A\" is a file"}}, {"A"}},
      {{"A:B:C", "A:B"}, {{"A:B", "the earlier item \"A:B:C\" made a folder of this name"}}, {"A/B/C"}},
      {{"Kick", "kick", "KICK", "Kick.wav"}, {}, {"Kick", "kick", "KICK", "Kick.wav"}},
      {{"INFO.TXT", "Sub:INFO.TXT", "url.txt", "Splash.jpg"},
       {{"INFO.TXT", description}, {"url.txt", description}},
       {"Sub/INFO.TXT", "Splash.jpg"}},
      {{"..:x", "a::b", "ok:" + longName, std::string(255, 'm')},
       {{"..:x", "the path has the name \"..\" in it"},
        {"a::b", "the path has an empty name in it"},
        {"ok:" + longName, "a name in the path is 256 bytes long; a file system holds at most 255"}},
       {std::string(255, 'm')}},
  };
  test::TempDir dir;
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.paths.front());
    hampertest::FakeTree tree;
    std::uint8_t n = 0;
    for (const std::string& path : c.paths) tree.Add(hampertest::FakeEntry::File(path, 14, {++n}));
    const fs::path hamper = WriteTree(dir / "crafted.hmp", tree);
    const fs::path out = dir / "out";
    fs::remove_all(out);

    const CommandRun extracted = Hamper("extract " + Q(hamper) + " " + Q(out), dir.Path());
    const CommandRun verified = Hamper("verify " + Q(hamper), dir.Path());
    std::string notWritten, notExtractable;
    for (const std::string& path : c.paths) {
      if (!c.refused.contains(path)) continue;
      notWritten += "hamper: " + hamper.string() + ": " + path + ": not written: " + c.refused.at(path) + "\n";
      notExtractable += "hamper: " + hamper.string() + ": " + path + ": not extractable: " + c.refused.at(path) + "\n";
    }
    if (c.refused.empty()) {
      EXPECT_EQ(extracted.code, 0) << extracted.err;
      EXPECT_EQ(verified.code, 0) << verified.err;
    } else {
      EXPECT_EQ(extracted.code, 1);
      EXPECT_EQ(extracted.err, notWritten + "hamper: " + hamper.string() + ": " + std::to_string(c.refused.size()) +
                                   " of " + std::to_string(c.paths.size()) + " items were not written\n");
      EXPECT_EQ(verified.code, 1);
      EXPECT_EQ(verified.err, notExtractable);
    }
    std::set<std::string> files = {"INFO.TXT"};
    files.insert(c.files.begin(), c.files.end());
    std::set<std::string> found;
    for (const auto& [file, _] : FilesBelow(out)) found.insert(file);
    EXPECT_EQ(found, files);
  }
}

}  // namespace
