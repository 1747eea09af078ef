#include <gtest/gtest.h>

#include "pack/FakeNavigationItem.h"
#include "references/ReferenceErrors.h"
#include "references/ReferenceFixtures.h"

using reftest::ContentFolder;

namespace {

std::string SongWith(const std::string& refLines) {
  return "kind song\nchunk TNAM \"Groove\"\nrefs\n  ref \"kick.wav\"\n" + refLines + "\nend\n";
}

CSF10ReferenceChunk OnlyRecord(const std::string& refLines) {
  return reftest::RecordsOf(reftest::Authored(SongWith(refLines))).at(0);
}

std::string PathOf(const CNavigationHolder& item, const std::filesystem::path& base) {
  const auto* shell = dynamic_cast<const MINIShellItem*>(item.Get());
  return shell ? std::filesystem::relative(shell->GetPath(), base).string() : "?";
}

}  // namespace

// Which part finds an internal record, and what it finds; which records are external.
TEST(ReferenceResolution, InternalRecordsAreFoundThroughEachPart) {
  ContentFolder content;
  struct Case {
    const char* name;
    std::string refLines;
    const char* found;  // path below the temporary folder; "" for external, "bad" for XBadReference
    EReferencePart part;
  };
  const Case cases[] = {
      {"relative", "relative 1 \"Samples\" \"kick.wav\"", "Content/Samples/kick.wav", EReferencePart::kRelative},
      {"relative in another case", "relative 1 \"SAMPLES\" \"Kick.WAV\"", "Content/Samples/kick.wav",
       EReferencePart::kRelative},
      {"database through the root's name", "database \"Demo Kit\" \"X\" \"Content\" \"Samples\" \"snare.wav\"",
       "Content/Samples/snare.wav", EReferencePart::kDatabase},
      {"relative first, then database", "relative 1 \"Nowhere\" \"kick.wav\"\n database \"\" \"Content\" \"Samples\" \"kick.wav\"",
       "Content/Samples/kick.wav", EReferencePart::kDatabase},
      {"volume from the top", "volume 15 \"\"" + content.AbsoluteComponents("Content/Samples/kick.wav"),
       "Content/Samples/kick.wav", EReferencePart::kVolume},
      {"CD-ROM volume by name", "volume 13 \"democd\" \"Content\" \"Samples\" \"snare.wav\"",
       "Content/Samples/snare.wav", EReferencePart::kVolume},
      {"colon stored as underscore", "relative 1 \"Samples\" \"kick_1.wav\"", "Content/Samples/kick:1.wav",
       EReferencePart::kRelative},
      {"non-ASCII letter stored as underscores", "relative 1 \"Samples\" \"kick__.wav\"",
       "Content/Samples/kick\xC3\xA9.wav", EReferencePart::kRelative},
      {"same Hamper in another case is internal", "hamper \"DEMO KIT\"\n relative 1 \"Samples\" \"kick.wav\"",
       "Content/Samples/kick.wav", EReferencePart::kRelative},
      {"database path stops short of the root", "database \"\" \"X\" \"kick.wav\"", "bad", {}},
      {"empty database path", "database \"\"", "bad", {}},
      {"database path present but wrong, volume not tried",
       "database \"\" \"Content\" \"Samples\" \"none.wav\"\n volume 13 \"DEMOCD\" \"Content\" \"Samples\" \"kick.wav\"",
       "bad", {}},
      {"nothing at all", "", "bad", {}},
      {"unknown volume", "volume 13 \"OTHERCD\" \"Samples\" \"kick.wav\"", "bad", {}},
      {"another Hamper", "hamper \"Drum Basics\" \"http://x/\"\n relative 1 \"none.wav\"", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CSF10ReferenceChunk record = OnlyRecord(c.refLines);
    const CReferenceContext context = content.Context("demo.tns");
    ExternalHamperNames names;
    if (std::string(c.found).empty()) {
      EXPECT_TRUE(IsExternalReference(record, context.hamperName));
      CheckReference(context, record, names);
      EXPECT_EQ(names, ExternalHamperNames{"Drum Basics"});
      continue;
    }
    EXPECT_FALSE(IsExternalReference(record, context.hamperName));
    if (std::string(c.found) == "bad") {
      EXPECT_THROW(CheckReference(context, record, names), XBadReference);
      continue;
    }
    const CReferenceTarget target = FindReferenceTarget(context, record);
    EXPECT_EQ(PathOf(target.item, content.Path()), c.found);
    EXPECT_EQ(target.foundThrough, c.part);
    EXPECT_NO_THROW(CheckReference(context, record, names));
    EXPECT_TRUE(names.empty());
  }
}

TEST(ReferenceResolution, SameNamedSiblingFoldersAreSearchedInOrder) {
  // Kits holds A without the file; kits (the same portable name) holds it.
  const CNavigationHolder root = CFakeNavigationItem::Folder(
      "Root", {CFakeNavigationItem::Folder("Kits", {CFakeNavigationItem::Folder("A")}),
               CFakeNavigationItem::Folder("kits", {CFakeNavigationItem::Folder("A", {CFakeNavigationItem::File("x.wav")})})});
  const std::vector<std::string> path = {"KITS", "a", "x.wav"};
  const CNavigationHolder found = ResolvePathList(*root, path);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->GetName(), "x.wav");
  EXPECT_FALSE(ResolvePathList(*root, std::vector<std::string>{"Kits", "A", "y.wav"}));
  EXPECT_FALSE(ResolvePathList(*root, std::vector<std::string>{}));
}

