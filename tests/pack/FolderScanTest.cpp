#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FakeNavigationItem.h"
#include "framework/media/Exceptions.h"
#include "pack/FolderScan.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Names ending in "/" are folders.
CNavigationHolder Fake(const std::string& name, std::vector<CNavigationHolder> children = {}) {
  if (!name.empty() && name.back() == '/') {
    return CFakeNavigationItem::Folder(name.substr(0, name.size() - 1), std::move(children));
  }
  return CFakeNavigationItem::File(name);
}

// What the pack job does with the input folder: the sorted top level, then each entry scanned in
// list order.
CFileEntryList ScanTopLevel(const CItemReference& input, CABCCallbackInterface* callback = nullptr) {
  CFileEntryList top = ListTopLevel(input);
  for (const auto& entry : top) ScanFolder(*entry, callback);
  return top;
}

// Relative paths in walk order; folders end in "/".
void Walk(const CFileEntryList& list, std::vector<std::string>& out) {
  for (const auto& e : list) {
    out.push_back(e->GetRelativePath() + (e->IsFolder() ? "/" : ""));
    Walk(e->GetChildren(), out);
  }
}
std::vector<std::string> Walk(const CFileEntryList& list) {
  std::vector<std::string> out;
  Walk(list, out);
  return out;
}

std::vector<std::string> Names(const CFileEntryList& list) {
  std::vector<std::string> names;
  for (const auto& e : list) names.push_back(e->GetName() + (e->IsFolder() ? "/" : ""));
  return names;
}

struct COrderCase {
  std::vector<std::string> arrival;
  std::vector<std::string> expected;
};

TEST(FolderScanTest, ListsOrderFilesFirstByUpperCasedKeyInArrivalOrderOnTies) {
  const std::vector<COrderCase> cases = {
      {{"Drums/", "Splash.jpg", "bass.wav", "INFO.TXT"}, {"bass.wav", "INFO.TXT", "Splash.jpg", "Drums/"}},
      {{"a.wav", "A.WAV"}, {"a.wav", "A.WAV"}},
      {{"A.WAV", "a.wav"}, {"A.WAV", "a.wav"}},
      {{"b", "B", "a", "b", "A"}, {"a", "A", "b", "B", "b"}},
      {{"Kick2", "Kick"}, {"Kick", "Kick2"}},
      {{"kick_", "kicka"}, {"kicka", "kick_"}},  // "_" is 95, above the upper-cased "A", 65
      {{"\xC3\xA9.wav", "z.wav"}, {"z.wav", "\xC3\xA9.wav"}},  // bytes compare unsigned
      // "[" is 91: above the upper-cased "Z" (90), below a lower-case "z" (122).
      {{"zeta/", "x.txt", "[x]/", "Alpha/", "alpha/"}, {"x.txt", "Alpha/", "alpha/", "zeta/", "[x]/"}},
      {{}, {}},
  };
  for (const COrderCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arrival));
    // One insertion at a time.
    CFileEntryList inserted;
    for (const auto& name : c.arrival) InsertSorted(std::make_unique<CFileEntry>(CItemReference(Fake(name))), inserted);
    EXPECT_EQ(Names(inserted), c.expected);
    // And the scan of a folder that yields them in this order.
    std::vector<CNavigationHolder> children;
    for (const auto& name : c.arrival) children.push_back(Fake(name));
    CFileEntry folder(CItemReference(Fake("in/", children)));
    ScanFolder(folder);
    EXPECT_EQ(Names(folder.GetChildren()), c.expected);
  }
}

TEST(FolderScanTest, ScanningAFolderOrdersLikeInsertingOneByOne) {
  // Many equal keys and mixed kinds: the scan sorts a whole folder at once and must land on the
  // very order that insertion gives, equal keys included.
  std::mt19937 random(7);
  const std::string letters = "aAbB_1";
  for (int round = 0; round < 20; ++round) {
    std::vector<CNavigationHolder> children;
    for (int i = 0; i < 200; ++i) {
      std::string name;
      for (std::size_t n = 1 + random() % 3; n > 0; --n) name += letters[random() % letters.size()];
      children.push_back(Fake(random() % 4 == 0 ? name + "/" : name));
    }
    CFileEntryList inserted;
    for (const auto& c : children) InsertSorted(std::make_unique<CFileEntry>(CItemReference(c)), inserted);
    CFileEntry folder(CItemReference(CFakeNavigationItem::Folder("in", children)));
    ScanFolder(folder);
    ASSERT_EQ(folder.GetChildren().size(), inserted.size());
    for (std::size_t i = 0; i < inserted.size(); ++i) {
      ASSERT_EQ(folder.GetChildren()[i]->GetItem().GetItem().Get(), inserted[i]->GetItem().GetItem().Get())
          << "round " << round << ", position " << i;
    }
  }
}

