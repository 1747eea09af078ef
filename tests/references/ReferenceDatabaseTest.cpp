#include <gtest/gtest.h>

#include "container/FindItemByPath.h"
#include "container/ABCHamperEntry.h"
#include "container/HamperFile.h"
#include "container/HamperFixtures.h"
#include "references/ReferenceErrors.h"
#include "references/ReferenceFixtures.h"

using hampertest::FakeEntry;
using hampertest::FakeTree;
using reftest::ContentFolder;

namespace {

// Writes a Hamper named `name` holding `tree` at `path`.
void WriteHamper(const std::filesystem::path& path, const std::string& name, const FakeTree& tree) {
  std::filesystem::create_directories(path.parent_path());
  hampertest::RecordingJob job;
  CHamperWriter writer(job);
  CHamperDescription description = hampertest::Description(name);
  const auto list = tree.List();
  writer.Compose(list, description, tree.PackedData(), NSFerryman::CFileSpec(path.string()));
}

FakeTree OneItemTree() {
  FakeTree tree;
  tree.Add(FakeEntry::File("kick.wav", 11, hampertest::Bytes(10, 1)));
  return tree;
}

std::vector<std::string> TopLevelNames(CDatabase& db) {
  std::vector<std::string> names;
  for (CNavigationHolder item = db.GetFirstTopLevelItem(); item; item = db.GetNextTopLevelItem(*item)) {
    names.push_back(static_cast<const MINIHamperFile&>(*item).GetPath());
  }
  return names;
}

}  // namespace

TEST(ReferenceDatabase, TheFirstHamperOfANameWins) {
  ContentFolder content;
  CDatabase& db = content.Database();
  const auto dir = content.Path();
  WriteHamper(dir / "first/b.hmp", "Drum Basics", OneItemTree());
  WriteHamper(dir / "first/a.hmp", "Bass Pack", OneItemTree());
  WriteHamper(dir / "second/c.hmp", "DRUM BASICS", OneItemTree());
  WriteHamper(dir / "Hampers/d.hmp", "drum basics", OneItemTree());
  WriteHamper(dir / "Hampers/e.hmp", "From The Disc", OneItemTree());
  test::WriteFileText(dir / "first/notes.hmp", "not a Hamper");
  db.SetSearchFolder(0, NSFerryman::CDirSpec((dir / "first").string()));
  db.SetSearchFolder(2, NSFerryman::CDirSpec((dir / "second").string()));
  // The fixture mounts a CD-ROM volume at the temporary folder: its "Hampers" folder counts.
  EXPECT_EQ(TopLevelNames(db), (std::vector<std::string>{(dir / "first/a.hmp").string(), (dir / "first/b.hmp").string(),
                                                         (dir / "Hampers/e.hmp").string()}));
  EXPECT_EQ(db.FindInstalledHamper("from the DISC")->GetName(), "From The Disc");
  EXPECT_FALSE(db.FindInstalledHamper("Nothing"));
  // The root item lists the same, and nothing lies past either end.
  const CNavigationHolder root = db.GetRootItem();
  EXPECT_EQ(root->GetName(), "Hampers");
  const CNavigationHolder last = root->GetLastChild();
  EXPECT_EQ(last->GetName(), "From The Disc");
  EXPECT_FALSE(root->GetNextChild(*last));
  EXPECT_FALSE(root->GetPreviousChild(*root->GetFirstChild()));

  // A CD-ROM volume without a "Hampers" folder adds nothing.
  std::filesystem::remove_all(dir / "Hampers");
  EXPECT_EQ(TopLevelNames(db).size(), 2u);
}

