#include "container/HamperFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <atomic>
#include <functional>
#include <thread>

#include "container/FindItemByPath.h"
#include "container/HamperDirEntry.h"
#include "container/HamperFileEntry.h"
#include "container/HamperFixtures.h"
#include "container/HamperHeader.h"
#include "filetypes/FileType.h"
#include "framework/media/OpenFile.h"
#include "support/TestSupport.h"

using hampertest::Bytes;
using hampertest::Description;
using hampertest::FakeEntry;
using hampertest::FakeTree;
using hampertest::RecordingJob;

namespace {

std::vector<std::uint8_t> ReadAll(NSFerryman::CMedia& media) {
  std::vector<std::uint8_t> bytes(media.GetSize());
  if (!bytes.empty()) media.ReadAt(0, bytes.size(), bytes.data());
  return bytes;
}

std::vector<std::string> ChildNames(const MINavigationInterface& item) {
  std::vector<std::string> names;
  for (CNavigationHolder c = item.GetFirstChild(); c; c = item.GetNextChild(*c)) names.push_back(c->GetName());
  return names;
}

// Walks the node lists with exact names, hidden nodes included.
CNavigationHolder ExactFind(const MINIHamperFile& file, const std::string& path) {
  const CHamperNodeList* level = &file.Children();
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = path.find(':', start);
    const std::string name = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    std::size_t i = 0;
    while (i < level->Size() && level->At(i).GetName() != name) ++i;
    if (i == level->Size()) return {};
    if (colon == std::string::npos) return level->Share(i);
    level = &static_cast<const MINIHamperDirEntry&>(level->At(i)).Children();
    start = colon + 1;
  }
}

class HamperReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.Add(FakeEntry::File("bass.wav", 11, Bytes(1000, 1)));
    tree.Add(FakeEntry::File("splash.jpg", 9, Bytes(300, 2)));
    tree.Add(FakeEntry::File("song.tns", 1, Bytes(40, 3)));
    tree.Add(FakeEntry::File("x.pad", 14, Bytes(12, 4)));
    FakeEntry& kits = tree.Add(FakeEntry::Folder("Kits"));
    kits.Add(FakeEntry::File("A.wav", 11, Bytes(70000, 5)));
    kits.Add(FakeEntry::File("B.wav", 11, {}));
    kits.Add(FakeEntry::File("C.wav", 11, Bytes(5, 6)));
    kits.Add(FakeEntry::Folder("Deep")).Add(FakeEntry::File("Loop.sl2", 6, Bytes(99, 7)));
    tree.Add(FakeEntry::Folder("Drums")).Add(FakeEntry::File("Kick.wav", 11, Bytes(10, 8)));
    tree.Add(FakeEntry::Folder("drums")).Add(FakeEntry::File("Snare.wav", 11, Bytes(11, 9)));
    CHamperDescription description = Description("Reader Kit");
    RecordingJob job;
    CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(path.string()));
  }

  const FakeEntry& Source(const std::string& hamperPath) const {
    const FakeEntry* found = nullptr;
    std::function<void(const FakeEntry&)> walk = [&](const FakeEntry& e) {
      if (e.GetHamperPath() == hamperPath) found = &e;
      for (const auto& c : e.children) walk(*c);
    };
    for (const auto& e : tree.top) walk(*e);
    if (!found) throw std::runtime_error("no source " + hamperPath);
    return *found;
  }

  test::TempDir dir;
  std::filesystem::path path = dir / "kit.hmp";
  FakeTree tree;
};

