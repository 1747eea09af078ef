#include "container/HamperIndexLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using EKind = CIndexLayoutProblem::EKind;

struct Found {
  EKind kind;
  std::size_t record;
  std::size_t other;
  bool operator==(const Found&) const = default;
};

std::vector<Found> Check(const std::vector<CHamperIndexEntry>& index, std::uint64_t fileSize, std::uint32_t dataOffset = 100) {
  CHamperDescription description("Kit", "", "", "");
  description.SetDataOffset(dataOffset);
  description.SetIndexOffset(dataOffset);
  std::vector<Found> found;
  for (const CIndexLayoutProblem& p : CheckHamperIndexLayout(description, index, fileSize)) {
    found.push_back({p.kind, p.record, p.other});
  }
  return found;
}

CHamperIndexEntry Item(std::string path, std::uint32_t offset, std::uint32_t size) {
  return CHamperIndexEntry(11, size, offset, false, std::move(path));
}

TEST(HamperIndexLayout, FindsItemsOutsideTheFileOverlapsAndTwins) {
  struct Case {
    const char* what;
    std::vector<CHamperIndexEntry> index;
    std::uint64_t fileSize;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      {"back to back, with empty items anywhere", {Item("a", 0, 10), Item("e", 10, 0), Item("b", 10, 5), Item("z", 3, 0)}, 115, {}},
      {"no items", {}, 100, {}},
      {"ends exactly at the end", {Item("a", 0, 15)}, 115, {}},
      {"one byte past the end", {Item("a", 0, 10), Item("b", 10, 6)}, 115, {{EKind::kOutsideFile, 1, 1}}},
      {"offsets near 2^32 do not wrap", {Item("a", 0xFFFFFFF0u, 0x20)}, 115, {{EKind::kOutsideFile, 0, 0}}},
      {"an empty item past the end", {Item("a", 16, 0)}, 115, {{EKind::kOutsideFile, 0, 0}}},
      {"same bytes twice", {Item("a", 0, 10), Item("b", 0, 10)}, 200, {{EKind::kOverlap, 1, 0}}},
      {"one byte shared with the one before", {Item("a", 0, 10), Item("b", 9, 10)}, 200, {{EKind::kOverlap, 1, 0}}},
      {"one byte shared with the one after", {Item("b", 9, 10), Item("a", 0, 10)}, 200, {{EKind::kOverlap, 1, 0}}},
      {"inside a larger one", {Item("big", 0, 50), Item("a", 0, 10), Item("b", 20, 5), Item("c", 45, 5)}, 200,
       {{EKind::kOverlap, 1, 0}, {EKind::kOverlap, 2, 0}, {EKind::kOverlap, 3, 0}}},
      {"spans several", {Item("a", 0, 10), Item("b", 10, 10), Item("all", 5, 10)}, 200, {{EKind::kOverlap, 2, 0}}},
      {"an empty item inside another is no overlap", {Item("a", 0, 10), Item("b", 5, 0)}, 200, {}},
      {"exactly equal paths", {Item("Kits:Kick.wav", 0, 1), Item("Kits:Kick.wav", 1, 1)}, 200, {{EKind::kDuplicatePath, 1, 0}}},
      {"letter-case twins are two items", {Item("Kits:Kick.wav", 0, 1), Item("kits:Kick.wav", 1, 1)}, 200, {}},
      {"each record once, first reason first",
       {Item("a", 0, 10), Item("a", 5, 10), Item("a", 20, 500), Item("a", 30, 1)}, 200,
       {{EKind::kOverlap, 1, 0}, {EKind::kOutsideFile, 2, 2}, {EKind::kDuplicatePath, 3, 0}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Check(c.index, c.fileSize), c.expected) << c.what;
}

TEST(HamperIndexLayout, MessagesNameBothRecords) {
  CHamperDescription description("Kit", "", "", "");
  description.SetDataOffset(100);
  const auto problems = CheckHamperIndexLayout(description, {Item("Drums:Kick.wav", 0, 10), Item("Snare.wav", 4, 10), Item("Far.wav", 20, 90)}, 120);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].message, "the item (bytes 104 to 114) overlaps the item Drums:Kick.wav");
  EXPECT_EQ(problems[1].message, "the item lies outside the file (bytes 120 to 210 of a file of 120)");
}

// Many records over the same bytes: every one after the first is found, without a pass per pair.
TEST(HamperIndexLayout, ManyOverlappingRecordsAreEachReportedOnce) {
  std::vector<CHamperIndexEntry> index;
  for (std::uint32_t i = 0; i < 50000; ++i) index.push_back(Item("i" + std::to_string(i), i % 7, 1000));
  CHamperDescription description("Kit", "", "", "");
  const auto problems = CheckHamperIndexLayout(description, index, 2000);
  ASSERT_EQ(problems.size(), index.size() - 1);
  for (std::size_t i = 0; i < problems.size(); ++i) EXPECT_EQ(problems[i].record, i + 1);
}

}  // namespace
