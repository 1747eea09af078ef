#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

// One packed Hamper for the whole suite: packing is the slow part. Tests that damage it work on
// copies in folders of their own.
class VerifyCommand : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = new test::TempDir;
    WriteContent(*shared_ / "Content");
    Pack(*shared_ / "Content", *shared_ / "Kit.hmp");
    kit_ = new Bytes(test::ReadFileBytes(*shared_ / "Kit.hmp"));
  }
  static void TearDownTestSuite() {
    delete kit_;
    delete shared_;
  }

  static fs::path Content() { return *shared_ / "Content"; }
  static fs::path Kit() { return *shared_ / "Kit.hmp"; }
  static const Bytes& KitBytes() { return *kit_; }
  CommandRun Verify(const std::string& args) { return Hamper("verify " + args, dir.Path()); }
  fs::path WriteHamper(const std::string& name, const Bytes& bytes) {
    test::WriteFileBytes(dir / name, bytes);
    return dir / name;
  }

  test::TempDir dir;

 private:
  static test::TempDir* shared_;
  static Bytes* kit_;
};

test::TempDir* VerifyCommand::shared_ = nullptr;
Bytes* VerifyCommand::kit_ = nullptr;

TEST_F(VerifyCommand, PassesASoundHamperAndItsSources) {
  const std::size_t items = IndexOf(KitBytes()).size();
  ASSERT_EQ(items, 13u);

  CommandRun r = Verify(Q(Kit()));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Kit().string() + ": all 13 items are sound\n");
  EXPECT_EQ(r.err, "");

  r = Verify("--source " + Q(Content()) + " " + Q(Kit()));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Kit().string() + ": all 13 items are sound and match their sources in " + Content().string() + "\n");

  r = Verify("--json --source " + Q(Content()) + " " + Q(Kit()));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"items\": 13,\n  \"checked\": 13,\n  \"stopped\": false,\n  \"failures\": [],\n  \"failuresNotListed\": 0\n}"),
            std::string::npos)
      << r.out;
}

TEST_F(VerifyCommand, FailsADamagedHamperNamingTheItem) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    std::vector<std::string> message;  // parts of the one line on standard error
  };
  const Case cases[] = {
      {"a byte of an audio item",
       [](Bytes& b) { b[Find(b, "Samples:kick.wav").item] ^= 0x01; },
       {"Samples:kick.wav: ", "version tag"}},
      {"a byte in the middle of an audio stream",
       [](Bytes& b) {
         const CRecordPlace p = Find(b, "Samples:deep.wav");
         b[p.item + 26 + p.entry.GetSize() / 2] ^= 0x10;
       },
       {"Samples:deep.wav: "}},
      {"the file size field",
       [](Bytes& b) { PutU32BE(b, 4, static_cast<std::uint32_t>(b.size() + 1)); },
       {"damaged Hamper", "size"}},
      {"an item's size field, into the next item",
       [](Bytes& b) {
         const CRecordPlace p = Find(b, "Samples:kick.wav");
         PutU32BE(b, SizeAt(p), p.entry.GetSize() + 1);
       },
       {"overlaps the item Samples:kick.wav"}},
      {"the last item's size field, past the end",
       [](Bytes& b) {
         const CHamperIndexEntry last = IndexOf(b).back();
         const CRecordPlace p = Find(b, last.GetPath());
         PutU32BE(b, SizeAt(p), p.entry.GetSize() + 1);
       },
       {"the item lies outside the file"}},
      {"an item type of 15",
       [](Bytes& b) { b[ItemTypeAt(Find(b, "Midi:groove.mid"))] = 15; },
       {"Midi:groove.mid: ", "item type 15"}},
      {"a picture cut short",
       [](Bytes& b) {
         const CRecordPlace p = Find(b, "Pics:photo.jpg");
         std::fill(b.begin() + static_cast<std::ptrdiff_t>(p.item + p.entry.GetSize() / 2),
                   b.begin() + static_cast<std::ptrdiff_t>(p.item + p.entry.GetSize()), 0);
       },
       {"Pics:photo.jpg: "}},
  };
  for (const Case& c : cases) {
    Bytes bytes = KitBytes();
    c.damage(bytes);
    const fs::path bad = WriteHamper("bad.hmp", bytes);
    const CommandRun r = Verify(Q(bad));
    EXPECT_EQ(r.code, 1) << c.what << "\n" << r.out << r.err;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_EQ(r.err.rfind("hamper: " + bad.string() + ": ", 0), 0u) << c.what << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << "\n" << r.err;
    for (const std::string& part : c.message) EXPECT_NE(r.err.find(part), std::string::npos) << c.what << "\n" << r.err;
  }
}

