// The splash picture of a finished Hamper, as the thumbnailer reads it: only the header, the index
// and the splash item are touched, and every way a Hamper can lack a usable splash is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PictureTestFiles.h"
#include "ProbeMedia.h"
#include "container/HamperFixtures.h"
#include "container/HamperHeader.h"
#include "framework/media/OpenFile.h"
#include "items/HamperSplash.h"
#include "items/JPEGImage.h"
#include "support/TestSupport.h"

using hampertest::FakeEntry;
using hampertest::FakeTree;
using NSFerryman::CMemoryMedia;
using NSFerryman::XBadFormat;
using picturetest::Bytes;

namespace {

constexpr int kJPEGItem = 9;
constexpr int kAudioItem = 11;

Bytes Splash(std::uint32_t width = 64, std::uint32_t height = 64) {
  return picturetest::MakeJPEG({.width = width, .height = height});
}

Bytes WriteHamper(const FakeTree& tree) {
  test::TempDir dir;
  hampertest::RecordingJob job;
  CHamperDescription description = hampertest::Description();
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec((dir / "h.hmp").string()));
  return test::ReadFileBytes(dir / "h.hmp");
}

// A Hamper whose only top-level item is the splash, under the given name.
Bytes HamperWithSplash(const Bytes& splash, const std::string& name = "Splash.jpg") {
  FakeTree tree;
  tree.Add(FakeEntry::File(name, kJPEGItem, splash));
  return WriteHamper(tree);
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

TEST(HamperSplash, ReadsOnlyTheHeaderTheIndexAndTheSplash) {
  // Large items on both sides of the splash, which a careless reader would touch.
  FakeTree tree;
  tree.Add(FakeEntry::File("Intro.wav", kAudioItem, hampertest::Bytes(300000, 1)));
  tree.Add(FakeEntry::File("Splash.jpg", kJPEGItem, Splash()));
  tree.Add(FakeEntry::Folder("Kits")).Add(FakeEntry::File("Kick.wav", kAudioItem, hampertest::Bytes(500000, 2)));
  const Bytes bytes = WriteHamper(tree);

  CProbeMedia media(bytes);
  const CBitmap32 splash = ReadHamperSplash(media);
  CMemoryMedia jpeg;
  const Bytes expected = Splash();
  jpeg.Write(expected.size(), expected.data());
  EXPECT_EQ(splash.pixels, DecodeJPEGBitmap(jpeg, 64, 64).pixels);

  CProbeMedia header(bytes);
  const CHamperDescription description = ReadAndCheckHamperHeader(header);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(header, description);
  const CHamperIndexEntry& record = index.at(1);
  ASSERT_EQ(record.GetPath(), "Splash.jpg");
  const std::uint64_t splashStart = std::uint64_t{description.GetDataOffset()} + record.GetOffset();
  for (const auto& [position, count] : media.reads) {
    const bool inHeaderAndIndex = position + count <= description.GetDataOffset();
    const bool inSplash = position >= splashStart && position + count <= splashStart + record.GetSize();
    EXPECT_TRUE(inHeaderAndIndex || inSplash) << count << " bytes read at " << position;
  }
}

TEST(HamperSplash, FindsTheSplashInAnyLetterCase) {
  CProbeMedia media(HamperWithSplash(Splash(), "SPLASH.JPG"));
  EXPECT_EQ(ReadHamperSplash(media).width, 64u);
}

TEST(HamperSplash, RefusesEveryHamperWithoutAUsableSplash) {
  FakeTree noSplash;
  noSplash.Add(FakeEntry::File("Kick.wav", kAudioItem, hampertest::Bytes(100, 3)));
  FakeTree splashInAFolder;
  splashInAFolder.Add(FakeEntry::Folder("Pics")).Add(FakeEntry::File("Splash.jpg", kJPEGItem, Splash()));

  const Bytes good = HamperWithSplash(Splash());
  const Bytes cutShort(good.begin(), good.end() - 1);
  // The splash is the last item: cut its end off and make the size field agree, so that only the
  // index record points past the end.
  Bytes splashOutside = good;
  splashOutside.resize(good.size() - 10);
  PutU32(splashOutside, 4, static_cast<std::uint32_t>(splashOutside.size()));
  Bytes damagedSplash = good;
  for (std::size_t i = good.size() - 200; i < good.size() - 100; ++i) damagedSplash[i] ^= 0x5A;

  const struct {
    const char* what;
    Bytes hamper;
    const char* reason;
  } cases[] = {
      {"no splash item", WriteHamper(noSplash), "the Hamper has no splash picture"},
      {"a splash in a folder only", WriteHamper(splashInAFolder), "the Hamper has no splash picture"},
      {"a file one byte short", cutShort, "damaged Hamper: the header gives a size of"},
      {"not a Hamper", Bytes(400, 'x'), "not a Hamper"},
      {"a splash past the end", splashOutside, "the splash picture lies outside the file"},
      {"a damaged splash", damagedSplash, "the splash picture: JPEG picture does not decode"},
      {"a splash of 32 x 32", HamperWithSplash(Splash(32, 32)), "the splash picture is 32 x 32 pixels, not 64 x 64"},
      {"a splash of 128 x 64", HamperWithSplash(Splash(128, 64)), "the splash picture: JPEG picture of 128 x 64 pixels"},
      {"a splash that is no JPEG", HamperWithSplash(Bytes(500, 7)), "the splash picture: JPEG picture does not decode"},
  };
  for (const auto& c : cases) {
    CProbeMedia media(c.hamper);
    try {
      ReadHamperSplash(media);
      ADD_FAILURE() << c.what << ": read";
    } catch (const XBadFormat& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
    }
  }
}
