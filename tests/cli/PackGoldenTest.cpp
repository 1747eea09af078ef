// The bytes `hamper pack` writes, pinned (support/GoldenHampers.h): the demo folder and a
// generated one at one thread and two, and a folder whose damaged file is left out. The packs
// run with TMPDIR naming a folder that does not exist: a pack needs no temporary folder.

#include <gtest/gtest.h>

#include "support/GoldenHampers.h"

namespace fs = std::filesystem;

namespace {

class PackGolden : public ::testing::Test {
 protected:
  // The digest of the Hamper `hamper pack ARGS FOLDER` makes, or the failure.
  std::string PackDigest(const fs::path& folder, const std::string& args) {
    const fs::path output = dir / "out.hmp";
    std::string err;
    const int code = test::RunCommand("TMPDIR=" + (dir / "no/such/folder").string() + " " + HAMPER_EXE + " pack -q -f " +
                                          args + " '" + folder.string() + "' -o '" + output.string() + "' 2>&1 </dev/null",
                                      &err);
    if (code != 0) return "exit " + std::to_string(code) + ": " + err;
    EXPECT_FALSE(fs::exists(dir / "no")) << "the pack made its temporary folder";
    return goldentest::Sha256Of(output);
  }

  test::TempDir dir;
};

}  // namespace

TEST_F(PackGolden, TheBytesOfAHamperStayAsTheyWere) {
  const fs::path demo = fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums";
  goldentest::WriteGeneratedFolder(dir / "Generated");
  for (const char* jobs : {"-j 1", "-j 2"}) {
    SCOPED_TRACE(jobs);
    EXPECT_EQ(PackDigest(demo, jobs), goldentest::kDemoDigest);
    EXPECT_EQ(PackDigest(dir / "Generated", jobs), goldentest::kGeneratedDigest);
  }
  test::WriteFileBytes(dir / "Generated/Samples/snare.wav", goldentest::DamagedWave());
  for (const char* jobs : {"-j 1", "-j 2"}) {
    SCOPED_TRACE(jobs);
    EXPECT_EQ(PackDigest(dir / "Generated", std::string(jobs) + " --skip-bad"), goldentest::kLeftOutDigest);
  }
}
