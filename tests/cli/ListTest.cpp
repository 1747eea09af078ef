#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "cli/PackedContent.h"
#include "container/HamperFixtures.h"
#include "support/TestSupport.h"

using hampertest::Bytes;
using hampertest::FakeEntry;
using hampertest::FakeTree;
using hampertest::RecordingJob;

namespace {

class ListCommand : public ::testing::Test {
 protected:
  int Run(const std::string& args, std::string& out, bool mergeStderr = false) {
    return test::RunCommand(std::string(HAMPER_EXE) + " list " + args, &out, mergeStderr);
  }
  std::string Write(const std::string& name, CHamperDescription description, const FakeTree& tree) {
    RecordingJob job;
    const std::string path = (dir / name).string();
    CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(path));
    return path;
  }

  test::TempDir dir;
};

TEST_F(ListCommand, PrintsDescriptionAndIndex) {
  FakeTree tree;
  tree.Add(FakeEntry::File("Splash.jpg", 9, Bytes(30, 1)));
  tree.Add(FakeEntry::Folder("Kits")).Add(FakeEntry::File("Kick.wav", 11, Bytes(1000, 2)));
  const std::string path = Write("kit.hmp", CHamperDescription("My Kit", "Line 1\r\nLine 2", "http://x.example/", "(c) Me"), tree);
  std::string out;
  ASSERT_EQ(Run(path, out), 0);
  EXPECT_EQ(out,
            "Name:        My Kit\n"
            "Comments:    Line 1\n"
            "             Line 2\n"
            "URL:         http://x.example/\n"
            "Copyright:   (c) Me\n"
            "Entries:     2\n"
            "IndexOffset: 335\n"
            "DataOffset:  386\n"
            "\n"
            "ItemType  Kind            Offset  Size  Hidden  Path\n"
            "9         Picture (JPEG)  0       30    yes     Splash.jpg\n"
            "11        Sample          30      1000  no      Kits:Kick.wav\n");
}

TEST_F(ListCommand, JsonEscapesEveryTextAndKeepsBytesThatAreNotUtf8) {
  FakeTree tree;
  tree.Add(FakeEntry::File("caf\xC3\xA9 \"q\".wav", 11, Bytes(3, 1)));
  tree.Add(FakeEntry::File("Latin\xE9\\x.mid", 10, {}));
  // The same text twice over: valid UTF-8 for "ÿþ", and the bytes FF FE, which are not UTF-8.
  tree.Add(FakeEntry::File("\xC3\xBF\xC3\xBE.pad", 14, {}));
  tree.Add(FakeEntry::File("\xFF\xFE.pad", 14, {}));
  const std::string path =
      Write("j.hmp", CHamperDescription("K\x01t\x7F", "a\r\nb\tc", "\xF0\x9F\x8E\xB5", "\xC3(\xED\xA0\x80\xC0\xAF"), tree);
  std::string out;
  ASSERT_EQ(Run("--json " + path, out), 0);
  EXPECT_EQ(out,
            "{\n"
            "  \"name\": \"K\\u0001t\\u007f\",\n"
            "  \"comments\": \"a\\r\\nb\\tc\",\n"
            "  \"url\": \"\xF0\x9F\x8E\xB5\",\n"
            // A lead byte without its continuation, an encoded surrogate and an overlong form are
            // each a replacement character; the bytes follow in hex.
            "  \"copyright\": \"\\ufffd(\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\", \"copyrightHex\": \"c328eda080c0af\",\n"
            "  \"entryCount\": 4,\n"
            "  \"indexOffset\": 313,\n"
            "  \"dataOffset\": 408,\n"
            "  \"items\": [\n"
            "    {\"path\": \"caf\xC3\xA9 \\\"q\\\".wav\", \"itemType\": 11, \"kind\": \"Sample\", \"offset\": 0, \"size\": 3, "
            "\"hidden\": false},\n"
            "    {\"path\": \"Latin\\ufffd\\\\x.mid\", \"pathHex\": \"4c6174696ee95c782e6d6964\", \"itemType\": 10, "
            "\"kind\": \"MIDI file\", \"offset\": 3, \"size\": 0, \"hidden\": false},\n"
            "    {\"path\": \"\xC3\xBF\xC3\xBE.pad\", \"itemType\": 14, \"kind\": \"PAD data\", \"offset\": 3, \"size\": 0, "
            "\"hidden\": true},\n"
            "    {\"path\": \"\\ufffd\\ufffd.pad\", \"pathHex\": \"fffe2e706164\", \"itemType\": 14, \"kind\": \"PAD data\", "
            "\"offset\": 3, \"size\": 0, \"hidden\": true}\n"
            "  ]\n"
            "}\n");
  if (test::HaveProgram("python3")) {
    // What a reader makes of it: the name's own bytes, from the hex where there is one.
    std::string parsed;
    EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " list --json " + path +
                                   " | python3 -c 'import json,sys\n"
                                   "for i in json.load(sys.stdin)[\"items\"]:\n"
                                   "  print(bytes.fromhex(i[\"pathHex\"]) if \"pathHex\" in i else i[\"path\"].encode())'",
                               &parsed),
              0);
    EXPECT_EQ(parsed, "b'caf\\xc3\\xa9 \"q\".wav'\nb'Latin\\xe9\\\\x.mid'\nb'\\xc3\\xbf\\xc3\\xbe.pad'\nb'\\xff\\xfe.pad'\n");
  }
}