TEST_F(HamperReaderTest, TreeFollowsTheIndex) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  const auto& file = static_cast<const MINIHamperFile&>(*hamper);
  EXPECT_TRUE(file.IsIndexLoaded());
  EXPECT_EQ(hamper->GetName(), "Reader Kit");
  EXPECT_TRUE(hamper->IsContainer());
  // The splash picture and the PAD data are hidden at the top level; folders differing in
  // letter case stay apart.
  EXPECT_EQ(ChildNames(*hamper), (std::vector<std::string>{"bass.wav", "song.tns", "Kits", "Drums", "drums"}));
  EXPECT_EQ(file.Children().Size(), 7u);
  EXPECT_EQ(hamper->GetLastChild()->GetName(), "drums");
  EXPECT_FALSE(hamper->GetNextChild(*hamper->GetLastChild()));
  EXPECT_FALSE(hamper->GetPreviousChild(*hamper->GetFirstChild()));
  EXPECT_EQ(hamper->GetPreviousChild(*hamper->GetLastChild())->GetName(), "Drums");
  // From "song.tns" back to "bass.wav" the hidden splash is stepped over.
  CNavigationHolder song = hamper->GetNextChild(*hamper->GetFirstChild());
  EXPECT_EQ(hamper->GetPreviousChild(*song)->GetName(), "bass.wav");

  CNavigationHolder kits = FindItemByPath(*hamper, CHamperIndexEntry(0, 0, 0, false, "Kits"));
  EXPECT_TRUE(kits->IsContainer());
  EXPECT_EQ(kits->GetImage(), 11);
  EXPECT_EQ(ChildNames(*kits), (std::vector<std::string>{"A.wav", "B.wav", "C.wav", "Deep"}));
  EXPECT_EQ(kits->GetLastChild()->GetName(), "Deep");
  EXPECT_EQ(kits->GetParent(), hamper);
  CNavigationHolder b = kits->GetNextChild(*kits->GetFirstChild());
  EXPECT_EQ(kits->GetPreviousChild(*b)->GetName(), "A.wav");
  EXPECT_FALSE(b->GetFirstChild());
  EXPECT_EQ(b->GetParent(), kits);
}

TEST_F(HamperReaderTest, EveryItemReadsBackItsBytes) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  const auto& file = static_cast<const MINIHamperFile&>(*hamper);
  NSFerryman::COpenFile media{NSFerryman::CFileSpec(path.string())};
  const CHamperDescription header = ReadAndCheckHamperHeader(media);
  EXPECT_EQ(header, file.GetHeader());
  const auto records = ReadHamperIndex(media, header);
  ASSERT_EQ(records.size(), 10u);
  for (const CHamperIndexEntry& record : records) {
    SCOPED_TRACE(record.GetPath());
    // Through the tree by exact names: hidden top-level items cannot be found by FindItemByPath.
    CNavigationHolder item = ExactFind(file, record.GetPath());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->GetSize(), record.GetSize());
    auto bytes = item->OpenMedia();
    ASSERT_TRUE(bytes);
    EXPECT_EQ(ReadAll(*bytes), Source(record.GetPath()).bytes);
    EXPECT_EQ(item->GetFileType(), MINIHamperFileEntry::FileTypeOfItemType(record.GetItemType()));
  }
  EXPECT_EQ(ReadAll(*hamper->OpenMedia()), test::ReadFileBytes(path));
}

TEST_F(HamperReaderTest, ItemsPresentTheirTypeAndImage) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  CNavigationHolder wav = hamper->GetFirstChild();
  ASSERT_NE(wav->GetFileType(), nullptr);
  EXPECT_EQ(wav->GetFileType()->GetDescription(), "VORP files");
  EXPECT_EQ(wav->GetImage(), 207);
  CNavigationHolder song = hamper->GetNextChild(*wav);
  EXPECT_EQ(song->GetFileType(), &TesselSongFileType());
  EXPECT_EQ(song->GetImage(), 2);
  EXPECT_EQ(MINIHamperFileEntry::FileTypeOfItemType(14), nullptr);
  EXPECT_EQ(MINIHamperFileEntry::FileTypeOfItemType(9), &JpegBitmapFileType());
}

TEST_F(HamperReaderTest, SharedMediaOpensOnceAndClosesWithTheLastUser) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  const auto& file = static_cast<const MINIHamperFile&>(*hamper);
  EXPECT_FALSE(file.IsMediaOpen());  // dropped again after the index was read
  CNavigationHolder kits = FindItemByPath(*hamper, CHamperIndexEntry(0, 0, 0, false, "Kits"));
  CNavigationHolder a = kits->GetFirstChild();
  CNavigationHolder c = kits->GetNextChild(*kits->GetNextChild(*a));

  auto mediaA = a->OpenMedia();
  NSFerryman::CMedia* shared = nullptr;
  {
    auto mediaC = c->OpenMedia();
    auto whole = hamper->OpenMedia();
    EXPECT_EQ(file.GetOpenCount(), 3);
    EXPECT_TRUE(file.IsMediaOpen());
    shared = &file.AcquireMedia();
    file.ReleaseMedia();
    // Reads in turns keep their own positions.
    std::uint8_t first[10];
    std::uint8_t other[5];
    mediaA->Read(sizeof first, first);
    mediaC->Read(sizeof other, other);
    std::uint8_t next[10];
    mediaA->Read(sizeof next, next);
    const auto& source = Source("Kits:A.wav").bytes;
    EXPECT_TRUE(std::equal(next, next + 10, source.begin() + 10));
    EXPECT_TRUE(std::equal(other, other + 5, Source("Kits:C.wav").bytes.begin()));
    EXPECT_EQ(mediaA->GetPosition(), 20u);
  }
  EXPECT_EQ(file.GetOpenCount(), 1);
  EXPECT_EQ(&file.AcquireMedia(), shared);  // still the same open file
  file.ReleaseMedia();
  mediaA.reset();
  EXPECT_EQ(file.GetOpenCount(), 0);
  EXPECT_FALSE(file.IsMediaOpen());

  // Opening another reopens it.
  auto again = c->OpenMedia();
  EXPECT_TRUE(file.IsMediaOpen());
  EXPECT_EQ(ReadAll(*again), Source("Kits:C.wav").bytes);
  again.reset();
  EXPECT_FALSE(file.IsMediaOpen());

  // A keep-open hold outlasts the last media.
  file.AddKeepOpen();
  again = c->OpenMedia();
  again.reset();
  EXPECT_TRUE(file.IsMediaOpen());
  file.ReleaseKeepOpen();
  EXPECT_FALSE(file.IsMediaOpen());
}

