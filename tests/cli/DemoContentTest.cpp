// The demo content folder that scripts/demo packs: every reference of its songs and patches
// resolves, and the folder packs, verifies and lists as the README shows it.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDemo = fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums";

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

}  // namespace

TEST(DemoContent, EveryReferenceOfEverySongAndPatchResolves) {
  const std::set<std::string> hostKinds = {".tns", ".tps", ".zyp", ".smp", ".drp", ".sxp"};
  std::set<std::string> seen;
  for (const auto& entry : fs::recursive_directory_iterator(kDemo)) {
    const std::string extension = entry.path().extension().string();
    if (!hostKinds.count(extension)) continue;
    seen.insert(extension);
    std::string out;
    EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " refs " + Quoted(entry.path()) + " 2>&1", &out), 0)
        << out;
  }
  EXPECT_EQ(seen, hostKinds) << "the demo shows a song, a published song and each kind of patch";
}

TEST(DemoContent, PacksVerifiesAndNamesTheOtherHamper) {
  test::TempDir dir;
  const fs::path output = dir / "Harbor Drums.hmp";
  std::string summary;
  ASSERT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " pack " + Quoted(kDemo) + " -o " + Quoted(output) +
                                 " -q --json",
                             &summary, true),
            0)
      << summary;
  // Every file but INFO.TXT and notes.txt; the packed copies of the songs and patches still name
  // the bass Hamper.
  EXPECT_NE(summary.find("\"filesPacked\": 20,"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\"externalHampers\": [\"Harbor Bass\"]"), std::string::npos) << summary;

  std::string listing;
  ASSERT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " list " + Quoted(output), &listing), 0) << listing;
  EXPECT_NE(listing.find("Name:        Harbor Drums\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("Songs:Low Tide.tps"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("notes.txt"), std::string::npos) << listing;
}