TEST_F(ListCommand, EmptyHamperHasNoItems) {
  const std::string path = Write("e.hmp", CHamperDescription("E", "", "", ""), FakeTree());
  std::string out;
  ASSERT_EQ(Run("--json " + path, out), 0);
  EXPECT_NE(out.find("\"entryCount\": 0,"), std::string::npos);
  EXPECT_NE(out.find("\"items\": []\n}"), std::string::npos) << out;
}

TEST_F(ListCommand, RejectsWhatIsNotAHamper) {
  const std::string good = Write("g.hmp", CHamperDescription("G", "", "", ""), FakeTree());
  auto bytes = test::ReadFileBytes(good);
  bytes[12] = 0xBD;  // version marker
  const auto bad = dir / "bad name.hmp";
  test::WriteFileBytes(bad, bytes);
  test::WriteFileText(dir / "text.hmp", "hello");
  for (const auto& path : {bad, dir / "text.hmp", dir / "missing.hmp"}) {
    SCOPED_TRACE(path.string());
    std::string out;
    std::string err;
    EXPECT_EQ(Run("'" + path.string() + "' 2>&1 >/dev/null", err), 1);
    EXPECT_NE(err.find(path.string()), std::string::npos) << err;
    EXPECT_EQ(Run("'" + path.string() + "' 2>/dev/null", out), 1);
    EXPECT_EQ(out, "");
  }
}

}  // namespace