TEST_F(VerifyCommand, SourceFindsItemsThatDifferFromTheirFiles) {
  struct Case {
    const char* what;
    std::function<void(const fs::path& content, Bytes& hamper)> change;
    std::string item;
    std::string message;
  };
  using namespace sampletest;
  const Case cases[] = {
      {"one sample of the source",
       [](const fs::path& content, Bytes&) {
         auto values = TestSignal(16, 1, 6000);
         values[4321] ^= 0x100;
         test::WriteFileBytes(content / "Samples/tone.aif",
                              Container("FORM", "AIFF", {{"COMM", Comm(1, 6000, 16, 22050)},
                                                         {"INST", Inst(70, 12, {1, 1, 2})},
                                                         {"MARK", Mark({{1, 200, "start"}, {2, 4000, "end"}})},
                                                         {"SSND", Ssnd(Frames(values, 16, false))}}));
       },
       "Samples:tone.aif", "frame 4321, channel 1"},
      {"the source's loop",
       [](const fs::path& content, Bytes&) {
         test::WriteFileBytes(content / "Samples/kick.wav",
                              Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)},
                                                         {"smpl", Smpl(57, 0x40000000u, {{0, 101, 2999}})},
                                                         {"data", Frames(TestSignal(16, 2, 5000), 16, true)}}));
       },
       "Samples:kick.wav", "its loop start is 100, the source's 101"},
      {"a byte of a copied file",
       [](const fs::path& content, Bytes&) {
         Bytes midi = test::ReadFileBytes(content / "Midi/groove.mid");
         midi.back() = 1;
         test::WriteFileBytes(content / "Midi/groove.mid", midi);
       },
       "Midi:groove.mid", "byte 25 is 0, where 1 was expected"},
      {"a chunk of a song",
       [](const fs::path& content, Bytes&) {
         test::WriteFileBytes(content / "Songs/song.tns", reftest::Authored(R"(kind song
chunk TNAM "Grooze"
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
end
)"));
       },
       "Songs:song.tns", "differs from its source: byte"},
      {"a missing source", [](const fs::path& content, Bytes&) { fs::remove(content / "Pics/scan.tif"); },
       "Pics:scan.tif", "scan.tif"},
  };
  for (const Case& c : cases) {
    const fs::path content = dir / "Content";
    fs::remove_all(content);
    fs::copy(Content(), content, fs::copy_options::recursive);
    Bytes bytes = KitBytes();
    c.change(content, bytes);
    const fs::path hamper = WriteHamper("Kit.hmp", bytes);
    const CommandRun r = Verify("--source " + Q(content) + " " + Q(hamper));
    EXPECT_EQ(r.code, 1) << c.what << "\n" << r.out << r.err;
    EXPECT_EQ(r.err.rfind("hamper: " + hamper.string() + ": " + c.item + ": ", 0), 0u) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << "\n" << r.err;
  }
}

