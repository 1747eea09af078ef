#include <gtest/gtest.h>

#include "framework/media/Exceptions.h"
#include "pack/ItemReference.h"
#include "support/TestSupport.h"

namespace {

TEST(ItemReferenceTest, EqualityEmptinessAndOpening) {
  test::TempDir dir;
  test::WriteFileText(dir / "Kits" / "k.wav", "kick");
  const CItemReference empty;
  const CItemReference file = CItemReference::ForPath((dir / "Kits" / "k.wav").string());
  const CItemReference again = CItemReference::ForPath((dir / "Kits" / ".." / "Kits" / "k.wav").string());
  const CItemReference folder = CItemReference::ForPath((dir / "Kits").string());

  EXPECT_TRUE(empty == CItemReference());
  EXPECT_FALSE(empty == file);
  EXPECT_TRUE(file == again);
  EXPECT_TRUE(folder.GetFirstChild() == file);
  EXPECT_FALSE(file == folder);

  // A copy shares the item and stays usable after the original is gone.
  CItemReference copy;
  {
    CItemReference original = CItemReference::ForPath((dir / "Kits" / "k.wav").string());
    copy = original;
  }
  EXPECT_EQ(copy.GetName(), "k.wav");
  EXPECT_TRUE(copy.IsFile());
  EXPECT_FALSE(copy.IsFolder());
  EXPECT_EQ(copy.Open()->GetSize(), 4u);

  EXPECT_TRUE(folder.IsFolder());
  EXPECT_FALSE(folder.IsFile());
  EXPECT_TRUE(file.GetFirstChild().IsEmpty());
  EXPECT_TRUE(file.GetNextSibling(folder).IsEmpty());
  EXPECT_TRUE(empty.GetFirstChild().IsEmpty());
  EXPECT_EQ(empty.GetName(), "");
  EXPECT_EQ(empty.GetFileType(), nullptr);
  EXPECT_THROW(empty.Open(), NSFerryman::XFileNotFound);
  EXPECT_THROW(folder.Open(), NSFerryman::XFileNotFound);
}

}  // namespace
