#include "container/HamperIndexLayout.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
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

// The rules as stated, one record against every earlier one: the check finds the same problems
// for indexes of every order, overlap and size (empty items, items past the end, twins).
std::vector<Found> Naive(const std::vector<CHamperIndexEntry>& index, std::uint64_t fileSize, std::uint64_t dataOffset) {
  std::vector<Found> found;
  std::vector<bool> placed(index.size(), false);
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::uint64_t start = dataOffset + index[i].GetOffset();
    const std::uint64_t end = start + index[i].GetSize();
    if (end > fileSize) {
      found.push_back({EKind::kOutsideFile, i, i});
      continue;
    }
    std::optional<std::size_t> before, after;  // the nearest placed item at or before the start, and after it
    for (std::size_t j = 0; j < i; ++j) {
      if (!placed[j]) continue;
      const std::uint64_t s = dataOffset + index[j].GetOffset();
      if (s <= start && (!before || s >= dataOffset + index[*before].GetOffset())) before = j;
      if (s > start && (!after || s < dataOffset + index[*after].GetOffset())) after = j;
    }
    std::optional<std::size_t> overlapped;
    if (index[i].GetSize() > 0) {
      if (after && dataOffset + index[*after].GetOffset() < end) overlapped = after;
      if (before && dataOffset + index[*before].GetOffset() + index[*before].GetSize() > start) overlapped = before;
    }
    if (overlapped) {
      found.push_back({EKind::kOverlap, i, *overlapped});
      continue;
    }
    std::size_t first = i;
    for (std::size_t j = 0; j < i && first == i; ++j) {
      if (index[j].GetPath() == index[i].GetPath()) first = j;
    }
    if (first != i) {
      found.push_back({EKind::kDuplicatePath, i, first});
      continue;
    }
    placed[i] = index[i].GetSize() > 0;
  }
  return found;
}

TEST(HamperIndexLayout, AgreesWithTheRulesOnRandomIndexes) {
  std::mt19937 random(22);
  for (int round = 0; round < 400; ++round) {
    std::vector<CHamperIndexEntry> index;
    const int records = static_cast<int>(random() % 60);
    const std::uint32_t span = 1 + random() % 300;
    for (int r = 0; r < records; ++r) {
      index.push_back(Item(std::string(1, static_cast<char>('a' + random() % 20)), random() % span,
                           random() % 4 == 0 ? 0 : random() % 40));
    }
    const std::uint64_t fileSize = 100 + random() % (span + 40);
    SCOPED_TRACE(round);
    EXPECT_EQ(Check(index, fileSize), Naive(index, fileSize, 100));
  }
}

}  // namespace
