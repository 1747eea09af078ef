// `hamper thumbnail`, as file managers run it through the thumbnailer entry: the demo Hamper's
// splash at the sizes they ask for, and nothing written for a Hamper that has no usable splash.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/PackedContent.h"
#include "framework/media/OpenFile.h"
#include "items/JPEGImage.h"

using namespace packedtest;
using hampertest::FakeEntry;
using hampertest::FakeTree;

namespace {

const fs::path kDemo = fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums";

CBitmap32 DemoSplash() {
  NSFerryman::COpenFile jpeg{NSFerryman::CFileSpec((kDemo / "Splash.jpg").string())};
  return DecodeJPEGBitmap(jpeg, 64, 64);
}

unsigned Channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// The mean difference per channel between the splash and a thumbnail reduced to 64 x 64 by
// averaging each block of pixels.
double MeanDifferenceFromSplash(const picturetest::PNGPicture& thumbnail, const CBitmap32& splash) {
  const std::uint32_t block = thumbnail.width / 64;
  double total = 0;
  for (std::uint32_t y = 0; y < 64; ++y) {
    for (std::uint32_t x = 0; x < 64; ++x) {
      for (const int shift : {16, 8, 0}) {
        double sum = 0;
        for (std::uint32_t dy = 0; dy < block; ++dy) {
          for (std::uint32_t dx = 0; dx < block; ++dx) {
            sum += Channel(thumbnail.pixels[std::size_t{y * block + dy} * thumbnail.width + x * block + dx], shift);
          }
        }
        total += std::abs(sum / (block * block) - Channel(splash.pixels[std::size_t{y} * 64 + x], shift));
      }
    }
  }
  return total / (64 * 64 * 3);
}

class ThumbnailCommand : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    packed_ = std::make_unique<test::TempDir>();
    const CommandRun r = Hamper("pack -q -o " + Q(DemoHamper()) + " " + Q(kDemo), packed_->Path());
    ASSERT_EQ(r.code, 0) << r.err;
  }
  static void TearDownTestSuite() { packed_.reset(); }
  static fs::path DemoHamper() { return *packed_ / "Harbor Drums.hmp"; }

  CommandRun Thumbnail(const std::string& args) { return Hamper("thumbnail " + args, dir.Path()); }

  test::TempDir dir;
  static std::unique_ptr<test::TempDir> packed_;
};

std::unique_ptr<test::TempDir> ThumbnailCommand::packed_;

TEST_F(ThumbnailCommand, WritesTheDemoSplashAtEverySizeAFileManagerAsksFor) {
  const CBitmap32 splash = DemoSplash();
  // A file manager names the Hamper by whatever it is called, with or without ".hmp".
  fs::copy_file(DemoHamper(), dir / "renamed");
  const struct {
    std::string args;
    std::uint32_t size;
  } cases[] = {
      {Q(DemoHamper()) + " " + Q(dir / "64.png") + " 64", 64},
      {Q(DemoHamper()) + " " + Q(dir / "default.png"), 64},
      {Q(DemoHamper()) + " " + Q(dir / "128.png") + " 128", 128},
      {Q(DemoHamper()) + " " + Q(dir / "256.png") + " 256", 256},
      {Q(dir / "renamed") + " " + Q(dir / "renamed.png") + " 128", 128},
  };
  for (const auto& c : cases) {
    const CommandRun r = Thumbnail(c.args);
    ASSERT_EQ(r.code, 0) << c.args << ": " << r.err;
    EXPECT_EQ(r.out + r.err, "") << c.args;
    const fs::path png = c.args.substr(c.args.find("' '") + 3, c.args.find(".png'") + 4 - c.args.find("' '") - 3);
    const picturetest::PNGPicture picture = picturetest::DecodePNG(test::ReadFileBytes(png));
    ASSERT_EQ(picture.width, c.size) << c.args;
    ASSERT_EQ(picture.height, c.size) << c.args;
    if (c.size == 64) {
      EXPECT_EQ(picture.pixels, splash.pixels) << c.args << ": not the splash's own pixels";
    } else {
      // The splash enlarged: reduced back, close to it, for all that smoothing blurs its fine
      // dots. A wrong item, a turned or mirrored picture or one shifted by a single splash pixel
      // lands further off (about 10 for the shift, 19 mirrored).
      EXPECT_LT(MeanDifferenceFromSplash(picture, splash), 7.0) << c.args;
    }
  }
}

