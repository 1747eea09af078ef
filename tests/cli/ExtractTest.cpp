#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cli/PackedContent.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/FileSpec.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/WaveInfo.h"

using namespace packedtest;

namespace {

// Every file below `root` (links as links), by path relative to it, with its bytes; folders as
// "DIR", links as "-> target".
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string relative = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      tree[relative] = "-> " + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      tree[relative] = "DIR";
    } else {
      const Bytes bytes = test::ReadFileBytes(it->path());
      tree[relative] = std::string(bytes.begin(), bytes.end());
    }
  }
  return tree;
}

std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// A Hamper of hand-made items, written as given (the writer takes any name).
fs::path Craft(const fs::path& path, const std::vector<std::pair<std::string, Bytes>>& items, int itemType = 10) {
  hampertest::FakeTree tree;
  for (const auto& [name, bytes] : items) tree.Add(hampertest::FakeEntry::File(name, itemType, bytes));
  return WriteTree(path, tree);
}

// The stored audio item of a small WAV file.
Bytes AudioItem(std::uint32_t frames = 1000, std::uint16_t channels = 1) {
  using namespace sampletest;
  return AudioItemOf(Container("RIFF", "WAVE", {{"fmt ", Fmt(1, channels, 22050, 16)},
                                                {"data", Frames(TestSignal(16, channels, frames), 16, true)}}));
}

class ExtractCommand : public ::testing::Test {
 protected:
  CommandRun Extract(const std::string& args) { return Hamper("extract " + args, dir.Path()); }

  test::TempDir dir;
};

// The source's frames as sox decodes them, at 32 bits, brought to 16 as packing does: the top 16
// bits, rounded toward minus infinity.
std::vector<std::int16_t> SoxFrames16(const fs::path& source, const fs::path& scratch) {
  const fs::path raw = scratch / "sox.raw";
  std::string output;
  EXPECT_EQ(test::RunCommand("sox " + Q(source) + " -t raw -e signed -b 32 -L " + Q(raw), &output, true), 0) << output;
  const Bytes bytes = test::ReadFileBytes(raw);
  std::vector<std::int16_t> frames;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    const auto v = static_cast<std::int32_t>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                             static_cast<std::uint32_t>(bytes[i + 3]) << 24);
    frames.push_back(static_cast<std::int16_t>(v >> 16));
  }
  fs::remove(raw);
  return frames;
}

TEST_F(ExtractCommand, GivesBackEveryItem) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const fs::path content = dir / "Content";
  WriteContent(content);
  const fs::path kit = dir / "Kit.hmp";
  Pack(content, kit);
  const Bytes hamper = test::ReadFileBytes(kit);
  CHamperDescription header;
  const std::vector<CHamperIndexEntry> index = IndexOf(hamper, &header);

  const fs::path out = dir / "not yet/there";
  const CommandRun r = Extract(Q(kit) + " " + Q(out));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");

  std::set<std::string> expected = {"INFO.TXT"};
  for (const CHamperIndexEntry& e : index) {
    SCOPED_TRACE(e.GetPath());
    std::string relative = e.GetPath();
    std::replace(relative.begin(), relative.end(), ':', '/');
    const fs::path source = content / relative;
    if (e.GetItemType() == 11) {
      // Each in the format of its source, as its name says.
      NSFerryman::COpenFile written{NSFerryman::CFileSpec((out / relative).string())};
      NSFerryman::COpenFile original{NSFerryman::CFileSpec(source.string())};
      const ESampleFileKind kind = SampleFileKindOf(original);
      ASSERT_EQ(SampleFileKindOf(written), kind);
      const bool wave = kind == ESampleFileKind::kWave;
      const CSampleInfo got = wave ? ReadWaveInfo(written) : ReadAIFFInfo(written);
      const CSampleInfo want = wave ? ReadWaveInfo(original) : ReadAIFFInfo(original);
      EXPECT_EQ(got.bits, 16u);
      EXPECT_EQ(got.channels, want.channels);
      EXPECT_EQ(got.sampleRate, want.sampleRate);
      EXPECT_EQ(got.frameCount, want.frameCount);
      EXPECT_EQ(got.instrumentPresent, want.instrumentPresent);
      EXPECT_EQ(got.rootKey, want.rootKey);
      EXPECT_EQ(got.fineTune, want.fineTune);
      EXPECT_EQ(got.loopKind, want.loopKind);
      EXPECT_EQ(got.loopType, want.loopType);
      EXPECT_EQ(got.loopStart, want.loopStart);
      EXPECT_EQ(got.loopEnd, want.loopEnd);
      written.SetPosition(0);
      const auto sample = wave ? LoadWaveSample(written, 16) : LoadAIFFSample(written, 16);
      const std::vector<std::int16_t> frames(sample->Frames(),
                                             sample->Frames() + std::size_t{sample->GetFrameCount()} * got.channels);
      EXPECT_EQ(frames, SoxFrames16(source, dir.Path()));
    } else {
      const Bytes stored(hamper.begin() + header.GetDataOffset() + e.GetOffset(),
                         hamper.begin() + header.GetDataOffset() + e.GetOffset() + e.GetSize());
      EXPECT_EQ(test::ReadFileBytes(out / relative), stored);
      // Songs and patches are stored rewritten; everything else as it was.
      const bool rewritten = e.GetItemType() <= 5 || e.GetItemType() == 13;
      if (!rewritten) {
        EXPECT_EQ(stored, test::ReadFileBytes(source));
      }
    }
    for (fs::path p = relative; !p.empty(); p = p.parent_path()) expected.insert(p.string());
  }
  std::set<std::string> found;
  for (const auto& [path, _] : Tree(out)) found.insert(path);
  EXPECT_EQ(found, expected);
  EXPECT_EQ(Text(test::ReadFileBytes(out / "INFO.TXT")), "NAME = \"Test Kit\"\nURL = \"http://example.com/kit\"\n");

  // Packed again, what extract wrote is the Hamper it came from.
  Pack(out, dir / "Again.hmp");
  EXPECT_TRUE(test::ReadFileBytes(dir / "Again.hmp") == hamper);
}