TEST(ReferenceResolution, PathsBetweenItems) {
  ContentFolder content;
  CDatabase& db = content.Database();
  const CNavigationHolder root = db.ItemForPath((content.Path() / "Content").string());
  const CNavigationHolder songs = db.ItemForPath((content.Path() / "Content/Songs").string());
  const CNavigationHolder kick = db.ItemForPath((content.Path() / "Content/Samples/kick.wav").string());
  const CNavigationHolder far = db.ItemForPath((content.Path() / "Outside/far.wav").string());

  EXPECT_EQ(PathBelowRoot(*kick, *root), (CPathComponents{"Samples", "kick.wav"}));
  EXPECT_THROW(PathBelowRoot(*far, *root), XBadReference);

  const CRelativePathRef toKick = MakeRelativePath(*songs, kick.Get(), db);
  EXPECT_TRUE(toKick.present);
  EXPECT_EQ(toKick.levelsUp, 1u);
  EXPECT_EQ(toKick.components, (CPathComponents{"Samples", "kick.wav"}));
  EXPECT_EQ(ResolveRelativePath(toKick, *songs), kick);
  const CRelativePathRef toFar = MakeRelativePath(*songs, far.Get(), db);
  EXPECT_EQ(toFar.levelsUp, 2u);
  EXPECT_EQ(toFar.components, (CPathComponents{"Outside", "far.wav"}));
  EXPECT_FALSE(MakeRelativePath(*songs, nullptr, db).present);
  EXPECT_FALSE(MakeRelativePath(*db.GetRootItem(), kick.Get(), db).present);
}