TEST_F(HamperReaderTest, ItemsReadOnSeveralThreadsAtOnce) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  const auto& file = static_cast<const MINIHamperFile&>(*hamper);
  const char* const paths[] = {"Kits:A.wav", "Kits:C.wav", "bass.wav", "Kits:Deep:Loop.sl2"};
  std::vector<std::thread> threads;
  std::atomic<int> mismatches{0};
  for (const char* p : paths) {
    threads.emplace_back([&, p] {
      const CNavigationHolder item = FindItemByPath(*hamper, CHamperIndexEntry(0, 0, 0, false, p));
      for (int round = 0; round < 50; ++round) {
        auto media = item->OpenMedia();
        std::vector<std::uint8_t> bytes(media->GetSize());
        // Small reads, so that the threads take turns on the shared file often.
        for (std::size_t done = 0; done < bytes.size(); done += 7) {
          media->Read(std::min<std::size_t>(7, bytes.size() - done), bytes.data() + done);
        }
        if (bytes != Source(p).bytes) ++mismatches;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(file.GetOpenCount(), 0);
  EXPECT_FALSE(file.IsMediaOpen());
}

TEST_F(HamperReaderTest, HeldNodesAndMediaKeepTheHamperAlive) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  CNavigationHolder kits = FindItemByPath(*hamper, CHamperIndexEntry(0, 0, 0, false, "Kits"));
  auto media = hamper->OpenMedia();
  hamper.Reset();
  CNavigationHolder deep = kits->GetLastChild();
  CNavigationHolder loop = deep->GetFirstChild();
  kits.Reset();
  deep.Reset();
  EXPECT_EQ(ReadAll(*loop->OpenMedia()), Source("Kits:Deep:Loop.sl2").bytes);
  EXPECT_EQ(loop->GetParent()->GetParent()->GetParent()->GetName(), "Reader Kit");
  loop.Reset();
  EXPECT_EQ(media->GetSize(), test::ReadFileBytes(path).size());
}

TEST_F(HamperReaderTest, FindItemByPathNeedsExactlyOneMatch) {
  CNavigationHolder hamper = MINIHamperFile::Make(path.string());
  struct Case {
    const char* path;
    const char* found;  // null: XBadFormat
  };
  const Case cases[] = {
      {"Kits:A.wav", "A.wav"},
      {"KITS:a.WAV", "A.wav"},          // letter case is ignored
      {"Kits:Deep:Loop.sl2", "Loop.sl2"},
      {"Kits:", "Kits"},
      {"bass.wav", "bass.wav"},
      {"Kits:Missing.wav", nullptr},
      {"Kits:A.wa", nullptr},           // lengths must be equal
      {"Drums:Kick.wav", "Kick.wav"},   // "Drums" and "drums" both match; the one spelled so wins
      {"drums:Snare.wav", "Snare.wav"},
      {"DRUMS:Kick.wav", nullptr},      // both match and neither exactly
      {"splash.jpg", nullptr},          // hidden at the top level
      {"bass.wav:more", nullptr},       // an item has no children
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const CHamperIndexEntry record(11, 0, 0, false, c.path);
    if (c.found) {
      CNavigationHolder item = FindItemByPath(*hamper, record);
      ASSERT_TRUE(item);
      EXPECT_EQ(item->GetName(), c.found);
    } else {
      EXPECT_THROW(FindItemByPath(*hamper, record), NSFerryman::XBadFormat);
    }
  }
  EXPECT_EQ(FindItemByPath(*hamper, CHamperIndexEntry()), hamper);
}

TEST(HamperReaderNames, UnprintableAndSeparatorCharactersMeetAsUnderscore) {
  test::TempDir dir;
  FakeTree tree;
  tree.Add(FakeEntry::File("a|b.wav", 11, Bytes(3, 1)));
  tree.Add(FakeEntry::File("caf\xE9.wav", 11, Bytes(3, 2)));
  tree.Add(FakeEntry::File("x_y.wav", 11, Bytes(3, 3)));
  tree.Add(FakeEntry::File("x/y.wav", 11, Bytes(3, 4)));
  CHamperDescription description = Description();
  RecordingJob job;
  const auto path = (dir / "n.hmp").string();
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(path));
  CNavigationHolder hamper = MINIHamperFile::Make(path);
  auto find = [&](const char* p) { return FindItemByPath(*hamper, CHamperIndexEntry(11, 0, 0, false, p)); };
  EXPECT_EQ(find("a/b.WAV")->GetName(), "a|b.wav");
  EXPECT_EQ(find("CAF\xC9.wav")->GetName(), "caf\xE9.wav");
  EXPECT_EQ(find("caf_.wav")->GetName(), "caf\xE9.wav");
  EXPECT_THROW(find("x\\y.wav"), NSFerryman::XBadFormat);  // meets both x_y.wav and x/y.wav
}

TEST(HamperReaderDamage, DamagedFileGivesAnEmptyItem) {
  test::TempDir dir;
  FakeTree tree;
  tree.Add(FakeEntry::File("a.wav", 11, Bytes(100, 1)));
  CHamperDescription description = Description();
  RecordingJob job;
  const auto good = dir / "good.hmp";
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(good.string()));
  const auto bytes = test::ReadFileBytes(good);

  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  };
  const Case cases[] = {
      {"signature block", [](auto& b) { b[20] ^= 0xFF; }},
      {"truncated index",
       [&](auto& b) {
         // Header fields stay consistent (size, and the data offset moved to the index) so that
         // only the index is short.
         auto put = [&](std::size_t at, std::uint32_t v) {
           for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
         };
         b.resize(description.GetIndexOffset() + 3);
         put(4, static_cast<std::uint32_t>(b.size()));
         put(description.GetIndexOffset() - 4, description.GetIndexOffset());
       }},
      {"empty file", [](auto& b) { b.clear(); }},
      {"text file", [](auto& b) { b.assign({'h', 'e', 'l', 'l', 'o'}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto damaged = bytes;
    c.damage(damaged);
    const auto p = dir / "damaged.hmp";
    test::WriteFileBytes(p, damaged);
    CNavigationHolder item;
    ASSERT_NO_THROW(item = MINIHamperFile::Make(p.string()));
    const auto& file = static_cast<const MINIHamperFile&>(*item);
    EXPECT_EQ(item->GetName(), "");
    EXPECT_FALSE(item->GetFirstChild());
    EXPECT_FALSE(file.IsIndexLoaded());
    EXPECT_EQ(file.GetHeader(), CHamperDescription());
    EXPECT_FALSE(file.IsMediaOpen());
  }
  for (const auto& missing : {dir / "missing.hmp", dir.Path()}) {
    CNavigationHolder item;
    ASSERT_NO_THROW(item = MINIHamperFile::Make(missing.string()));
    EXPECT_EQ(item->GetName(), "");
    EXPECT_FALSE(item->GetFirstChild());
  }
}

TEST(HamperReaderDamage, ItemOutsideTheFileIsRefusedWhenOpened) {
  test::TempDir dir;
  FakeTree tree;
  tree.Add(FakeEntry::File("a.wav", 11, Bytes(100, 1)));
  CHamperDescription description = Description();
  RecordingJob job;
  const auto p = dir / "h.hmp";
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(p.string()));
  auto bytes = test::ReadFileBytes(p);
  // The record's Size follows its Path (4 + 5 bytes), ItemType (1) and Offset (4).
  for (std::uint32_t size : {101u, 0xFFFFFFFFu}) {
    const std::size_t at = description.GetIndexOffset() + 9 + 1 + 4;
    bytes[at] = static_cast<std::uint8_t>(size >> 24);
    bytes[at + 1] = static_cast<std::uint8_t>(size >> 16);
    bytes[at + 2] = static_cast<std::uint8_t>(size >> 8);
    bytes[at + 3] = static_cast<std::uint8_t>(size);
    test::WriteFileBytes(p, bytes);
    CNavigationHolder hamper = MINIHamperFile::Make(p.string());
    CNavigationHolder item = hamper->GetFirstChild();
    ASSERT_TRUE(item);
    EXPECT_THROW(item->OpenMedia(), NSFerryman::XBadFormat);
    EXPECT_FALSE(static_cast<const MINIHamperFile&>(*hamper).IsMediaOpen());
  }
}

}  // namespace

