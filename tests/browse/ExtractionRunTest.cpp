// Extraction as the browser runs it: what it writes, keeps and replaces, its progress in bytes,
// and a stop inside an item, which leaves whole files only.

#include <gtest/gtest.h>

#include <functional>

#include "browse/BrowseFixtures.h"
#include "browse/ExtractionRun.h"
#include "framework/media/HiddenFile.h"

using namespace browsetest;

namespace {

struct CRecordingHost : MExtractionHost {
  bool StopRequested() override { return stopWhen && stopWhen(); }
  void ShowExtractionProgress(std::uint64_t d, std::uint64_t t, std::string_view item) override {
    EXPECT_GE(d, done);
    done = d;
    total = t;
    current = item;
  }
  std::function<bool()> stopWhen;
  std::uint64_t done = 0, total = 0;
  std::string current;
};

std::vector<std::size_t> AllRecords(const CHamperContents& contents) {
  std::vector<std::size_t> all(contents.Index().Size());
  for (std::size_t r = 0; r < all.size(); ++r) all[r] = r;
  return all;
}

std::vector<CExtractionItem> AllItems(const CHamperContents& contents) {
  return ItemsAtTheirPaths(contents, AllRecords(contents));
}

TEST(ExtractionRun, WritesWhatExtractWritesKeepsWhatIsThereAndReplacesOnRequest) {
  const PackedHampers& packed = PackedHampers::Get();
  const fs::path byCommand = packed.Scratch() / "run-by-command";
  fs::remove_all(byCommand);
  ASSERT_EQ(packedtest::Hamper("extract " + Q(packed.Demo()) + " " + Q(byCommand), packed.Scratch()).code, 0);
  const auto demo = CHamperContents::Open(packed.Demo().string());
  const fs::path out = packed.Scratch() / "run";
  fs::remove_all(out);

  CRecordingHost host;
  const std::vector<std::size_t> all = AllRecords(*demo);
  {
    CExtractionRun run(*demo, out.string());
    const CExtractionOutcome outcome = run.Extract(ItemsAtTheirPaths(*demo, all), false, host);
    EXPECT_EQ(outcome.written, all);
    EXPECT_TRUE(outcome.kept.empty() && outcome.failed.empty() && !outcome.stopped);
    EXPECT_EQ(host.done, host.total);
    EXPECT_EQ(host.current, "");
    const CExtractionOutcome description = run.ExtractDescription(false);
    EXPECT_EQ(description.descriptionWritten, 1u);
  }
  EXPECT_TRUE(FilesBelow(out) == FilesBelow(byCommand));

  test::WriteFileText(out / "Drums/Kick.wav", "mine");
  host = {};
  CExtractionRun again(*demo, out.string());
  const CExtractionOutcome kept = again.Extract(ItemsAtTheirPaths(*demo, {5, 6}), false, host);
  EXPECT_EQ(kept.kept, ItemsAtTheirPaths(*demo, {5, 6}));
  EXPECT_EQ(test::ReadFileBytes(out / "Drums/Kick.wav"), (Bytes{'m', 'i', 'n', 'e'}));
  host = {};
  const CExtractionOutcome replaced = again.Extract(kept.kept, true, host);
  EXPECT_EQ(replaced.written, (std::vector<std::size_t>{5, 6}));
  // The description file that is there is kept, and replaced when asked by name.
  test::WriteFileText(out / "INFO.TXT", "mine");
  const CExtractionOutcome keptInfo = again.ExtractDescription(false);
  EXPECT_EQ(keptInfo.keptDescription, std::vector<std::string>{"INFO.TXT"});
  EXPECT_EQ(again.ExtractDescription(true, keptInfo.keptDescription).descriptionWritten, 1u);
  EXPECT_TRUE(FilesBelow(out) == FilesBelow(byCommand));
}

TEST(ExtractionRun, AStopInsideAnItemLeavesOnlyWholeFiles) {
  const PackedHampers& packed = PackedHampers::Get();
  const auto demo = CHamperContents::Open(packed.Demo().string());
  const fs::path out = packed.Scratch() / "stopped";
  fs::remove_all(out);
  const std::size_t groove = RecordOf(*demo, "Loops:Harbor Groove.wav");
  std::uint64_t grooveStart = 0;
  for (std::size_t r = 0; r < groove; ++r) grooveStart += demo->Index().ItemSize(r);

  // Stopped once the item has been read a little way into.
  CRecordingHost host;
  host.stopWhen = [&] { return host.current == "Loops:Harbor Groove.wav" && host.done > grooveStart; };
  CExtractionRun run(*demo, out.string());
  const CExtractionOutcome outcome = run.Extract(AllItems(*demo), false, host);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_LT(host.done, grooveStart + demo->Index().ItemSize(groove));
  EXPECT_EQ(outcome.written.size(), groove);
  EXPECT_EQ(outcome.notTried, demo->Index().Size() - groove);

  // What was written is whole; the item stopped in left nothing, not even its hidden file.
  const std::map<std::string, Bytes> files = FilesBelow(out);
  EXPECT_EQ(files.size(), groove);
  for (const auto& [name, bytes] : files) EXPECT_FALSE(NSFerryman::IsHiddenFileName(fs::path(name).filename().string())) << name;
  EXPECT_FALSE(files.contains("Loops/Harbor Groove.wav"));
  const fs::path whole = packed.Scratch() / "whole";
  fs::remove_all(whole);
  CRecordingHost never;
  CExtractionRun(*demo, whole.string()).Extract(ItemsAtTheirPaths(*demo, outcome.written), false, never);
  EXPECT_TRUE(files == FilesBelow(whole));
}

// What is dragged out lands where it is dropped: a folder with what is below it, an item alone,
// and an item inside a folder dragged with it only once, below that folder.
TEST(ExtractionRun, DraggedNodesLandWithTheirOwnNames) {
  const auto demo = CHamperContents::Open(PackedHampers::Get().Demo().string());
  const CHamperTree& tree = demo->Tree();
  const std::uint32_t kick = tree.NodeOfRecord(RecordOf(*demo, "Drums:Kick.wav"));
  const std::uint32_t drums = tree.Node(kick).parent;
  const std::uint32_t groove = tree.NodeOfRecord(RecordOf(*demo, "Loops:Harbor Groove.wav"));
  const std::vector<std::uint32_t> nodes = {kick, groove};
  std::vector<std::string> paths;
  for (const CExtractionItem& item : DraggedItems(*demo, nodes)) paths.push_back(item.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"Kick.wav", "Harbor Groove.wav"}));

  const std::vector<std::uint32_t> withFolder = {kick, drums};
  paths.clear();
  for (const CExtractionItem& item : DraggedItems(*demo, withFolder)) paths.push_back(item.path);
  EXPECT_EQ(paths.size(), 6u);
  EXPECT_TRUE(std::find(paths.begin(), paths.end(), "Drums:Kick.wav") != paths.end());
  for (const std::string& path : paths) EXPECT_TRUE(path.starts_with("Drums:")) << path;
}

}  // namespace
