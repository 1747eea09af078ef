#include <gtest/gtest.h>

#include <string>

#include "references/ReferenceFixtures.h"
#include "support/TestSupport.h"

namespace {

// A content folder with description files, a song in a sub-folder and one sample.
class RefsCommand : public ::testing::Test {
 protected:
  RefsCommand() {
    test::WriteFileText(dir / "Content/INFO.TXT", "NAME \"Demo Kit\"\n");
    test::WriteFileText(dir / "Content/Samples/kick.wav", "x");
    test::WriteFileBytes(dir / "Content/Songs/song.tns", reftest::Authored(R"(kind song
chunk TNAM "Groove"
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
    version relative 1.0.0
  ref "Kick Again"
    hamper "demo kit" "http://demo/"
    database "Demo Kit" "Other" "Content" "SAMPLES" "Kick.wav"
    volume 13 "DISC" "Samples" "kick.wav" media
  ref "bass.wav"
    hamper "Bass Pack" "http://bass/"
    database "Bass Pack" "Loops" "bass.wav"
    version database 1.0.0
    version volume 1.1.0
  ref "Lost \x1b[31mSnare"
    relative 1 "Samples" "lost.wav"
end
)"));
  }

  int Run(const std::string& args, std::string& out, std::string* err = nullptr) {
    const std::string errFile = (dir / "stderr").string();
    const int code = test::RunCommand(std::string(HAMPER_EXE) + " refs " + args + " 2>" + errFile, &out);
    if (err) {
      const auto bytes = test::ReadFileBytes(errFile);
      err->assign(bytes.begin(), bytes.end());
    }
    return code;
  }

  std::string Song() const { return (dir / "Content/Songs/song.tns").string(); }

  test::TempDir dir;
};

}  // namespace

TEST_F(RefsCommand, PrintsEveryRecordAsStored) {
  std::string out, err;
  EXPECT_EQ(Run(Song(), out, &err), 1);
  const std::string root = (dir / "Content").string();
  EXPECT_EQ(out, Song() + ": song, 4 reference records; internal means in the Hamper \"Demo Kit\" of " + root + "\n"
                 "\n1. \"kick.wav\": internal, resolves to Samples/kick.wav\n"
                 "   Hamper name: \"\"  URL: \"\"\n"
                 "   relative:    1 up, Samples:kick.wav  (old form)\n"
                 "   database:    absent\n"
                 "   volume:      absent\n"
                 "\n2. \"Kick Again\": internal, resolves to Samples/kick.wav\n"
                 "   Hamper name: \"demo kit\"  URL: \"http://demo/\"\n"
                 "   relative:    absent\n"
                 "   database:    \"Demo Kit\": Other:Content:SAMPLES:Kick.wav\n"
                 "   volume:      \"DISC\" kind 13: Samples:kick.wav\n"
                 "\n3. \"bass.wav\": external, in the Hamper \"Bass Pack\"\n"
                 "   Hamper name: \"Bass Pack\"  URL: \"http://bass/\"\n"
                 "   relative:    absent\n"
                 "   database:    \"\": Loops:bass.wav\n"
                 "   volume:      absent\n"
                 "\n4. \"Lost \\x1b[31mSnare\": internal, RESOLVES NOWHERE (found through none of its paths)\n"
                 "   Hamper name: \"\"  URL: \"\"\n"
                 "   relative:    1 up, Samples:lost.wav\n"
                 "   database:    absent\n"
                 "   volume:      absent\n");
  EXPECT_EQ(err, "hamper: " + Song() + ": 'Lost \\x1b[31mSnare' resolves nowhere in " + root + "\n");
}

TEST_F(RefsCommand, JsonAndAnotherHamperName) {
  std::string out;
  // Named otherwise, the records of "demo kit" are external and nothing is left to resolve.
  EXPECT_EQ(Run("--json --name \"Bass Pack\" --root " + (dir / "Content").string() + " " + Song(), out), 1);
  EXPECT_EQ(out, "{\n  \"file\": \"" + Song() + "\",\n  \"references\": [\n"
                 "    {\"displayName\": \"kick.wav\", \"hamperName\": \"\", \"hamperUrl\": \"\",\n"
                 "     \"relative\": {\"levelsUp\": 1, \"components\": [\"Samples\", \"kick.wav\"]},\n"
                 "     \"database\": null,\n"
                 "     \"volume\": null,\n"
                 "     \"kind\": \"internal\", \"resolvesTo\": \"Samples/kick.wav\"},\n"
                 "    {\"displayName\": \"Kick Again\", \"hamperName\": \"demo kit\", \"hamperUrl\": \"http://demo/\",\n"
                 "     \"relative\": null,\n"
                 "     \"database\": {\"hamperName\": \"Demo Kit\", \"components\": [\"Other\", \"Content\", \"SAMPLES\", \"Kick.wav\"]},\n"
                 "     \"volume\": {\"name\": \"DISC\", \"kind\": 13, \"components\": [\"Samples\", \"kick.wav\"]},\n"
                 "     \"kind\": \"external\", \"resolvesTo\": null},\n"
                 "    {\"displayName\": \"bass.wav\", \"hamperName\": \"Bass Pack\", \"hamperUrl\": \"http://bass/\",\n"
                 "     \"relative\": null,\n"
                 "     \"database\": {\"hamperName\": \"\", \"components\": [\"Loops\", \"bass.wav\"]},\n"
                 "     \"volume\": null,\n"
                 "     \"kind\": \"internal\", \"resolvesTo\": null},\n"
                 "    {\"displayName\": \"Lost \\u001b[31mSnare\", \"hamperName\": \"\", \"hamperUrl\": \"\",\n"
                 "     \"relative\": {\"levelsUp\": 1, \"components\": [\"Samples\", \"lost.wav\"]},\n"
                 "     \"database\": null,\n"
                 "     \"volume\": null,\n"
                 "     \"kind\": \"internal\", \"resolvesTo\": null}\n"
                 "  ]\n}\n");
}

TEST_F(RefsCommand, RefusesWhatIsNoSongOrPatch) {
  test::WriteFileText(dir / "notes.tns", "just text, no song");
  std::string out, err;
  EXPECT_EQ(Run((dir / "notes.tns").string(), out, &err), 1);
  EXPECT_NE(err.find("notes.tns"), std::string::npos) << err;
  EXPECT_EQ(Run("--hampers a --hampers b --hampers c --hampers d --hampers e " + Song(), out, &err), 2);
}