namespace {

// Walks everything the item offers and reads every item; only our exceptions may come out.
void WalkAndRead(const MINavigationInterface& item) {
  for (CNavigationHolder c = item.GetFirstChild(); c; c = item.GetNextChild(*c)) {
    try {
      if (auto media = c->OpenMedia()) ReadAll(*media);
    } catch (const NSFerryman::XBase&) {
    }
    WalkAndRead(*c);
  }
}

TEST(HamperReaderDamage, CorruptedHeadersAndIndexesNeverCrash) {
  test::TempDir dir;
  FakeTree tree;
  tree.Add(FakeEntry::File("a.wav", 11, Bytes(100, 1)));
  tree.Add(FakeEntry::File("Splash.jpg", 9, Bytes(10, 2)));
  FakeEntry& f = tree.Add(FakeEntry::Folder("F"));
  f.Add(FakeEntry::File("b.mid", 10, Bytes(50, 3)));
  f.Add(FakeEntry::Folder("G")).Add(FakeEntry::File("c.tns", 1, Bytes(20, 4)));
  CHamperDescription description = Description();
  RecordingJob job;
  const auto good = dir / "good.hmp";
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(good.string()));
  const auto bytes = test::ReadFileBytes(good);
  const std::size_t dataOffset = description.GetDataOffset();

