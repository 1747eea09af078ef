// `hamper info`: the figures of a packed Hamper, the other Hampers it needs and whether they are
// installed, and a damaged Hamper summed up as far as it reads.

#include <gtest/gtest.h>

#include <regex>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

class InfoCommand : public ::testing::Test {
 protected:
  test::TempDir dir;
};

// A kit whose song also refers to a sample of the Hamper "Bass", and that Hamper, packed.
void WriteKitAndBass(const fs::path& kit, const fs::path& bass) {
  WriteContent(kit);
  test::WriteFileBytes(kit / "Songs/bass song.tns", reftest::Authored(R"(kind song
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
  ref "Line.wav"
    hamper "Bass"
    database "Bass" "Bass" "Loops" "Line.wav"
end
)"));
  test::WriteFileText(bass / "INFO.TXT", "NAME \"Bass\"\n");
  test::WriteFileBytes(bass / "Splash.jpg", test::ReadFileBytes(kit / "Splash.jpg"));
  test::WriteFileBytes(bass / "Loops/Line.wav", test::ReadFileBytes(kit / "Samples/kick.wav"));
}

TEST_F(InfoCommand, SumsUpByKindAndNamesTheHampersItNeeds) {
  WriteKitAndBass(dir / "Kit", dir / "Bass");
  Pack(dir / "Kit", dir / "Kit.hmp");
  fs::create_directories(dir / "Installed");
  Pack(dir / "Bass", dir / "Installed/Bass.hmp");

  const CommandRun alone = Hamper("info " + Q(dir / "Kit.hmp"), dir.Path());
  ASSERT_EQ(alone.code, 0) << alone.err;
  EXPECT_EQ(alone.err, "");
  const std::string& out = alone.out;
  EXPECT_TRUE(std::regex_search(out, std::regex("\nSize: +[0-9]+ bytes, 14 items \\(2 hidden\\) of [0-9]+ bytes\n"))) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex("\nSample +4 +[0-9]+\n"))) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex("\nSong +2 +[0-9]+\n"))) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex("\nPAD data +1 +5000\n"))) << out;
  EXPECT_NE(out.find("  \"Bass\" (not installed), by Songs:bass song.tns\n"), std::string::npos) << out;
  // 5000 + 6000 + 4000 + 3001 frames of 2, 1, 2 and 1 channels, at 16 bits.
  EXPECT_TRUE(std::regex_search(out, std::regex("\nAudio: +4 samples, [0-9.]+ s: [0-9]+ bytes stored for 54002 bytes of "
                                                "16-bit PCM \\([0-9.]+ %\\)\n")))
      << out;

  const CommandRun installed = Hamper("info --json --hampers " + Q(dir / "Installed") + " " + Q(dir / "Kit.hmp"), dir.Path());
  ASSERT_EQ(installed.code, 0) << installed.err;
  EXPECT_NE(installed.out.find("{\"name\": \"Bass\", \"installed\": true, \"usedBy\": [\"Songs:bass song.tns\"]}"),
            std::string::npos) << installed.out;
  EXPECT_NE(installed.out.find("\"pcmBytes\": 54002},\n  \"problems\": [],\n  \"problemsNotListed\": 0\n}\n"), std::string::npos) << installed.out;
}

// A Hamper cut short fails its header check, yet what can be read is summed up, with the problem.
TEST_F(InfoCommand, DamagedHamperIsSummedUpAsFarAsItReads) {
  WriteContent(dir / "Kit");
  Pack(dir / "Kit", dir / "Kit.hmp");
  Bytes bytes = test::ReadFileBytes(dir / "Kit.hmp");
  bytes.resize(bytes.size() - 100);
  test::WriteFileBytes(dir / "Cut.hmp", bytes);
  const CommandRun r = Hamper("info " + Q(dir / "Cut.hmp"), dir.Path());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("Name:        Test Kit\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("hamper: warning: " + (dir / "Cut.hmp").string() + ": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("lie outside the file"), std::string::npos) << r.err;

  test::WriteFileText(dir / "text.hmp", "hello");
  const CommandRun text = Hamper("info " + Q(dir / "text.hmp"), dir.Path());
  EXPECT_EQ(text.code, 1);
  EXPECT_EQ(text.out, "");
  EXPECT_NE(text.err.find("text.hmp"), std::string::npos) << text.err;
}

}  // namespace