TEST_F(ExtractCommand, NeverWritesOutsideTheFolder) {
  const fs::path outside = dir / "outside";
  test::WriteFileText(outside / "target.txt", "keep me");
  const fs::path out = dir / "a/b/out";
  fs::create_directories(out / "real");
  fs::create_directory_symlink(outside, out / "link");
  fs::create_directory_symlink(outside, out / "real/link");
  fs::create_symlink(outside / "target.txt", out / "linked.txt");
  const fs::path hamper = Craft(dir / "evil.hmp", {
      {"..:..:..:escape.txt", Bytes{'1'}},
      {"Kits:..:..:..:..:escape.txt", Bytes{'2'}},
      {(outside / "absolute.txt").string(), Bytes{'3'}},
      {":lead.txt", Bytes{'4'}},
      {"trail:", Bytes{'5'}},
      {"a::b.txt", Bytes{'6'}},
      {".:dot.txt", Bytes{'7'}},
      {"link:planted.txt", Bytes{'8'}},
      {"real:link:deeper.txt", Bytes{'9'}},
      {"linked.txt", Bytes{'A'}},
      {"ok:fine.txt", Bytes{'B'}},
  });
  auto before = Tree(dir.Path());

  CommandRun r = Extract(Q(hamper) + " " + Q(out));
  EXPECT_EQ(r.code, 1);
  for (const char* path : {"..:..:..:escape.txt", "Kits:..:..:..:..:escape.txt", ":lead.txt", "trail:", "a::b.txt",
                           ".:dot.txt", "link:planted.txt", "real:link:deeper.txt", "linked.txt"}) {
    EXPECT_NE(r.err.find(hamper.string() + ": " + path + ": "), std::string::npos) << path << "\n" << r.err;
  }
  EXPECT_NE(r.err.find("link: is a symbolic link; nothing is written through it"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("10 of 11 items were not written (--force replaces files that are there)"), std::string::npos)
      << r.err;
  auto after = Tree(dir.Path());
  EXPECT_EQ(after.erase("a/b/out/INFO.TXT"), 1u);
  EXPECT_EQ(after.erase("a/b/out/ok"), 1u);
  EXPECT_EQ(after.erase("a/b/out/ok/fine.txt"), 1u);
  EXPECT_EQ(after, before);

  // Replacing replaces the link, not what it points to; folder links stay refused.
  r = Extract("--force " + Q(hamper) + " " + Q(out));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("9 of 11 items were not written\n"), std::string::npos) << r.err;
  after = Tree(dir.Path());
  EXPECT_EQ(after["a/b/out/linked.txt"], "A");
  EXPECT_EQ(after["outside/target.txt"], "keep me");
  EXPECT_EQ(Tree(outside).size(), 1u);
}