TEST_F(VerifyCommand, JsonListsEveryFailingItem) {
  Bytes bytes = KitBytes();
  bytes[ItemTypeAt(Find(bytes, "Midi:groove.mid"))] = 15;
  bytes[Find(bytes, "Samples:tone.aif").item] = 0;
  const fs::path bad = WriteHamper("bad.hmp", bytes);
  const CommandRun r = Verify("--json " + Q(bad));
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("\"checked\": 13,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    {\"path\": \"Samples:tone.aif\", \"itemType\": 11, \"problem\": \"audio item header: version tag 0 "
                       "instead of 188\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("    {\"path\": \"Midi:groove.mid\", \"itemType\": 15, \"problem\": \"item type 15 is none a Hamper "
                       "holds\"}"),
            std::string::npos)
      << r.out;
  if (test::HaveProgram("python3")) {
    std::string count;
    test::RunCommand(std::string("'") + HAMPER_EXE + "' verify --json " + Q(bad) +
                         " | python3 -c 'import json,sys; print(len(json.load(sys.stdin)[\"failures\"]))'",
                     &count);
    EXPECT_EQ(count, "2\n");
  }

  // Layout problems are all found before any item is read.
  bytes = KitBytes();
  const CRecordPlace kick = Find(bytes, "Samples:kick.wav");
  PutU32BE(bytes, SizeAt(kick), kick.entry.GetSize() + 1);
  const CHamperIndexEntry last = IndexOf(bytes).back();
  PutU32BE(bytes, SizeAt(Find(bytes, last.GetPath())), last.GetSize() + 1);
  const CommandRun layout = Verify("--json " + Q(WriteHamper("layout.hmp", bytes)));
  EXPECT_EQ(layout.code, 1);
  EXPECT_NE(layout.out.find("\"checked\": 0,"), std::string::npos) << layout.out;
  EXPECT_NE(layout.out.find("overlaps the item Samples:kick.wav"), std::string::npos) << layout.out;
  EXPECT_NE(layout.out.find("{\"path\": \"" + last.GetPath() + "\", \"itemType\": " +
                            std::to_string(last.GetItemType()) + ", \"problem\": \"the item lies outside the file"),
            std::string::npos)
      << layout.out;
}

TEST_F(VerifyCommand, SlicedLoopsNeedTheLibrary) {
  const CommandRun r = Verify("--slc-library " + Q(dir / "nowhere.so") + " " + Q(Kit()));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Unable to load SLC DLL"), std::string::npos) << r.err;
}

TEST_F(VerifyCommand, NamesAndTextsReachTheTerminalEscaped) {
  hampertest::FakeTree tree;
  const std::string name = "evil\x1b]0;owned\x07.mid";
  tree.Add(hampertest::FakeEntry::File(name, 10, Bytes(4, 1)));
  Bytes bytes = test::ReadFileBytes(WriteTree(dir / "evil.hmp", tree, "K\x1b[2J"));
  bytes[ItemTypeAt(Find(bytes, name))] = 15;
  const fs::path path = WriteHamper("evil.hmp", bytes);
  const CommandRun r = Verify(Q(path));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("evil\\x1b]0;owned\\x07.mid: "), std::string::npos) << r.err;
}

// Ctrl-C stops between items: exit 130, saying not every item was verified.
TEST_F(VerifyCommand, CtrlCStopsBetweenItems) {
  // Quiet audio codes small and takes a while to decode: 200 items of it.
  using namespace sampletest;
  std::vector<std::int32_t> quiet(2 * 500000);
  for (std::size_t i = 0; i < quiet.size(); ++i) quiet[i] = static_cast<std::int32_t>(i % 7) - 3;
  const Bytes item =
      AudioItemOf(Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 44100, 16)}, {"data", Frames(quiet, 16, true)}}));
  hampertest::FakeTree tree;
  for (int i = 0; i < 200; ++i) tree.Add(hampertest::FakeEntry::File("a" + std::to_string(i) + ".wav", 11, item));
  const fs::path path = WriteTree(dir / "long.hmp", tree);

  const fs::path out = dir / "out.txt";
  const fs::path err = dir / "err.txt";
  const pid_t child = ::fork();
  if (child == 0) {
    std::freopen(out.c_str(), "w", stdout);
    std::freopen(err.c_str(), "w", stderr);
    ::execl(HAMPER_EXE, HAMPER_EXE, "verify", path.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Sent once the command has taken Ctrl-C over as its stop button, while items remain.
  for (bool caught = false; !caught;) {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("SigCgt:", 0) == 0) caught = (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
    }
    int ended = 0;
    ASSERT_NE(::waitpid(child, &ended, WNOHANG), child) << "verify ended before it could be stopped";
  }
  // The handler that stops is put in place right after the one that was seen.
  ::usleep(20000);
  ::kill(child, SIGINT);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 130);
  const Bytes text = test::ReadFileBytes(err);
  const std::string message(text.begin(), text.end());
  EXPECT_NE(message.find("not every item was verified"), std::string::npos) << message;
  EXPECT_NE(message.find(" of 200 items"), std::string::npos) << message;
  EXPECT_EQ(test::ReadFileBytes(out), Bytes{});
}

}  // namespace