TEST(ReferenceDatabase, ScopesKeepFilesOpenAndTheLastCloseEmptiesTheIndex) {
  ContentFolder content;
  CDatabase& db = content.Database();
  WriteHamper(content.Path() / "installed/kit.hmp", "Kit", OneItemTree());
  db.SetSearchFolder(1, NSFerryman::CDirSpec((content.Path() / "installed").string()));
  {
    CDatabaseScope outer(db);
    const CNavigationHolder kit = db.GetFirstTopLevelItem();
    const auto& hamper = static_cast<const MINIHamperFile&>(*kit);
    EXPECT_EQ(hamper.GetKeepOpenCount(), 1);
    {
      CDatabaseScope inner(db);
      EXPECT_EQ(hamper.GetKeepOpenCount(), 2);
      const CNavigationHolder a = db.ItemForPath((content.Path() / "Content/Samples/kick.wav").string());
      const CNavigationHolder b = db.ItemForPath((content.Path() / "Content/SAMPLES/../Samples/kick.wav").string());
      EXPECT_EQ(a.Get(), b.Get()) << "one item per file while a scope is open";
      EXPECT_EQ(db.GetIndexedItemCount(), 1u);
    }
    EXPECT_EQ(db.GetFirstTopLevelItem().Get(), kit.Get()) << "the set is kept while a scope is open";
    EXPECT_EQ(db.GetIndexedItemCount(), 1u);
    EXPECT_EQ(hamper.GetKeepOpenCount(), 1);
    // A Hamper file's item is a Hamper item.
    const CNavigationHolder opened = db.ItemForPath((content.Path() / "installed/kit.hmp").string());
    ASSERT_NE(dynamic_cast<const MINIHamperFile*>(opened.Get()), nullptr);
    EXPECT_EQ(opened->GetName(), "Kit");
    {
      const auto media = opened->GetFirstChild()->OpenMedia();
      EXPECT_TRUE(static_cast<const MINIHamperFile&>(*opened).IsMediaOpen());
    }
    EXPECT_EQ(hamper.GetKeepOpenCount(), 1);
  }
  EXPECT_EQ(db.GetOpenCount(), 0);
  EXPECT_EQ(db.GetIndexedItemCount(), 0u);
}

TEST(ReferenceDatabase, PathHashIgnoresLetterCase) {
  EXPECT_EQ(CDatabase::PathHash("/home/Me/Kick.WAV"), CDatabase::PathHash("/HOME/me/kick.wav"));
  EXPECT_NE(CDatabase::PathHash("/a"), CDatabase::PathHash("/b"));
  // One-at-a-time over signed bytes: a byte above 127 counts as negative.
  std::uint32_t h = 0;
  for (int c : {int{'/'}, int{'A'}, -61, -87}) {
    h += static_cast<std::uint32_t>(c);
    h += h << 10;
    h ^= h >> 6;
  }
  h += h << 3;
  h ^= h >> 11;
  h += h << 15;
  EXPECT_EQ(CDatabase::PathHash("/a\xC3\xA9"), h);
}

// A song packed into a Hamper is checked again inside it, with the Hamper's folder as the root:
// what the rewrite wrote must resolve there, and nothing outside the Hamper may be needed.
TEST(ReferenceDatabase, RewrittenSongsResolveInsideTheirHamper) {
  ContentFolder content;
  CDatabase& db = content.Database();
  CDatabaseScope scope(db);
  const std::string script = R"(kind song
refs
  ref "kick.wav"
    relative 2 "Content" "Samples" "kick.wav"
  ref "snare.wav"
    database "" "Content" "Samples" "snare.wav"
  ref "far away"
    hamper "Drum Basics"
end
)";
  const auto song = content.WriteSong("demo.tns", script);
  const auto rewritten = reftest::RewriteSong(song, content.Context("demo.tns"));

  FakeTree tree;
  FakeEntry& samples = tree.Add(FakeEntry::Folder("Samples"));
  samples.Add(FakeEntry::File("kick.wav", 11, hampertest::Bytes(10, 1)));
  samples.Add(FakeEntry::File("snare.wav", 11, hampertest::Bytes(10, 2)));
  tree.Add(FakeEntry::Folder("Songs")).Add(FakeEntry::File("demo.tns", 1, rewritten));
  // The Hamper sits beside a folder of its own name that holds nothing of use.
  const auto out = content.Path() / "out";
  std::filesystem::create_directories(out / "Demo Kit/Samples");
  WriteHamper(out / "Demo Kit.hmp", "Demo Kit", tree);

  const CNavigationHolder hamper = db.ItemForPath((out / "Demo Kit.hmp").string());
  const CNavigationHolder packedSong = FindItemByPath(*hamper, CHamperIndexEntry(1, 0, 0, false, "Songs:demo.tns"));
  CReferenceContext inside;
  inside.rootFolder = hamper->GetParent();
  inside.hamperName = "Demo Kit";
  inside.referencingItem = packedSong;
  inside.referencingName = "demo.tns";
  inside.database = &db;
  ExternalHamperNames names;
  reftest::CheckSong(rewritten, inside, names);
  EXPECT_EQ(names, ExternalHamperNames{"Drum Basics"});
  for (const auto& record : reftest::RecordsOf(rewritten)) {
    if (record.hamperName != "Demo Kit") continue;
    const CReferenceTarget target = FindReferenceTarget(inside, record);
    EXPECT_EQ(static_cast<const MINavigationInterface*>(&dynamic_cast<const MINIABCHamperEntry&>(*target.item).GetHamperFile()), hamper.Get()) << record.displayName;
  }
  // The record as it was stored climbs out of the packed folder and finds nothing inside.
  EXPECT_THROW(reftest::CheckSong(song, inside, names), XBadReference);
}