class ScannedTreeTest : public ::testing::Test {
 protected:
  ScannedTreeTest()
      : input_(CItemReference(Fake(
            "Input/", {Fake("Songs/", {Fake("demo.tns")}),
                       Fake("Drums/", {Fake("Loops/", {Fake("break.aif")}), Fake("Kick2.WAV"),
                                       Fake("Empty/"), Fake("Kick.wav")}),
                       Fake("Notes.doc"), Fake("Splash.jpg"), Fake("INFO.TXT"), Fake("bass.wav")}))) {}
  CItemReference input_;
};

TEST_F(ScannedTreeTest, TreeHasPathsTypesAndCounts) {
  const CFileEntryList top = ScanTopLevel(input_);
  EXPECT_EQ(Walk(top), (std::vector<std::string>{
                           "bass.wav", "INFO.TXT", "Notes.doc", "Splash.jpg", "Drums/", "Drums:Kick.wav",
                           "Drums:Kick2.WAV", "Drums:Empty/", "Drums:Loops/", "Drums:Loops:break.aif",
                           "Songs/", "Songs:demo.tns"}));
  struct CExpect {
    std::string path;
    int itemType;
  };
  const std::vector<CExpect> expected = {{"bass.wav", 11},     {"INFO.TXT", 0},        {"Notes.doc", 0},
                                         {"Splash.jpg", 9},    {"Drums:Kick.wav", 11}, {"Drums:Kick2.WAV", 11},
                                         {"Drums:Loops:break.aif", 11}, {"Songs:demo.tns", 1}};
  std::size_t total = 0;
  for (const auto& e : top) total += CountPackableFiles(*e);
  EXPECT_EQ(total, 6u);

  ASSERT_EQ(top.size(), 6u);
  const CFileEntry& drums = *top[4];
  ASSERT_TRUE(drums.IsFolder());
  ASSERT_EQ(drums.GetChildren().size(), 4u);
  EXPECT_EQ(CountPackableFiles(drums), 3u);
  EXPECT_EQ(drums.GetParent(), nullptr);
  const CFileEntry& empty = *drums.GetChildren()[2];
  EXPECT_TRUE(empty.IsFolder());
  EXPECT_TRUE(empty.GetChildren().empty());
  EXPECT_EQ(CountPackableFiles(empty), 0u);
  EXPECT_EQ(empty.GetParent(), &drums);
  EXPECT_EQ(empty.GetItemType(), 0);

  // Types by path, over the whole walk.
  std::vector<const CFileEntry*> files;
  std::vector<const CFileEntryList*> lists = {&top};
  while (!lists.empty()) {
    const CFileEntryList* list = lists.back();
    lists.pop_back();
    for (const auto& e : *list) {
      if (e->IsFolder()) lists.push_back(&e->GetChildren());
      else files.push_back(e.get());
    }
  }
  ASSERT_EQ(files.size(), expected.size());
  for (const CExpect& x : expected) {
    auto it = std::find_if(files.begin(), files.end(), [&](const CFileEntry* f) { return f->GetRelativePath() == x.path; });
    ASSERT_NE(it, files.end()) << x.path;
    EXPECT_EQ((*it)->GetItemType(), x.itemType) << x.path;
    EXPECT_TRUE((*it)->IsIncluded());
    EXPECT_EQ((*it)->GetPackedSize(), 0u);
  }
}

class CStopAfter : public CABCCallbackInterface {
 public:
  explicit CStopAfter(int calls) : left_(calls) {}
  bool Callback(const std::string& folderName) override {
    names.push_back(folderName);
    return --left_ < 0;
  }
  std::vector<std::string> names;

 private:
  int left_;
};

