// A folder tree scanned, written as a Hamper with its files copied as they are, and read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "container/FindItemByPath.h"
#include "container/HamperDescription.h"
#include "container/HamperFile.h"
#include "container/HamperIndexEntry.h"
#include "container/HamperWriter.h"
#include "container/HamperWriterJob.h"
#include "framework/media/OpenFile.h"
#include "framework/media/TemporaryOpenFile.h"
#include "pack/FolderScan.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class CQuietJob : public MHamperWriterJob {
 public:
  bool TakeStopRequest() override { return false; }
  void EnterStage(NSFerryman::ResourceId, std::uint32_t, NSFerryman::ResourceId, std::uint64_t) override {}
  void ShowStatus(NSFerryman::ResourceId, const std::vector<std::string>&) override {}
  void ShowProgress(std::uint64_t, std::uint64_t, std::uint64_t) override {}
};

Bytes ReadAll(NSFerryman::CMedia& media) {
  Bytes bytes(media.GetSize());
  media.ReadAt(0, bytes.size(), bytes.data());
  return bytes;
}

// The packing stage for copied items: every included, typed file's bytes, appended in walk order.
void AppendPackedData(CFileEntryList& list, NSFerryman::CMedia& data, std::vector<const CFileEntry*>& packed) {
  for (auto& entry : list) {
    if (entry->IsFolder()) {
      AppendPackedData(entry->GetChildren(), data, packed);
    } else if (entry->GetItemType() != 0 && entry->IsIncluded()) {
      auto media = entry->GetItem().Open();
      entry->SetPackedSize(media->GetSize());
      data.CopyFrom(*media, static_cast<std::int64_t>(media->GetSize()));
      packed.push_back(entry.get());
    }
  }
}

std::string SourcePath(std::string hamperPath) {
  std::replace(hamperPath.begin(), hamperPath.end(), ':', '/');
  return hamperPath;
}

CFileEntry* FindEntry(CFileEntryList& list, const std::string& path) {
  for (auto& e : list) {
    if (e->GetRelativePath() == path) return e.get();
    if (CFileEntry* found = FindEntry(e->GetChildren(), path)) return found;
  }
  return nullptr;
}

std::vector<std::string> ChildNames(const MINavigationInterface& item) {
  std::vector<std::string> names;
  for (CNavigationHolder c = item.GetFirstChild(); c; c = item.GetNextChild(*c)) names.push_back(c->GetName());
  return names;
}

