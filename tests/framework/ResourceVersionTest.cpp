// Version numbers and their stored form.

#include <gtest/gtest.h>

#include <vector>

#include "framework/media/MemoryMedia.h"
#include "framework/resources/FerrymanFileVersion.h"
#include "framework/resources/Version.h"

using namespace NSFerryman;

TEST(ResourceVersion, StoredFormRoundTrips) {
  CMemoryMedia media;
  CVersion(1, 2, 255).Write(media);
  ASSERT_EQ(media.GetSize(), 5u);
  EXPECT_EQ(std::vector<std::uint8_t>(media.Data(), media.Data() + 5),
            (std::vector<std::uint8_t>{0xBC, 1, 2, 255, 0}));
  media.SetPosition(0);
  EXPECT_EQ(CVersion::Read(media), CVersion(1, 2, 255));
  EXPECT_EQ(media.GetPosition(), 5u);
}

TEST(ResourceVersion, BadMarkerAndShortInput) {
  CMemoryMedia wrong;
  const std::uint8_t bytes[] = {0xBD, 1, 0, 0, 0};
  wrong.Write(sizeof bytes, bytes);
  wrong.SetPosition(0);
  EXPECT_THROW(CVersion::Read(wrong), XBadFormat);

  CMemoryMedia shortMedia;
  shortMedia.Write(3, bytes);
  shortMedia.SetPosition(0);
  EXPECT_THROW(CVersion::Read(shortMedia), XRead);
}

TEST(ResourceVersion, Comparisons) {
  struct Case {
    CVersion left, right;
    bool same_major, equal, at_least;
  };
  const Case cases[] = {
      {{1, 2, 3}, {1, 2, 3}, true, true, true},
      {{1, 2, 4}, {1, 2, 3}, true, false, true},
      {{1, 2, 3}, {1, 3, 0}, true, false, false},
      {{2, 0, 0}, {1, 255, 255}, false, false, true},
      {{1, 255, 255}, {2, 0, 0}, false, false, false},
      {{1, 3, 0}, {1, 2, 255}, true, false, true},
  };
  for (const Case& c : cases) {
    const std::string name = c.left.ToString() + " vs " + c.right.ToString();
    EXPECT_EQ(c.left.IsSameMajor(c.right), c.same_major) << name;
    EXPECT_EQ(c.left == c.right, c.equal) << name;
    EXPECT_EQ(c.left.IsAtLeast(c.right), c.at_least) << name;
  }
  EXPECT_EQ(CFerrymanFileVersion().value, 4u);
}