TEST_F(ExtractCommand, FilesThatAreThereAreReplacedOnlyWithForce) {
  const Bytes audio = AudioItem();
  hampertest::FakeTree tree;
  tree.Add(hampertest::FakeEntry::File("notes.txt", 10, Bytes{'n', 'e', 'w'}));
  tree.Add(hampertest::FakeEntry::File("twin.txt", 10, Bytes{'1'}));
  tree.Add(hampertest::FakeEntry::File("twin.txt", 10, Bytes{'2'}));
  tree.Add(hampertest::FakeEntry::File("Kick.aif", 11, audio));
  tree.Add(hampertest::FakeEntry::File("Kick.WAV", 11, audio));
  tree.Add(hampertest::FakeEntry::File("Kick", 11, audio));
  const fs::path hamper = WriteTree(dir / "k.hmp", tree);
  const fs::path out = dir / "out";
  test::WriteFileText(out / "notes.txt", "old");

  CommandRun r = Extract(Q(hamper) + " " + Q(out));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + hamper.string() + ": notes.txt: is there already\n"
                   "hamper: " + hamper.string() + ": twin.txt: not written: an earlier item has the same path\n"
                   "hamper: " + hamper.string() + ": 2 of 6 items were not written (--force replaces files that are there)\n");
  EXPECT_EQ(Text(test::ReadFileBytes(out / "notes.txt")), "old");
  EXPECT_EQ(Text(test::ReadFileBytes(out / "twin.txt")), "1");
  // Each audio item under its own name, in the format that name says.
  for (const auto& [name, magic] : {std::pair{"Kick.aif", "FORM"}, {"Kick.WAV", "RIFF"}, {"Kick", "RIFF"}}) {
    EXPECT_EQ(Text(test::ReadFileBytes(out / name)).substr(0, 4), magic) << name;
  }

  r = Extract("-f " + Q(hamper) + " " + Q(out));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + hamper.string() + ": twin.txt: not written: an earlier item has the same path\n"
                   "hamper: " + hamper.string() + ": 1 of 6 items were not written\n");
  EXPECT_EQ(Text(test::ReadFileBytes(out / "notes.txt")), "new");
  EXPECT_EQ(Text(test::ReadFileBytes(out / "twin.txt")), "1");

  // A folder in the way is named as such, with and without --force, and no hint of --force is
  // given for it: folders are never replaced.
  const fs::path folderOut = dir / "folder-out";
  fs::create_directories(folderOut / "notes.txt");
  const fs::path one = Craft(dir / "one.hmp", {{"notes.txt", {'n'}}});
  for (const char* force : {"", "-f "}) {
    SCOPED_TRACE(force);
    r = Extract(std::string(force) + Q(one) + " " + Q(folderOut));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "hamper: " + one.string() + ": notes.txt: a folder of that name is in the way (folders are never "
                     "replaced)\nhamper: " + one.string() + ": 1 of 1 items were not written\n");
    EXPECT_TRUE(fs::is_directory(folderOut / "notes.txt"));
  }
}