  // Damage lands in the description record and the index, where the reader must trust nothing.
  std::uint32_t x = 12345;
  auto next = [&] { return x = x * 1103515245u + 12345u, x >> 8; };
  for (int round = 0; round < 400; ++round) {
    auto damaged = bytes;
    const int flips = 1 + static_cast<int>(next() % 4);
    for (int i = 0; i < flips; ++i) {
      const std::size_t at = 264 + next() % (dataOffset - 264);
      damaged[at] = static_cast<std::uint8_t>(round % 3 == 0 ? damaged[at] ^ (1u << (next() % 8)) : next());
    }
    const auto p = dir / "d.hmp";
    test::WriteFileBytes(p, damaged);
    CNavigationHolder hamper;
    ASSERT_NO_THROW(hamper = MINIHamperFile::Make(p.string())) << round;
    WalkAndRead(*hamper);
    EXPECT_FALSE(static_cast<const MINIHamperFile&>(*hamper).IsMediaOpen());
  }
}

}  // namespace

namespace {

// Files sort before folders, so hidden PAD data can be the first record below a folder.
TEST(HamperReaderHidden, FolderIsHiddenOnlyWhenAllItsItemsAre) {
  test::TempDir dir;
  FakeTree tree;
  FakeEntry& mix = tree.Add(FakeEntry::Folder("Mix"));
  mix.Add(FakeEntry::File("a.pad", 14, Bytes(4, 1)));
  mix.Add(FakeEntry::File("b.tns", 1, Bytes(5, 2)));
  tree.Add(FakeEntry::Folder("Pads")).Add(FakeEntry::File("p.pad", 14, Bytes(6, 3)));
  CHamperDescription description = Description();
  RecordingJob job;
  const auto p = (dir / "h.hmp").string();
  CHamperWriter(job).Compose(tree.List(), description, tree.PackedData(), NSFerryman::CFileSpec(p));
  CNavigationHolder hamper = MINIHamperFile::Make(p);
  EXPECT_EQ(ChildNames(*hamper), std::vector<std::string>{"Mix"});
  CNavigationHolder song = FindItemByPath(*hamper, CHamperIndexEntry(1, 0, 0, false, "Mix:b.tns"));
  EXPECT_EQ(ReadAll(*song->OpenMedia()), Bytes(5, 2));
  // Inside a folder hidden items are listed.
  EXPECT_EQ(FindItemByPath(*hamper, CHamperIndexEntry(14, 0, 0, true, "Mix:a.pad"))->GetName(), "a.pad");
}

}  // namespace