TEST_F(ThumbnailCommand, AHamperWithoutAUsableSplashGetsNoThumbnail) {
  const Bytes demo = test::ReadFileBytes(DemoHamper());
  FakeTree noSplash;
  noSplash.Add(FakeEntry::File("Kick.wav", 11, hampertest::Bytes(2000, 1)));
  WriteTree(dir / "no splash.hmp", noSplash);
  test::WriteFileBytes(dir / "cut.hmp", Bytes(demo.begin(), demo.end() - 1));
  Bytes damagedSplash = demo;
  const CRecordPlace splash = Find(demo, "Splash.jpg");
  for (std::size_t i = splash.item + 300; i < splash.item + 400; ++i) damagedSplash[i] ^= 0x5A;
  test::WriteFileBytes(dir / "damaged splash.hmp", damagedSplash);
  test::WriteFileText(dir / "notes.hmp", "Hampers are packed by hamper pack.\n");

  const struct {
    std::string file;
    std::string reason;
  } cases[] = {
      {"no splash.hmp", "the Hamper has no splash picture"},
      {"cut.hmp", "damaged Hamper"},
      {"damaged splash.hmp", "the splash picture: JPEG picture does not decode"},
      {"notes.hmp", "not a Hamper"},
      {"missing.hmp", "missing.hmp"},
  };
  for (const auto& c : cases) {
    const fs::path output = dir / (c.file + ".png");
    const CommandRun r = Thumbnail(Q(dir / c.file) + " " + Q(output) + " 128");
    EXPECT_EQ(r.code, 1) << c.file;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.file << ": " << r.err;
    EXPECT_NE(r.err.find(c.file), std::string::npos) << c.file << ": " << r.err;
    EXPECT_FALSE(fs::exists(output)) << c.file;
  }
  // An older thumbnail stays as it was, and no hidden partial file is left beside it.
  test::WriteFileText(dir / "old.png", "old");
  EXPECT_EQ(Thumbnail(Q(dir / "cut.hmp") + " " + Q(dir / "old.png")).code, 1);
  EXPECT_EQ(test::ReadFileBytes(dir / "old.png"), Bytes({'o', 'l', 'd'}));
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
}

TEST_F(ThumbnailCommand, RefusesASizeOutOfRangeAndTheHamperAsItsOwnOutput) {
  for (const std::string size : {"0", "1025", "large", "-64"}) {
    const CommandRun r = Thumbnail(Q(DemoHamper()) + " " + Q(dir / "t.png") + " " + size);
    EXPECT_EQ(r.code, 2) << size << ": " << r.err;
    EXPECT_FALSE(fs::exists(dir / "t.png")) << size;
  }
  const Bytes before = test::ReadFileBytes(DemoHamper());
  EXPECT_EQ(Thumbnail(Q(DemoHamper()) + " " + Q(DemoHamper())).code, 1);
  EXPECT_EQ(test::ReadFileBytes(DemoHamper()), before);
}

TEST_F(ThumbnailCommand, TheThumbnailerEntryRunsIt) {
  // The Exec line of the entry file managers read, its fields filled in as they fill them, run
  // with the built hamper first on PATH.
  std::ifstream entry(fs::path(HAMPER_SOURCE_DIR) / "app" / "hamper-packer.thumbnailer");
  std::string line, exec;
  while (std::getline(entry, line)) {
    if (line.starts_with("Exec=")) exec = line.substr(5);
  }
  ASSERT_FALSE(exec.empty());
  std::istringstream words(exec);
  std::string command;
  for (std::string word; words >> word;) {
    if (word == "%i") word = DemoHamper().string();
    if (word == "%o") word = (dir / "thumbnail.png").string();
    if (word == "%s") word = "256";
    command += Q(word) + " ";
  }
  const std::string path = fs::path(HAMPER_EXE).parent_path().string() + ":" + std::getenv("PATH");
  ASSERT_EQ(test::RunCommand("PATH=" + Q(path) + " " + command), 0) << command;
  EXPECT_EQ(picturetest::DecodePNG(test::ReadFileBytes(dir / "thumbnail.png")).width, 256u);
}

}  // namespace