// A header whose fields no WAV or AIFF file can carry is refused before any file is made for it.
TEST_F(ExtractCommand, AudioNoFileCanCarryIsNotWritten) {
  Bytes fast = AudioItem(1000, 2);
  PutU32BE(fast, 21, 1u << 30);  // a byte rate of 2^32 for 16-bit stereo
  Bytes slow = AudioItem(1000, 2);
  PutU32BE(slow, 21, 0);
  const fs::path hamper = Craft(dir / "rates.hmp", {{"fast.wav", fast}, {"slow.wav", slow}, {"slow.aif", slow},
                                                    {"fast.aif", fast}, {"fine.wav", AudioItem()}}, 11);
  const fs::path out = dir / "out";
  CommandRun r = Extract(Q(hamper) + " " + Q(out));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("fast.wav: a sample rate of 1073741824 Hz is more than a WAV file can carry"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("slow.wav: a WAV file needs a sample rate above 0"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("slow.aif: an AIFF file needs a sample rate above 0"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("3 of 5 items were not written"), std::string::npos) << r.err;
  // An AIFF file holds its rate as a number of any size.
  std::set<std::string> files;
  for (const auto& [path, _] : Tree(out)) files.insert(path);
  EXPECT_EQ(files, (std::set<std::string>{"INFO.TXT", "fast.aif", "fine.wav"}));
  NSFerryman::COpenFile aiff{NSFerryman::CFileSpec((out / "fast.aif").string())};
  EXPECT_EQ(ReadAIFFInfo(aiff).sampleRate, 1u << 30);

  test::WriteFileBytes(dir / "fast.vrp", fast);
  r = Hamper("decode-audio " + Q(dir / "fast.vrp") + " " + Q(dir / "fast.wav"), dir.Path());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("more than a WAV file can carry"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "fast.wav"));
  EXPECT_EQ(std::count_if(fs::directory_iterator(dir.Path()), fs::directory_iterator(),
                          [](const fs::directory_entry& e) { return e.path().filename().string().starts_with("."); }),
            0);
}

// What stops the whole extraction is said as every command says it: a damaged description as a
// damaged Hamper, and a write past the file-size limit as a full disk, after which nothing more is
// tried.
TEST_F(ExtractCommand, ADamagedHamperAndAFullDiskAreSaidAsElsewhere) {
  const fs::path hamper = Craft(dir / "two.hmp", {{"a.mid", Bytes(5000, 'a')}, {"b.mid", Bytes(5000, 'b')}});
  Bytes damaged = test::ReadFileBytes(hamper);
  damaged[264 + 4 + 1] = 0;  // inside the Name
  test::WriteFileBytes(dir / "damaged.hmp", damaged);
  CommandRun r = Extract(Q(dir / "damaged.hmp") + " " + Q(dir / "out"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + (dir / "damaged.hmp").string() +
                       ": damaged Hamper: the description record: string holds a zero byte\n");
  EXPECT_FALSE(fs::exists(dir / "out"));

  const fs::path errFile = dir / "limited.txt";
  r.code = test::RunCommand("sh -c 'ulimit -f 1; exec \"$0\" \"$@\"' " + Q(HAMPER_EXE) + " extract " + Q(hamper) + " " +
                                Q(dir / "out") + " 2>" + Q(errFile),
                            &r.out);
  r.err = Text(test::ReadFileBytes(errFile));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + hamper.string() + ": a.mid: Disk Full: The Operation could not be completed because not "
                   "enough space available on the disk. (" + (dir / "out/a.mid").string() + ": File too large)\n"
                   "hamper: " + hamper.string() + ": 2 of 2 items were not written (the disk is full: the items after "
                   "it were not tried)\n");
  EXPECT_EQ(Tree(dir / "out"), (std::map<std::string, std::string>{{"INFO.TXT", "NAME = \"Crafted\"\n"}}));
}

// Peak memory of `hamper ARGS` in KiB, its exit code and what it printed on standard error.
struct CMeasuredRun {
  int code = -1;
  long peakKiB = 0;
  std::string err;
};
CMeasuredRun Measured(const std::vector<std::string>& args, const fs::path& errFile) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::freopen(errFile.c_str(), "w", stderr);
    std::vector<char*> argv = {const_cast<char*>(HAMPER_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(HAMPER_EXE, argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss, Text(test::ReadFileBytes(errFile))};
}

// An index of millions of empty records (a sparse file of zeros behind a header) costs extract
// the memory of what it writes and says, not of what the index claims.
TEST_F(ExtractCommand, AHostileIndexCostsNoMemoryOfItsOwn) {
#if defined(__SANITIZE_ADDRESS__)
  // The address sanitizer holds freed memory back and shadows all of it: no bound says anything
  // there, and a smaller index shows the rest.
  constexpr std::uint32_t kRecords = 200'000;
  constexpr long kBoundKiB = 1L << 40;
#else
  // Held whole, these records took about 100 MB.
  constexpr std::uint32_t kRecords = 2'000'000;
  constexpr long kBoundKiB = 48 * 1024;
#endif
  const Bytes one = test::ReadFileBytes(Craft(dir / "one.hmp", {{"a.mid", {1}}}));
  CHamperDescription header;
  IndexOf(one, &header);
  Bytes hostile(one.begin(), one.begin() + header.GetIndexOffset());
  const std::uint32_t size = header.GetIndexOffset() + kRecords * 14u;
  const std::size_t numbers = 264 + header.GetStoredSize() - 12;
  PutU32BE(hostile, 4, size);
  PutU32BE(hostile, numbers, kRecords);
  PutU32BE(hostile, numbers + 8, size);
  const fs::path file = dir / "hostile.hmp";
  test::WriteFileBytes(file, hostile);
  fs::resize_file(file, size);

  CMeasuredRun r = Measured({"extract", file.string(), (dir / "out").string(), "--only", "Drums:*"}, dir / "err.txt");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + file.string() + ": no item's path matches Drums:* (paths name folders with \":\", as "
                   "`hamper list` shows them)\n");
  EXPECT_LT(r.peakKiB, kBoundKiB);
  r = Measured({"extract", file.string(), (dir / "out").string()}, dir / "err.txt");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(": " + std::to_string(kRecords) + " of " + std::to_string(kRecords) +
                       " items were not written (the first 100 are named above)\n"),
            std::string::npos);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 101);
  EXPECT_LT(r.peakKiB, kBoundKiB);
}

