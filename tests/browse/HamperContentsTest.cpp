// The browser's model over real packed Hampers: the demo's tree and kinds, every sample's facts
// against what sox reads from its source, what songs refer to, and damaged Hampers opened as far
// as they read.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "browse/BrowseFixtures.h"
#include "browse/HamperSummary.h"
#include "browse/ItemKind.h"
#include "browse/ItemReferences.h"
#include "browse/SampleFacts.h"
#include "framework/resources/ResourceId.h"
#include "references/Database.h"

using namespace browsetest;

namespace {

std::string Soxi(const std::string& option, const fs::path& file) {
  std::string out;
  EXPECT_EQ(test::RunCommand("soxi " + option + " " + Q(file), &out), 0);
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEST(HamperContents, TheDemoAsATreeOfKinds) {
  const auto demo = CHamperContents::Open(PackedHampers::Get().Demo().string());
  EXPECT_EQ(demo->Problems(), std::vector<std::string>{});
  ASSERT_TRUE(demo->HasDescription());
  EXPECT_EQ(demo->Description().GetName(), "Harbor Drums");
  const CHamperTree& tree = demo->Tree();
  std::vector<std::string> top;
  for (std::uint32_t child : tree.Node(CHamperTree::kRoot).children) {
    top.push_back(std::string(tree.Node(child).name) + (tree.Node(child).hidden ? " (hidden)" : ""));
  }
  EXPECT_EQ(top, (std::vector<std::string>{"Splash.jpg (hidden)", "Art", "Drums", "Loops", "MIDI", "Patches", "Songs"}));

  // Every kind of item the demo shows, by its source file's extension.
  const std::vector<std::pair<std::string, std::string>> kinds = {
      {"Art:Cover.tif", "Picture (TIFF)"},          {"Splash.jpg", "Picture (JPEG)"},
      {"Drums:Kick.wav", "Sample"},                 {"Drums:Clap.aif", "Sample"},
      {"Loops:Harbor Groove.sl2", "Sliced loop (Slivver 2)"},
      {"Loops:Harbor Groove.slc", "Sliced loop (SLC)"},
      {"Loops:Harbor Groove.slv", "Sliced loop (Slivver 1)"},
      {"MIDI:Harbor Groove.mid", "MIDI file"},     {"Patches:Harbor Keys.smp", "Sampler patch (SX24)"},
      {"Patches:Harbor Kit.drp", "Drum patch (Thumpr)"},
      {"Patches:Harbor Loop.sxp", "Loop patch (Looptor)"},
      {"Patches:Harbor Pad.zyp", "Synth patch (Polywinder)"},
      {"Songs:Harbor Groove.tns", "Song"},         {"Songs:Low Tide.tps", "Published song"},
  };
  for (const auto& [path, kind] : kinds) {
    EXPECT_EQ(ItemKindName(demo->Index().ItemType(RecordOf(*demo, path))), kind) << path;
  }
  const std::uint32_t drums = tree.Node(CHamperTree::kRoot).children[2];
  EXPECT_EQ(tree.Node(drums).items, 6u);
}

// Length, channels and rate as sox reads them from the files the samples were packed from; the
// demo's loop and the kit's absent ones.
TEST(HamperContents, SampleFactsAgreeWithSox) {
  if (!test::HaveProgram("soxi")) GTEST_SKIP() << "sox is not installed";
  struct CHamper {
    fs::path file;
    fs::path folder;
  };
  const PackedHampers& packed = PackedHampers::Get();
  int samples = 0;
  for (const CHamper& h : {CHamper{packed.Demo(), kDemo}, CHamper{packed.Kit(), packed.KitFolder()}}) {
    const auto contents = CHamperContents::Open(h.file.string());
    for (std::size_t r = 0; r < contents->Index().Size(); ++r) {
      const CHamperIndexEntry& e = contents->Record(r);
      if (!IsSampleItemType(e.GetItemType())) continue;
      SCOPED_TRACE(e.GetPath());
      ++samples;
      std::string relative = e.GetPath();
      std::replace(relative.begin(), relative.end(), ':', '/');
      const fs::path source = h.folder / relative;
      const CSampleFactsResult facts = contents->SampleFacts(r);
      ASSERT_TRUE(facts.ok) << facts.problem;
      EXPECT_EQ(std::to_string(facts.header.frameCount), Soxi("-s", source));
      EXPECT_EQ(std::to_string(facts.header.channelCount), Soxi("-c", source));
      EXPECT_EQ(std::to_string(facts.header.sampleRate), Soxi("-r", source));
      EXPECT_NEAR(*SampleSeconds(facts.header), std::stod(Soxi("-D", source)), 0.0005);
      if (e.GetPath() == "Loops:Harbor Groove.wav") {
        EXPECT_EQ(SampleLoopText(facts.header), "forward 0-22050");
      } else {
        EXPECT_EQ(SampleLoopText(facts.header), "none");
      }
    }
  }
  EXPECT_EQ(samples, 7 + static_cast<int>(kKitSamples.size()));
}

// Internal records resolve inside the Hamper; the demo's bass parts are in "Harbor Bass", which
// resolves once a Hamper of that name is installed.
TEST(HamperContents, SongsReferencesAreMarkedWhereTheyLead) {
  const PackedHampers& packed = PackedHampers::Get();
  const auto demo = CHamperContents::Open(packed.Demo().string());
  const std::size_t song = RecordOf(*demo, "Songs:Night Shift.tps");
  const auto statuses = [&](CDatabase& database) {
    std::vector<std::string> lines;
    for (const CResolvedReference& r : ReadItemReferences(*demo, song, database)) {
      const char* status = r.status == EReferenceStatus::kInThisHamper       ? "here"
                           : r.status == EReferenceStatus::kInInstalledHamper ? "installed"
                                                                               : "unresolved";
      lines.push_back(r.record.displayName + ": " + status + (r.status == EReferenceStatus::kUnresolved ? "" : ", " + r.where));
    }
    return lines;
  };

  const fs::path installed = packed.Scratch() / "Installed";
  CDatabase database(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92));
  database.SetSearchFolder(0, NSFerryman::CDirSpec(installed.string()));
  EXPECT_EQ(statuses(database), (std::vector<std::string>{"Hat Closed.aif: here, Drums:Hat Closed.aif",
                                                          "Hat Open.aif: here, Drums:Hat Open.aif",
                                                          "Harbor Groove.slc: here, Loops:Harbor Groove.slc",
                                                          "Harbor Loop.sxp: here, Patches:Harbor Loop.sxp",
                                                          "Bass Line.wav: unresolved"}));

  const fs::path bass = packed.Scratch() / "Harbor Bass";
  test::WriteFileText(bass / "INFO.TXT", "NAME \"Harbor Bass\"\n");
  test::WriteFileBytes(bass / "Splash.jpg", test::ReadFileBytes(kDemo / "Splash.jpg"));
  test::WriteFileBytes(bass / "Loops/Bass Line.wav", test::ReadFileBytes(kDemo / "Drums/Kick.wav"));
  fs::create_directories(installed);
  packedtest::Pack(bass, installed / "Harbor Bass.hmp");
  EXPECT_EQ(statuses(database).back(), "Bass Line.wav: installed, Harbor Bass: Loops:Bass Line.wav");

  const std::size_t midi = RecordOf(*demo, "MIDI:Harbor Groove.mid");
  EXPECT_THROW(ReadItemReferences(*demo, midi, database), NSFerryman::XBadFormat);
}

// Damaged Hampers open as far as they read and say what is wrong; the items that lie where their
// records say are still there, the others refuse to be read.
TEST(HamperContents, DamagedHampersOpenAsFarAsTheyRead) {
  const fs::path scratch = PackedHampers::Get().Scratch();
  const Bytes good = test::ReadFileBytes(PackedHampers::Get().Demo());
  CHamperDescription header;
  const auto index = packedtest::IndexOf(good, &header);
  const auto damaged = [&](const std::string& name, const Bytes& bytes) {
    test::WriteFileBytes(scratch / name, bytes);
    return CHamperContents::Open((scratch / name).string());
  };

  // Cut in the data: the description and every record are there; the items past the cut are not.
  const auto cut = damaged("cut.hmp", Bytes(good.begin(), good.end() - 5000));
  ASSERT_TRUE(cut->HasDescription());
  EXPECT_EQ(cut->Description().GetName(), "Harbor Drums");
  EXPECT_EQ(cut->Index().Size(), index.size());
  ASSERT_GE(cut->Problems().size(), 2u);
  EXPECT_NE(cut->Problems()[0].find("size"), std::string::npos) << cut->Problems()[0];
  const std::size_t last = index.size() - 1;
  EXPECT_NE(cut->RecordProblem(last).find("outside the file"), std::string::npos);
  EXPECT_THROW(cut->OpenItem(last), NSFerryman::XBadFormat);
  EXPECT_EQ(cut->RecordProblem(1), "");
  EXPECT_TRUE(cut->SampleFacts(RecordOf(*cut, "Drums:Kick.wav")).ok);

  // Cut in the index: the records before the cut.
  const auto inIndex = damaged("index.hmp", Bytes(good.begin(), good.begin() + header.GetIndexOffset() + 60));
  ASSERT_TRUE(inIndex->HasDescription());
  EXPECT_GT(inIndex->Index().Size(), 0u);
  EXPECT_LT(inIndex->Index().Size(), index.size());
  ASSERT_GE(inIndex->Problems().size(), 2u);
  EXPECT_NE(inIndex->Problems()[1].find("damaged index: 2 of its 20 records could be read"), std::string::npos)
      << inIndex->Problems()[1];

  // Not a Hamper at all, and no file: nothing but the problem.
  for (const auto& contents : {damaged("text.hmp", Bytes(500, 'x')), CHamperContents::Open((scratch / "none.hmp").string())}) {
    EXPECT_FALSE(contents->HasDescription());
    EXPECT_EQ(contents->Index().Size(), 0u);
    EXPECT_EQ(contents->Tree().NodeCount(), 1u);
    EXPECT_EQ(contents->Problems().size(), 1u);
  }

  // A sample whose header says more frames than its stream holds.
  Bytes lying = good;
  const packedtest::CRecordPlace kick = packedtest::Find(good, "Drums:Kick.wav");
  packedtest::PutU32BE(lying, kick.item + 5, 0x7FFFFFFF);
  const auto liar = damaged("liar.hmp", lying);
  const CSampleFactsResult facts = liar->SampleFacts(RecordOf(*liar, "Drums:Kick.wav"));
  EXPECT_FALSE(facts.ok);
  EXPECT_NE(facts.problem.find("cannot hold"), std::string::npos) << facts.problem;
  EXPECT_EQ(SummariseHamper(*liar).problems.size(), 1u);
}

}  // namespace