namespace {

// Names and texts from a Hamper never reach the terminal as control characters; multi-line
// texts keep their line breaks.
TEST_F(ListCommand, EscapesControlCharactersInNamesAndTexts) {
  FakeTree tree;
  tree.Add(FakeEntry::File("bad\x1b[31m\t.mid", 10, Bytes(2, 1)));
  const std::string path =
      Write("c.hmp", CHamperDescription("K\x1b[2Jit", "Line\x07 1\r\nLine\x9b 2\nx", "u\rv", "\xC2\x9B"), tree);
  std::string out;
  ASSERT_EQ(Run(path, out), 0);
  EXPECT_EQ(out,
            "Name:        K\\x1b[2Jit\n"
            "Comments:    Line\\x07 1\n"
            "             Line\\x9b 2\n"
            "             x\n"
            "URL:         u\n"
            "             v\n"
            "Copyright:   \\xc2\\x9b\n"
            "Entries:     1\n"
            "IndexOffset: 322\n"
            "DataOffset:  349\n"
            "\n"
            "ItemType  Kind       Offset  Size  Hidden  Path\n"
            "10        MIDI file  0       2     no      bad\\x1b[31m\\t.mid\n");
}

// Records whose items lie outside the file, overlap or share a path are warned of, and still
// listed.
TEST_F(ListCommand, WarnsOfDamagedRecordsAndStillLists) {
  FakeTree tree;
  tree.Add(FakeEntry::File("a.mid", 10, Bytes(10, 1)));
  tree.Add(FakeEntry::File("b.mid", 10, Bytes(10, 2)));
  tree.Add(FakeEntry::File("a.mid", 10, Bytes(10, 3)));
  const std::string path = Write("d.hmp", CHamperDescription("D", "", "", ""), tree);
  auto bytes = test::ReadFileBytes(path);
  // a.mid's Size (after its path string and type byte, and the Offset) grows into b.mid.
  const std::size_t index = 264 + CHamperDescription("D", "", "", "").GetStoredSize();
  bytes[index + 4 + 5 + 1 + 4 + 3] = 11;
  test::WriteFileBytes(path, bytes);
  std::string out;
  const auto errFile = dir / "err.txt";
  EXPECT_EQ(Run("'" + path + "' 2>'" + errFile.string() + "'", out), 0);
  const auto err = test::ReadFileBytes(errFile);
  EXPECT_EQ(std::string(err.begin(), err.end()),
            "hamper: warning: " + path + ": b.mid: the item (bytes 360 to 370) overlaps the item a.mid\n"
            "hamper: warning: " + path + ": a.mid: record 1 has the same path\n");
  EXPECT_NE(out.find("10        MIDI file  0       11    no      a.mid\n"), std::string::npos) << out;
}

}  // namespace

namespace {

namespace fs = std::filesystem;

// --long: each sample's length, channels, rate, loop and root key from its header, which sox
// reads the same from the source; other items have none.
TEST_F(ListCommand, LongGivesEachSamplesFacts) {
  if (!test::HaveProgram("soxi")) GTEST_SKIP() << "sox is not installed";
  const fs::path content = dir / "Content";
  packedtest::WriteContent(content);
  const fs::path kit = dir / "Kit.hmp";
  packedtest::Pack(content, kit);

  std::string json;
  ASSERT_EQ(Run("--long --json '" + kit.string() + "'", json), 0);
  for (const packedtest::CAudioSource& source : packedtest::kAudioSources) {
    SCOPED_TRACE(source.path);
    std::string path = source.path;
    std::replace(path.begin(), path.end(), '/', ':');
    const std::regex fields("\"path\": \"" + path + "\", \"itemType\": 11, \"kind\": \"Sample\".*\n"
                            "     \"sample\": \\{\"frames\": ([0-9]+), \"seconds\": [0-9.]+, \"channels\": ([0-9]+), "
                            "\"sampleRate\": ([0-9]+)");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(json, match, fields)) << json;
    std::string frames, channels, rate;
    ASSERT_EQ(test::RunCommand("soxi -s '" + (content / source.path).string() + "'", &frames), 0);
    ASSERT_EQ(test::RunCommand("soxi -c '" + (content / source.path).string() + "'", &channels), 0);
    ASSERT_EQ(test::RunCommand("soxi -r '" + (content / source.path).string() + "'", &rate), 0);
    EXPECT_EQ(match[1].str() + "\n", frames);
    EXPECT_EQ(match[2].str() + "\n", channels);
    EXPECT_EQ(match[3].str() + "\n", rate);
  }
  EXPECT_NE(json.find("\"loop\": {\"mode\": \"forward\", \"start\": 100, \"end\": 3000}, \"rootKey\": 57, \"fineTune\": 25}"),
            std::string::npos) << json;
  EXPECT_NE(json.find("\"kind\": \"Picture (JPEG)\", \"offset\": 0, \"size\": "), std::string::npos) << json;

  std::string text;
  ASSERT_EQ(Run("--long '" + kit.string() + "'", text), 0);
  EXPECT_TRUE(std::regex_search(text, std::regex("\n11 +Sample +[0-9]+ +[0-9]+ +no +0\\.113 s +stereo +44100 Hz +"
                                                 "forward 100-3000 +57 \\+25 cents +Samples:kick\\.wav\n")))
      << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\n10 +MIDI file +[0-9]+ +[0-9]+ +no +Midi:groove\\.mid\n"))) << text;
}

}  // namespace