// Bytes the process has written so far (0 once it is gone).
std::uint64_t BytesWritten(pid_t process) {
  std::ifstream io("/proc/" + std::to_string(process) + "/io");
  for (std::string key; io >> key;) {
    std::uint64_t value = 0;
    io >> value;
    if (key == "wchar:") return value;
  }
  return 0;
}

// Ended by a signal in the middle of writing an item, extract leaves nothing of it behind: the
// file being written has no name yet, so not even SIGKILL leaves a hidden one.
TEST_F(ExtractCommand, EndedBySignalLeavesNothingHalfWritten) {
  using namespace sampletest;
  Bytes noise(24u << 20);
  std::uint32_t x = 7;
  for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
  hampertest::FakeTree big;
  big.Add(hampertest::FakeEntry::Folder("Deep"))
      .Add(hampertest::FakeEntry::File("big.wav", 11,
                                       AudioItemOf(Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", noise}}))));
  const fs::path bigHamper = WriteTree(dir / "big.hmp", big);
  for (const int signal : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(signal);
    const fs::path out = dir / ("out" + std::to_string(signal));
    const pid_t child = ::fork();
    if (child == 0) {
      std::freopen((dir / "stderr.txt").c_str(), "w", stderr);
      ::execl(HAMPER_EXE, HAMPER_EXE, "extract", bigHamper.c_str(), out.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    while (BytesWritten(child) < (2u << 20)) {
      ASSERT_NE(::waitpid(child, &status, WNOHANG), child) << "extract ended before the signal could be sent";
      ::usleep(200);
    }
    ::kill(child, signal);
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    // The description is written first, whole.
    EXPECT_EQ(Tree(out), (std::map<std::string, std::string>{{"Deep", "DIR"}, {"INFO.TXT", "NAME = \"Crafted\"\n"}}));
  }
}

}  // namespace

// Items are read wherever the index puts them: a record that points behind the next one, or two
// records over the same bytes, are extracted all the same.
TEST_F(ExtractCommand, ItemsInAnyOrder) {
  const fs::path good = Craft(dir / "good.hmp", {{"a.wav", AudioItem(1000)}, {"b.wav", AudioItem(3000, 2)}}, 11);
  const Bytes original = test::ReadFileBytes(good);
  const CRecordPlace a = Find(original, "a.wav");
  const CRecordPlace b = Find(original, "b.wav");
  struct Layout {
    const char* name;
    CRecordPlace firstFrom, secondFrom;  // whose offset and size each record takes
  };
  for (const Layout& layout : {Layout{"the later item first", b, a}, Layout{"both over the same bytes", a, a}}) {
    SCOPED_TRACE(layout.name);
    Bytes hamper = original;
    const auto place = [&](const CRecordPlace& record, const CRecordPlace& from) {
      PutU32BE(hamper, SizeAt(record) - 4, from.entry.GetOffset());
      PutU32BE(hamper, SizeAt(record), from.entry.GetSize());
    };
    place(a, layout.firstFrom);
    place(b, layout.secondFrom);
    const fs::path file = dir / "moved.hmp";
    test::WriteFileBytes(file, hamper);
    // Records over one another are a damaged index to verify; out of order they are sound.
    const CommandRun verified = Hamper("verify " + Q(file), dir.Path());
    EXPECT_EQ(verified.code, layout.firstFrom.entry.GetPath() == layout.secondFrom.entry.GetPath() ? 1 : 0) << verified.err;
    const CommandRun r = Extract(Q(file) + " " + Q(dir / "out"));
    ASSERT_EQ(r.code, 0) << r.err;
    for (const auto& [name, from] : {std::pair{"a.wav", layout.firstFrom}, std::pair{"b.wav", layout.secondFrom}}) {
      NSFerryman::COpenFile wav{NSFerryman::CFileSpec((dir / "out" / name).string())};
      EXPECT_EQ(ReadWaveInfo(wav).frameCount, from.entry.GetPath() == "a.wav" ? 1000u : 3000u) << name;
    }
    fs::remove_all(dir / "out");
  }
}
