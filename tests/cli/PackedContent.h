#pragma once
// A small content folder of every kind of item, packed into a real Hamper with `hamper pack`, and
// the helpers the verify and extract tests share to find and damage what is in it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "container/HamperFixtures.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/TemporaryOpenFile.h"
#include "items/AudioPacker.h"
#include "items/PictureTestFiles.h"
#include "items/SampleTestFiles.h"
#include "references/ReferenceFixtures.h"
#include "support/SLCTestFiles.h"
#include "support/TestSupport.h"

namespace packedtest {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct CommandRun {
  int code;
  std::string out;
  std::string err;
};

// Runs `hamper ARGS` with standard output and standard error kept apart.
inline CommandRun Hamper(const std::string& args, const fs::path& scratch) {
  CommandRun r;
  const fs::path errFile = scratch / "stderr.txt";
  r.code = test::RunCommand(std::string("'") + HAMPER_EXE + "' " + args + " 2>'" + errFile.string() + "'", &r.out);
  const Bytes err = test::ReadFileBytes(errFile);
  r.err.assign(err.begin(), err.end());
  fs::remove(errFile);
  return r;
}

inline std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

inline Bytes Frames(const std::vector<std::int32_t>& values, int bits, bool littleEndian) {
  Bytes b;
  for (std::int32_t v : values) {
    const auto u = static_cast<std::uint32_t>(bits == 8 && littleEndian ? v + 128 : v);
    littleEndian ? sampletest::PutLE(b, u, bits / 8) : sampletest::PutBE(b, u, bits / 8);
  }
  return b;
}

// The audio sources, by path below the content folder.
struct CAudioSource {
  std::string path;
  int bits;
  int channels;
};
inline const std::vector<CAudioSource> kAudioSources = {
    {"Samples/kick.wav", 16, 2}, {"Samples/tone.aif", 16, 1}, {"Samples/deep.wav", 24, 2}, {"Samples/low.wav", 8, 1}};

// Writes the folder: the description, the splash picture, audio of several depths with loops and
// root keys, pictures, a MIDI file, a song and a patch that refer to samples, a sliced loop and
// PAD data.
inline void WriteContent(const fs::path& dir) {
  using namespace sampletest;
  test::WriteFileText(dir / "INFO.TXT", "NAME \"Test Kit\"\nURL \"http://example.com/kit\"\n");
  test::WriteFileBytes(dir / "Splash.jpg", picturetest::MakeJPEG({.width = 64, .height = 64}));
  test::WriteFileBytes(dir / "Samples/kick.wav",
                       Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)},
                                                  {"smpl", Smpl(57, 0x40000000u, {{0, 100, 2999}})},
                                                  {"data", Frames(TestSignal(16, 2, 5000), 16, true)}}));
  test::WriteFileBytes(dir / "Samples/tone.aif",
                       Container("FORM", "AIFF", {{"COMM", Comm(1, 6000, 16, 22050)},
                                                  {"INST", Inst(70, 12, {1, 1, 2})},
                                                  {"MARK", Mark({{1, 200, "start"}, {2, 4000, "end"}})},
                                                  {"SSND", Ssnd(Frames(TestSignal(16, 1, 6000), 16, false))}}));
  test::WriteFileBytes(dir / "Samples/deep.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 48000, 24)},
                                                                            {"data", Frames(TestSignal(24, 2, 4000), 24, true)}}));
  test::WriteFileBytes(dir / "Samples/low.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 8000, 8)},
                                                                           {"data", Frames(TestSignal(8, 1, 3001), 8, true)}}));
  test::WriteFileBytes(dir / "Pics/photo.jpg", picturetest::MakeJPEG({.width = 40, .height = 30}));
  picturetest::MakeTIFF({}, dir / "Pics/scan.tif");
  test::WriteFileBytes(dir / "Midi/groove.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                                 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
  test::WriteFileBytes(dir / "Songs/song.tns", reftest::Authored(R"(kind song
chunk TNAM "Groove"
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
end
)"));
  test::WriteFileBytes(dir / "Songs/hit.tps", reftest::Authored(R"(kind published-song-2
chunk TNAM "Hit"
refs
  ref "low.wav"
    relative 1 "Samples" "low.wav"
end
)"));
  test::WriteFileBytes(dir / "Patches/lead.zyp", reftest::Authored(R"(kind polywinder
chunk PNAM "Lead"
refs
  ref "tone.aif"
    relative 1 "Samples" "tone.aif"
end
)"));
  test::WriteFileBytes(dir / "Loops/beat.sl2", slctest::LoopFile());
  test::WriteFileBytes(dir / "Extra/data.pad", Bytes(5000, 0x5A));
}

// Packs the folder into `hamper` with the program itself.
inline void Pack(const fs::path& content, const fs::path& hamper) {
  const CommandRun r = Hamper("pack -q -o " + Q(hamper) + " " + Q(content), hamper.parent_path());
  ASSERT_EQ(r.code, 0) << r.out << r.err;
}

// The stored audio item of a WAV or AIFF file's bytes. Coded into a file: memory media grow in
// small steps and would make a large item slow to build.
inline Bytes AudioItemOf(const Bytes& file) {
  const auto source = sampletest::MediaOf(file);
  NSFerryman::CTemporaryOpenFile item;
  PackAudioItem(*source, item);
  Bytes bytes(item.GetSize());
  item.ReadAt(0, bytes.size(), bytes.data());
  return bytes;
}

inline void AppendPacked(const hampertest::FakeEntry& e, NSFerryman::CMedia& data) {
  for (const auto& child : e.children) AppendPacked(*child, data);
  if (!e.folder && e.itemType != 0 && e.included && !e.bytes.empty()) data.Write(e.bytes.size(), e.bytes.data());
}

// Writes a hand-made tree as a Hamper named `name` (the writer takes any item name as it is).
// The packed data goes through a file, which stays fast however large the items.
inline fs::path WriteTree(const fs::path& path, const hampertest::FakeTree& tree, const std::string& name = "Crafted") {
  auto data = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  for (const auto& e : tree.top) AppendPacked(*e, *data);
  CHamperDescription description(name, "", "", "");
  hampertest::RecordingJob job;
  CHamperWriter(job).Compose(tree.List(), description, std::move(data), NSFerryman::CFileSpec(path.string()));
  return path;
}

inline std::vector<CHamperIndexEntry> IndexOf(const Bytes& hamper, CHamperDescription* header = nullptr) {
  NSFerryman::CMemoryMedia media;
  media.Write(hamper.size(), hamper.data());
  media.SetPosition(0);
  const CHamperDescription description = ReadAndCheckHamperHeader(media);
  if (header) *header = description;
  return ReadHamperIndex(media, description);
}

// Where the index record of `path` starts in the file, and where its item's bytes start.
struct CRecordPlace {
  std::size_t record;
  std::size_t item;
  CHamperIndexEntry entry;
};
inline CRecordPlace Find(const Bytes& hamper, const std::string& path) {
  CHamperDescription header;
  std::size_t at = 0;
  const auto index = IndexOf(hamper, &header);
  at = header.GetIndexOffset();
  for (const CHamperIndexEntry& e : index) {
    if (e.GetPath() == path) return {at, header.GetDataOffset() + std::size_t{e.GetOffset()}, e};
    at += e.GetStoredSize();
  }
  ADD_FAILURE() << "no item " << path;
  return {0, 0, {}};
}

// Field offsets inside a stored index record.
inline std::size_t ItemTypeAt(const CRecordPlace& p) { return p.record + 4 + p.entry.GetPath().size(); }
inline std::size_t SizeAt(const CRecordPlace& p) { return ItemTypeAt(p) + 1 + 4; }

inline void PutU32BE(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace packedtest
