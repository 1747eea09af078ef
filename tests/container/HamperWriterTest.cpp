#include "container/HamperWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "container/HamperHeader.h"
#include "container/HamperFixtures.h"
#include "framework/media/OpenFile.h"
#include "support/TestSupport.h"

using hampertest::Bytes;
using hampertest::Description;
using hampertest::FakeEntry;
using hampertest::FakeTree;
using hampertest::RecordingJob;
using NSFerryman::CFileSpec;
using NSFerryman::COpenFile;

namespace {

struct ReadBack {
  CHamperDescription description;
  std::vector<CHamperIndexEntry> index;
  std::vector<std::uint8_t> file;

  std::vector<std::uint8_t> ItemBytes(const CHamperIndexEntry& e) const {
    const auto start = file.begin() + description.GetDataOffset() + e.GetOffset();
    return {start, start + e.GetSize()};
  }
};

ReadBack ReadHamper(const std::filesystem::path& path) {
  ReadBack r;
  COpenFile media{CFileSpec(path.string())};
  r.description = ReadAndCheckHamperHeader(media);
  r.index = ReadHamperIndex(media, r.description);
  r.file = test::ReadFileBytes(path);
  return r;
}

class HamperWriterTest : public ::testing::Test {
 protected:
  std::filesystem::path Compose(const FakeTree& tree, CHamperDescription& description) {
    CHamperWriter writer(job);
    writer.Compose(tree.List(), description, tree.PackedData(), CFileSpec(out.string()));
    return out;
  }