TEST(ReferenceResolution, RewrittenRecordsPointIntoTheHamper) {
  ContentFolder content;
  const CReferenceContext context = content.Context("demo.tns");
  const CNavigationHolder songs = context.referencingItem->GetParent();

  // Found through its database part: gets a relative part from the song's folder.
  CSF10ReferenceChunk byDatabase =
      RewriteReference(context, OnlyRecord("hamper \"demo KIT\" \"u\"\n database \"Old\" \"Content\" \"Samples\" \"kick.wav\"\n"
                                           " volume 15 \"\" \"x\"\n flag 3"));
  EXPECT_EQ(byDatabase.hamperName, "Demo Kit");
  EXPECT_EQ(byDatabase.hamperUrl, "http___example.com_demo_");
  EXPECT_TRUE(byDatabase.database.present);
  EXPECT_EQ(byDatabase.database.hamperName, "Demo Kit");
  EXPECT_EQ(byDatabase.database.components, (CPathComponents{"Samples", "kick.wav"}));
  EXPECT_EQ(byDatabase.relative.levelsUp, 1u);
  EXPECT_EQ(byDatabase.relative.components, (CPathComponents{"Samples", "kick.wav"}));
  EXPECT_FALSE(byDatabase.volume.present);
  EXPECT_EQ(byDatabase.trailingFlag, 3);
  EXPECT_EQ(byDatabase.displayName, "kick.wav");

  // Found through a relative part that stays inside: kept as stored.
  const CSF10ReferenceChunk inside = RewriteReference(context, OnlyRecord("relative 1 \"SAMPLES\" \"Kick.wav\""));
  EXPECT_EQ(inside.relative.levelsUp, 1u);
  EXPECT_EQ(inside.relative.components, (CPathComponents{"SAMPLES", "Kick.wav"}));

  // Found through a relative part that climbs out of the folder and back in: made anew, so
  // that it resolves where only the folder's contents exist.
  const CSF10ReferenceChunk climbing =
      RewriteReference(context, OnlyRecord("relative 2 \"Content\" \"Samples\" \"kick.wav\""));
  EXPECT_EQ(climbing.relative.levelsUp, 1u);
  EXPECT_EQ(climbing.relative.components, (CPathComponents{"Samples", "kick.wav"}));
  EXPECT_TRUE(ResolveRelativePathWithin(climbing.relative, *songs, *context.rootFolder));

  // External: kept, without its relative and volume parts.
  const CSF10ReferenceChunk external = RewriteReference(
      context, OnlyRecord("hamper \"Drum Basics\" \"http://x/\"\n relative 1 \"a.wav\"\n database \"Drum Basics\" \"a.wav\"\n"
                          " volume 13 \"CD\" \"a.wav\""));
  EXPECT_FALSE(external.relative.present);
  EXPECT_FALSE(external.volume.present);
  EXPECT_EQ(external.database.components, (CPathComponents{"a.wav"}));
  EXPECT_EQ(external.hamperName, "Drum Basics");
  EXPECT_EQ(external.hamperUrl, "http://x/");

  // Found, but outside the folder being packed: no place in the Hamper.
  EXPECT_THROW(RewriteReference(context, OnlyRecord("relative 2 \"Outside\" \"far.wav\"")), XBadReference);
}

TEST(ReferenceDatabase, VolumeSearches) {
  ContentFolder content;
  CDatabase& db = content.Database();
  struct ScriptedHost : MVolumeSearchHost {
    bool WaitForVolume(const NSFerryman::CAlert& alert, int poll, const std::function<bool()>& isMounted) override {
      shown.push_back(alert.message);
      EXPECT_EQ(poll, 500);
      for (int i = 0; i < pollsBeforeMount; ++i) EXPECT_FALSE(isMounted());
      if (mountAfterPolls) {
        mounted = true;
        return isMounted();
      }
      return false;
    }
    std::vector<std::string> shown;
    int pollsBeforeMount = 2;
    bool mountAfterPolls = false;
    bool mounted = false;
  } host;
  db.SetVolumeSearchHost(&host);
  db.SetVolumeSource([&] {
    std::vector<CShellVolume> volumes = {{"/", "root", "ext4", "/dev/sda1"}};
    if (host.mounted) volumes.push_back({content.Path().string(), "Late Disc", "udf", "/dev/sr0"});
    return volumes;
  });

  // Mounted already: answered at once, no alert.
  EXPECT_TRUE(db.FindVolumeByName("ROOT"));
  EXPECT_TRUE(host.shown.empty());
  // Cancelled: no volume.
  EXPECT_FALSE(db.FindVolumeByName("Late Disc"));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0], "Please insert the CD labeled 'Late Disc' into the CD-Rom drive.");
  // Inserted while the alert is up: that volume is the answer.
  host.mountAfterPolls = true;
  const CNavigationHolder volume = db.FindVolumeByName("late disc");
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->GetName(), "Late Disc");
  // Without waiting nothing is shown.
  host.mounted = false;
  EXPECT_FALSE(db.FindVolumeByName("Late Disc", false));
  EXPECT_EQ(host.shown.size(), 2u);
}
