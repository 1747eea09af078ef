// Files written into a confined folder get their names only when committed, one by one or in
// batches, and two names the file system takes for one file never become one file.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unistd.h>

#include "browse/ConfinedFolder.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_directory()) continue;
    const auto bytes = test::ReadFileBytes(e.path());
    files[fs::relative(e.path(), root).string()] = std::string(bytes.begin(), bytes.end());
  }
  return files;
}

std::unique_ptr<CConfinedOutputFile> Written(CConfinedFolder& folder, std::vector<std::string> folders,
                                             const std::string& name, const std::string& text, bool replace = false) {
  auto file = folder.CreateFile(folders, name, replace);
  file->Media().Write(text.size(), text.data());
  return file;
}

TEST(ConfinedFolder, BatchedFilesAreNamedWhenCommittedAndGoneWhenNot) {
  test::TempDir dir;
  {
    CConfinedFolder folder((dir / "out").string());
    folder.CommitLater(Written(folder, {"A"}, "one", "1"));
    folder.CommitLater(Written(folder, {"A", "B"}, "two", "2"));
    folder.CommitLater(Written(folder, {}, "three", "3"));
    EXPECT_EQ(folder.PendingCommits(), 3u);
    EXPECT_EQ(folder.PendingBytes(), 3u);
    // Written, but nothing has a name yet: not even a hidden one.
    EXPECT_EQ(Files(dir / "out"), (std::map<std::string, std::string>{}));
    EXPECT_TRUE(folder.CommitPending().empty());
    folder.CommitLater(Written(folder, {"A"}, "four", "4"));
    EXPECT_TRUE(folder.FinishCommits().empty());
    EXPECT_EQ(Files(dir / "out"), (std::map<std::string, std::string>{
                                      {"A/one", "1"}, {"A/B/two", "2"}, {"three", "3"}, {"A/four", "4"}}));
    // Handed over and never committed: gone with the folder.
    folder.CommitLater(Written(folder, {"A"}, "five", "5"));
  }
  EXPECT_EQ(Files(dir / "out").size(), 4u);
}

// A file system that does not tell letter case apart takes "KICK.WAV" for "Kick.wav": a hard link
// plays that part here. The second name is never taken for a file the user had, even with
// replacing allowed, and the first file stays as it was.
TEST(ConfinedFolder, TwoNamesOfOneFileNeverReplaceEachOther) {
  test::TempDir dir;
  CConfinedFolder folder((dir / "out").string());
  Written(folder, {}, "Kick.wav", "first")->Commit();
  ASSERT_EQ(::link((dir / "out/Kick.wav").c_str(), (dir / "out/KICK.WAV").c_str()), 0);
  for (const bool replace : {false, true}) {
    try {
      Written(folder, {}, "KICK.WAV", "second", replace)->Commit();
      ADD_FAILURE() << "written over the first file";
    } catch (const XTargetExists&) {
      ADD_FAILURE() << "taken for a file that was there";
    } catch (const NSFerryman::XCreateFailed& e) {
      EXPECT_STREQ(e.what(), "KICK.WAV: the file system here takes this name for that of a file written before, and "
                             "cannot hold both");
    }
  }
  EXPECT_EQ(Files(dir / "out"), (std::map<std::string, std::string>{{"Kick.wav", "first"}, {"KICK.WAV", "first"}}));
  // A file that was there before is replaced as ever.
  test::WriteFileText(dir / "out/mine", "mine");
  Written(folder, {}, "mine", "new", true)->Commit();
  EXPECT_EQ(Files(dir / "out")["mine"], "new");
}

}  // namespace