TEST_F(ScannedTreeTest, CallbackNamesTheFolderAndStops) {
  CStopAfter never(1000);
  const CFileEntryList top = ScanTopLevel(input_, &never);
  // One call per child found, with the name of the folder being scanned.
  EXPECT_EQ(never.names, (std::vector<std::string>{"Drums", "Drums", "Drums", "Drums", "Loops", "Songs"}));

  CStopAfter stop(2);
  CFileEntry drums(CItemReference(input_.GetFirstChild().GetNextSibling(input_)));
  EXPECT_THROW(ScanFolder(drums, &stop), NSFerryman::XUserCancelled);
  // What was found before the stop stays in the tree, in order.
  EXPECT_EQ(Names(drums.GetChildren()), (std::vector<std::string>{"Kick2.WAV", "Loops/"}));

  ASSERT_EQ(top.size(), 6u);
  CStopAfter stopCount(3);
  EXPECT_THROW(CountPackableFiles(*top[4], &stopCount), NSFerryman::XUserCancelled);
}

TEST(FolderScanTest, APackableFileWithAColonInItsPathIsRefused) {
  CFileEntryList top = ScanTopLevel(CItemReference(Fake(
      "in/", {Fake("a:b.txt"), Fake("ok/", {Fake("x.wav")}), Fake("c:d/", {Fake("e.wav")}), Fake("f:g.wav")})));
  // "a:b.txt" (not packed), "f:g.wav", then the folders "c:d" and "ok".
  EXPECT_EQ(CountPackableFiles(*top[0]), 0u);
  CheckHamperPath(*top[3]->GetChildren()[0]);
  try {
    CheckHamperPath(*top[1]);
    FAIL() << "f:g.wav passed";
  } catch (const NSFerryman::XUnsupportedFormat& e) {
    EXPECT_NE(e.Detail().find("f:g.wav"), std::string::npos) << e.Detail();
  }
  // A folder's name counts as much as the file's own.
  EXPECT_THROW(CheckHamperPath(*top[2]->GetChildren()[0]), NSFerryman::XUnsupportedFormat);
}

TEST(FolderScanTest, EntriesKeepExternalHamperNamesOnce) {
  CFileEntry entry(CItemReference(Fake("song.tns")));
  for (const char* name : {"Drums", "Keys", "Drums", "Bass", "Keys"}) entry.AddExternalHamperName(name);
  EXPECT_EQ(entry.GetExternalHamperNames(), (std::vector<std::string>{"Drums", "Keys", "Bass"}));
}

TEST(FolderScanTest, ScansARealFolderTree) {
  test::TempDir dir;
  test::WriteFileText(dir / "in" / "b.wav", "b");
  test::WriteFileText(dir / "in" / "a.WAV", "a");
  test::WriteFileText(dir / "in" / "Sub" / "c.mid", "c");
  test::WriteFileText(dir / "in" / "Sub" / "Deeper" / "d.tif", "d");
  test::WriteFileText(dir / "in" / ".DS_Store", "hidden");
  fs::create_directories(dir / "in" / "Nothing" / "Inside");
  const CFileEntryList top = ScanTopLevel(CItemReference::ForPath((dir / "in").string()));
  EXPECT_EQ(Walk(top), (std::vector<std::string>{"a.WAV", "b.wav", "Nothing/", "Nothing:Inside/", "Sub/",
                                                 "Sub:c.mid", "Sub:Deeper/", "Sub:Deeper:d.tif"}));
  std::size_t total = 0;
  for (const auto& e : top) total += CountPackableFiles(*e);
  EXPECT_EQ(total, 4u);
  ASSERT_EQ(top.size(), 4u);
  ASSERT_FALSE(top[3]->GetChildren().empty());
  EXPECT_EQ(top[3]->GetChildren()[0]->GetItemType(), 10);
  auto media = top[1]->GetItem().Open();
  EXPECT_EQ(media->GetSize(), 1u);
  EXPECT_THROW(top[2]->GetItem().Open(), NSFerryman::XFileNotFound);
}

TEST(FolderScanTest, AFolderThatLeadsBackToAnAncestorIsRefused) {
  test::TempDir dir;
  test::WriteFileText(dir / "in" / "Kits" / "k.wav", "k");
  fs::create_directory_symlink(dir / "in", dir / "in" / "Kits" / "Up");
  fs::create_directory_symlink(dir / "in" / "Kits", dir / "in" / "Kits" / "Again");
  try {
    ScanTopLevel(CItemReference::ForPath((dir / "in").string()));
    FAIL() << "the scan ended";
  } catch (const NSFerryman::XShellUnableToOpenContainer& e) {
    EXPECT_NE(e.Detail().find("Kits:Again"), std::string::npos) << e.Detail();
  }
}

}  // namespace