// The item a Path names, following names exactly (letter case significant).
CNavigationHolder FindExactly(const CNavigationHolder& root, const std::string& path) {
  CNavigationHolder current = root;
  std::size_t start = 0;
  while (current) {
    const std::size_t colon = path.find(':', start);
    const std::string name = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    CNavigationHolder match;
    for (CNavigationHolder c = current->GetFirstChild(); c; c = current->GetNextChild(*c)) {
      if (c->GetName() == name) match = c;
    }
    current = match;
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return current;
}

TEST(PackRoundTripTest, ScannedTreeWrittenAndReadBackKeepsOrderPathsAndBytes) {
  test::TempDir dir;
  const fs::path in = dir / "in";
  std::mt19937 random(11);
  auto write = [&](const std::string& relative, std::size_t size) {
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    test::WriteFileBytes(in / relative, bytes);
  };
  write("bass.wav", 70000);  // more than one copy block
  write("a.wav", 10);
  write("A.WAV", 11);
  write("INFO.TXT", 5);
  write("Notes.doc", 6);
  write("Splash.jpg", 300);
  write("Drums/Kick.wav", 1200);
  write("Drums/kick2.wav", 50);
  write("Drums/Loops/break.aif", 3000);
  write("Kits/A.wav", 20);
  write("kits/B.wav", 21);
  write("Songs/demo.tns", 400);
  write("Songs/pad.pad", 30);
  write("Songs/Splash.jpg", 31);
  fs::create_directories(in / "Drums" / "Empty");
  fs::create_directories(in / "Nothing" / "Inside");

  // Scan, then the first verification rejects one file.
  CFileEntryList top = ListTopLevel(CItemReference::ForPath(in.string()));
  for (const auto& entry : top) ScanFolder(*entry);
  std::size_t packable = 0;
  for (const auto& entry : top) packable += CountPackableFiles(*entry);
  EXPECT_EQ(packable, 12u);
  FindEntry(top, "Drums:kick2.wav")->SetIncluded(false);

  ASSERT_EQ(top.size(), 11u);
  // Letter case only tells these apart, so the file system's order of arrival decides.
  const std::string first = top[0]->GetName(), second = top[1]->GetName();
  ASSERT_TRUE((first == "a.wav" && second == "A.WAV") || (first == "A.WAV" && second == "a.wav"));
  const std::string kitsFirst = top[7]->GetName(), kitsSecond = top[8]->GetName();
  ASSERT_TRUE((kitsFirst == "Kits" && kitsSecond == "kits") || (kitsFirst == "kits" && kitsSecond == "Kits"));
  const std::string kitsFirstItem = kitsFirst + (kitsFirst == "Kits" ? ":A.wav" : ":B.wav");
  const std::string kitsSecondItem = kitsSecond + (kitsSecond == "Kits" ? ":A.wav" : ":B.wav");

  auto data = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  std::vector<const CFileEntry*> packed;
  AppendPackedData(top, *data, packed);

  std::vector<const MHamperWriterEntry*> list;
  for (const auto& e : top) list.push_back(e.get());
  CHamperDescription description("Round Trip", "comments", "http://example.com", "(c) nobody");
  const fs::path output = dir / "out.hmp";
  CQuietJob job;
  CHamperWriter(job).Compose(list, description, std::move(data), NSFerryman::CFileSpec(output.string()));

  // The index: the scan's walk order and Paths, the splash rule, and bytes at the running offsets.
  struct CRecord {
    std::string path;
    int itemType;
    bool hidden;
  };
  const std::vector<CRecord> expected = {
      {first, 11, false},          {second, 11, false},       {"bass.wav", 11, false},
      {"Splash.jpg", 9, true},     {"Drums:Kick.wav", 11, false}, {"Drums:Loops:break.aif", 11, false},
      {kitsFirstItem, 11, false},  {kitsSecondItem, 11, false},   {"Songs:demo.tns", 1, false},
      {"Songs:pad.pad", 14, true}, {"Songs:Splash.jpg", 9, false}};
  ASSERT_EQ(description.GetEntryCount(), expected.size());
  NSFerryman::COpenFile file{NSFerryman::CFileSpec(output.string())};
  std::uint64_t indexPosition = description.GetIndexOffset();
  file.SetPosition(indexPosition);
  std::uint32_t offset = 0;
  for (const CRecord& want : expected) {
    const CHamperIndexEntry record = CHamperIndexEntry::Read(file);
    SCOPED_TRACE(want.path);
    EXPECT_EQ(record.GetPath(), want.path);
    EXPECT_EQ(record.GetItemType(), want.itemType);
    EXPECT_EQ(record.IsHidden(), want.hidden);
    EXPECT_EQ(record.GetOffset(), offset);
    Bytes stored(record.GetSize());
    file.ReadAt(std::uint64_t{description.GetDataOffset()} + record.GetOffset(), stored.size(), stored.data());
    EXPECT_EQ(stored, test::ReadFileBytes(in / SourcePath(want.path)));
    offset += record.GetSize();
    file.SetPosition(indexPosition = indexPosition + record.GetStoredSize());
  }
  EXPECT_EQ(file.GetPosition(), description.GetDataOffset());

  // Every item's bytes, through the reader, equal its source file.
  CNavigationHolder hamper = MINIHamperFile::Make(output.string());
  ASSERT_EQ(hamper->GetName(), "Round Trip");
  const auto& hamperFile = static_cast<const MINIHamperFile&>(*hamper);
  EXPECT_EQ(hamperFile.GetHeader(), description);
  for (const CFileEntry* entry : packed) {
    const Bytes source = test::ReadFileBytes(in / SourcePath(entry->GetRelativePath()));
    CNavigationHolder item = FindExactly(hamper, entry->GetRelativePath());
    if (entry->GetRelativePath() == "Splash.jpg") {
      EXPECT_FALSE(item) << "the splash picture is hidden";
      continue;
    }
    ASSERT_TRUE(item) << entry->GetRelativePath();
    auto media = item->OpenMedia();
    EXPECT_EQ(ReadAll(*media), source) << entry->GetRelativePath();
  }
  // Paths that differ from no other but in letter case resolve the ordinary way.
  CNavigationHolder demo = FindItemByPath(*hamper, CHamperIndexEntry(1, 0, 0, false, "Songs:demo.tns"));
  EXPECT_EQ(demo->GetName(), "demo.tns");

  // The folders the Paths imply, case twins apart; no trace of empty folders or rejected files.
  EXPECT_EQ(ChildNames(*hamper), (std::vector<std::string>{first, second, "bass.wav", "Drums", kitsFirst,
                                                           kitsSecond, "Songs"}));
  EXPECT_EQ(ChildNames(*FindExactly(hamper, "Drums")), (std::vector<std::string>{"Kick.wav", "Loops"}));
  EXPECT_EQ(ChildNames(*FindExactly(hamper, "Kits")), (std::vector<std::string>{"A.wav"}));
  EXPECT_EQ(ChildNames(*FindExactly(hamper, "kits")), (std::vector<std::string>{"B.wav"}));
  EXPECT_EQ(ChildNames(*FindExactly(hamper, "Songs")),
            (std::vector<std::string>{"demo.tns", "pad.pad", "Splash.jpg"}));
}

}  // namespace
