// Extraction through the model's layer: items taken in any order, and a second pass that replaces
// what the first found there, give the files `hamper extract` writes.

#include <gtest/gtest.h>

#include "browse/BrowseFixtures.h"
#include "browse/HamperExtraction.h"
#include "framework/media/OpenFile.h"

using namespace browsetest;

namespace {

TEST(HamperExtraction, ItemsInAnyOrderGiveWhatExtractWrites) {
  const PackedHampers& packed = PackedHampers::Get();
  const fs::path byCommand = packed.Scratch() / "by-command";
  fs::remove_all(byCommand);
  ASSERT_EQ(packedtest::Hamper("extract " + Q(packed.Demo()) + " " + Q(byCommand), packed.Scratch()).code, 0);

  const auto demo = CHamperContents::Open(packed.Demo().string());
  const fs::path out = packed.Scratch() / "any-order";
  fs::remove_all(out);
  NSFerryman::COpenFile file{NSFerryman::CFileSpec(packed.Demo().string())};
  CConfinedFolder folder(out.string());
  CHamperExtraction extraction(file, demo->Description(), folder);
  const std::size_t count = demo->Index().Size();
  // Every other item backwards, then the rest, then all again: those are there already.
  for (std::size_t r = count; r-- > 0;) {
    if (r % 2) {
      EXPECT_EQ(extraction.Extract(demo->Record(r), false), ExtractionTarget(demo->Record(r)));
    }
  }
  for (std::size_t r = 0; r < count; ++r) {
    if (r % 2 == 0) extraction.Extract(demo->Record(r), false);
  }
  EXPECT_TRUE(extraction.ExtractDescription(false).notWritten.empty());
  // Another extraction into that folder, as the window makes for each Extract.
  CConfinedFolder sameFolder(out.string());
  CHamperExtraction again(file, demo->Description(), sameFolder);
  for (std::size_t r = count; r-- > 0;) EXPECT_THROW(again.Extract(demo->Record(r), false), XTargetExists);
  ASSERT_EQ(again.ExtractDescription(false).notWritten.size(), 1u);
  test::WriteFileText(out / "Drums/Kick.wav", "changed");
  test::WriteFileText(out / "INFO.TXT", "changed");
  for (std::size_t r = count; r-- > 0;) again.Extract(demo->Record(r), true);
  EXPECT_TRUE(again.ExtractDescription(true).notWritten.empty());
  EXPECT_EQ(FilesBelow(out), FilesBelow(byCommand));
}

}  // namespace