  test::TempDir dir;
  std::filesystem::path out = dir / "out.hmp";
  RecordingJob job;
};

TEST_F(HamperWriterTest, WritesTreeInWalkOrderWithHiddenRule) {
  FakeTree tree;
  tree.Add(FakeEntry::File("bass.wav", 11, Bytes(1000, 1)));
  tree.Add(FakeEntry::File("Notes.doc", 0, Bytes(50, 2)));          // not packable
  tree.Add(FakeEntry::File("Splash.Jpg", 9, Bytes(300, 3)));
  tree.Add(FakeEntry::File("bad.wav", 11, Bytes(70, 4), false));    // rejected by the first check
  FakeEntry& drums = tree.Add(FakeEntry::Folder("Drums"));
  drums.Add(FakeEntry::File("Empty.mid", 10, {}));
  drums.Add(FakeEntry::File("Kick.wav", 11, Bytes(2000, 5)));
  drums.Add(FakeEntry::File("data.pad", 14, Bytes(10, 6)));
  FakeEntry& pics = drums.Add(FakeEntry::Folder("Pics"));
  pics.Add(FakeEntry::File("SPLASH.JPG", 9, Bytes(30, 7)));
  tree.Add(FakeEntry::Folder("EmptyFolder"));

  CHamperDescription description = Description();
  description.SetEntryCount(6);
  const ReadBack r = ReadHamper(Compose(tree, description));

  struct Expected {
    const char* path;
    int itemType;
    bool hidden;
    const FakeEntry* source;
  };
  const Expected expected[] = {
      {"bass.wav", 11, false, tree.top[0].get()},       {"Splash.Jpg", 9, true, tree.top[2].get()},
      {"Drums:Empty.mid", 10, false, drums.children[0].get()}, {"Drums:Kick.wav", 11, false, drums.children[1].get()},
      {"Drums:data.pad", 14, true, drums.children[2].get()},   {"Drums:Pics:SPLASH.JPG", 9, false, pics.children[0].get()},
  };
  ASSERT_EQ(r.index.size(), std::size(expected));
  std::uint32_t offset = 0;
  for (std::size_t i = 0; i < r.index.size(); ++i) {
    const CHamperIndexEntry& e = r.index[i];
    SCOPED_TRACE(e.GetPath());
    EXPECT_EQ(e.GetPath(), expected[i].path);
    EXPECT_EQ(e.GetItemType(), expected[i].itemType);
    EXPECT_EQ(e.IsHidden(), expected[i].hidden);
    EXPECT_EQ(e.GetOffset(), offset);
    EXPECT_EQ(r.ItemBytes(e), expected[i].source->bytes);
    offset += e.GetSize();
  }

  // The record read back is the one the job keeps for the final verification.
  EXPECT_EQ(r.description, description);
  EXPECT_EQ(description.GetEntryCount(), 6u);
  EXPECT_EQ(description.GetIndexOffset(), 264u + description.GetStoredSize());
  std::uint64_t indexBytes = 0;
  for (const auto& e : r.index) indexBytes += e.GetStoredSize();
  EXPECT_EQ(description.GetDataOffset(), description.GetIndexOffset() + indexBytes);
  EXPECT_EQ(r.file.size(), description.GetDataOffset() + offset);

  // Progress: every typed entry, rejected or not, is one step of stage 3; untyped ones are none.
  ASSERT_EQ(job.stages.size(), 2u);
  EXPECT_EQ(job.stages[0].stageText, MHamperWriterJob::kBuildingIndexStage);
  EXPECT_EQ(job.stages[0].title, MHamperWriterJob::kBuildingIndexTitle);
  EXPECT_EQ(job.stages[0].count, 7u);
  EXPECT_EQ(job.stages[1].stageText, MHamperWriterJob::kComposingFileStage);
  EXPECT_EQ(job.stages[1].count, 0u);
  const std::vector<std::string> indexed = {"bass.wav",        "Splash.Jpg",     "bad.wav", "Drums:Empty.mid",
                                            "Drums:Kick.wav", "Drums:data.pad", "Drums:Pics:SPLASH.JPG"};
  EXPECT_EQ(job.statusArguments, indexed);
  for (auto id : job.statusTexts) EXPECT_EQ(id, MHamperWriterJob::kIndexingItem);
  const auto stage3 = job.ProgressOfStage(MHamperWriterJob::kIndexStageIndex);
  ASSERT_EQ(stage3.size(), 7u);
  EXPECT_EQ(stage3.back().count, 0u);
  EXPECT_EQ(stage3.back().done, stage3.back().total);
}

TEST_F(HamperWriterTest, EmptyTreeIsHeaderAndDescriptionOnly) {
  FakeTree tree;
  tree.Add(FakeEntry::File("Notes.doc", 0, Bytes(5, 1)));
  tree.Add(FakeEntry::Folder("Nothing"));
  CHamperDescription description = Description();
  const ReadBack r = ReadHamper(Compose(tree, description));
  EXPECT_EQ(r.file.size(), 264u + description.GetStoredSize());
  EXPECT_EQ(description.GetEntryCount(), 0u);
  EXPECT_EQ(description.GetIndexOffset(), r.file.size());
  EXPECT_EQ(description.GetDataOffset(), r.file.size());
  EXPECT_TRUE(job.ProgressOfStage(MHamperWriterJob::kComposeStageIndex).empty());
}

// The data is written where the plan put it. When an entry was left out after the plan, the
// index is shorter than its room and the data moves down once, in blocks of 64 KiB, to lie right
// behind it; otherwise it stays where it is and stage 4 is done at once.
TEST_F(HamperWriterTest, DataMovesDownOnlyWhenAnEntryWasLeftOutAfterThePlan) {
  struct Case {
    std::size_t size;
    bool leftOut;
    std::size_t blocks;
  };
  for (const Case c : {Case{65537, false, 1}, Case{65535, true, 1}, Case{65536, true, 1}, Case{65537, true, 2},
                       Case{3 * 65536 + 1, true, 4}}) {
    SCOPED_TRACE(std::to_string(c.size) + (c.leftOut ? " left out" : ""));
    job = RecordingJob();
    FakeTree tree;
    tree.Add(FakeEntry::File("a.wav", 11, Bytes(c.size / 2, 1)));
    FakeEntry& late = tree.Add(FakeEntry::File("late.wav", 11, {}));
    tree.Add(FakeEntry::File("b.wav", 11, Bytes(c.size - c.size / 2, 2)));
    CHamperDescription description = Description();
    const CHamperLayout planned = CHamperWriter::PlanLayout(tree.List(), description);
    late.included = !c.leftOut;
    {
      COpenFile file(CFileSpec(out.string()), 0, 0);
      const auto data = tree.PackedData();
      std::vector<std::uint8_t> bytes(data->GetSize());
      data->ReadAt(0, bytes.size(), bytes.data());
      file.WriteAt(planned.dataOffset, bytes.size(), bytes.data());
      CHamperWriter(job).Finish(tree.List(), description, planned.dataOffset, bytes.size(), file);
    }
    const ReadBack r = ReadHamper(out);
    ASSERT_EQ(r.index.size(), c.leftOut ? 2u : 3u);
    EXPECT_EQ(r.ItemBytes(r.index.front()), tree.top[0]->bytes);
    EXPECT_EQ(r.ItemBytes(r.index.back()), tree.top[2]->bytes);
    EXPECT_EQ(r.file.size(), description.GetDataOffset() + c.size) << "nothing is left behind the data";
    EXPECT_EQ(description.GetDataOffset() < planned.dataOffset, c.leftOut);
    const auto stage4 = job.ProgressOfStage(MHamperWriterJob::kComposeStageIndex);
    ASSERT_EQ(stage4.size(), c.blocks);
    EXPECT_EQ(stage4.back().count, c.size);
    EXPECT_EQ(stage4.back().done, r.index.size());
    EXPECT_EQ(stage4.back().total, r.index.size());
  }
}

TEST_F(HamperWriterTest, WritingAgainReplacesTheOldFile) {
  FakeTree big;
  big.Add(FakeEntry::File("big.wav", 11, Bytes(5000, 1)));
  CHamperDescription d1 = Description();
  Compose(big, d1);
  FakeTree small;
  small.Add(FakeEntry::File("s.mid", 10, Bytes(10, 2)));
  CHamperDescription d2 = Description();
  const ReadBack r = ReadHamper(Compose(small, d2));
  EXPECT_EQ(r.file.size(), d2.GetDataOffset() + 10u);
}

// A Hamper addresses its bytes with 32-bit numbers: a layout that would pass 4 GiB is refused
// before anything is written, from the packed sizes alone.
TEST_F(HamperWriterTest, RefusesHamperOver4GiB) {
  struct Case {
    const char* name;
    std::vector<std::uint64_t> sizes;
  };
  const Case cases[] = {
      {"one item of 4 GiB", {0x100000000ull}},
      {"one huge item", {0xFFFFFFFFFFFFFFFFull}},
      {"two items that sum past the limit", {0x80000000ull, 0x80000000ull}},
      {"data that fits only without the header", {0xFFFFFFFFull - 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTree tree;
    for (std::size_t i = 0; i < c.sizes.size(); ++i) {
      FakeEntry& e = tree.Add(FakeEntry::File("item" + std::to_string(i) + ".wav", 11, {}));
      e.packedSize = c.sizes[i];
    }
    CHamperDescription description = Description();
    CHamperWriter writer(job);
    try {
      writer.Compose(tree.List(), description, std::make_unique<NSFerryman::CMemoryMedia>(), CFileSpec(out.string()));
      FAIL() << "no exception";
    } catch (const NSFerryman::XWrite& e) {
      EXPECT_NE(std::string(e.what()).find("would exceed 4 GiB"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST_F(HamperWriterTest, RefusesWhatNoReaderWouldAccept) {
  const std::string withZero("a\0b", 3);
  struct Case {
    const char* what;
    CHamperDescription description;
    std::string path;
  };
  const Case cases[] = {
      {"no name", CHamperDescription("", "c", "u", "r"), "a.wav"},
      {"zero in the name", CHamperDescription(withZero, "c", "u", "r"), "a.wav"},
      {"zero in the copyright", CHamperDescription("n", "c", "u", withZero), "a.wav"},
      {"zero in a path", CHamperDescription("n", "c", "u", "r"), withZero + ".wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeTree tree;
    tree.Add(FakeEntry::File(c.path, 11, Bytes(10, 1)));
    CHamperDescription description = c.description;
    EXPECT_THROW(Compose(tree, description), NSFerryman::XBadFormat);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST_F(HamperWriterTest, RefusesItemTypesAHamperCannotHold) {
  for (int itemType : {15, 256, -1}) {
    FakeTree tree;
    tree.Add(FakeEntry::File("a.wav", itemType, Bytes(10, 1)));
    CHamperDescription description = Description();
    EXPECT_THROW(Compose(tree, description), NSFerryman::XWrite) << itemType;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST_F(HamperWriterTest, DataThatDoesNotMatchTheTreeIsRefused) {
  FakeTree tree;
  tree.Add(FakeEntry::File("a.wav", 11, Bytes(100, 1)));
  tree.top[0]->packedSize = 99;
  CHamperDescription description = Description();
  EXPECT_THROW(Compose(tree, description), NSFerryman::XWrite);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(HamperWriterTest, StopLeavesNoOutputFile) {
  FakeTree tree;
  tree.Add(FakeEntry::File("a.wav", 11, Bytes(200000, 1)));
  FakeEntry& f = tree.Add(FakeEntry::Folder("F"));
  f.Add(FakeEntry::File("b.wav", 11, Bytes(10, 2)));
  // Checks: a.wav, F, F:b.wav in the index walk, then one as the data is found in place.
  for (int stopAt : {1, 2, 3, 4}) {
    SCOPED_TRACE(stopAt);
    job = RecordingJob();
    job.stopAtCheck = stopAt;
    CHamperDescription description = Description();
    EXPECT_THROW(Compose(tree, description), NSFerryman::XUserCancelled);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

}  // namespace
