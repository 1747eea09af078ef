#include "framework/media/HiddenFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/media/AtomicOutputFile.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& dir) { return test::NamesIn(dir); }

}  // namespace

TEST(HiddenFile, OnlyOurOwnNamesAreEverTakenForOurs) {
  for (const char* name : {".hamper-abcdefghij.part", ".hamper-0123456789.spill", ".hamper-a1b2c3d4e5.part"}) {
    EXPECT_TRUE(IsHiddenFileName(name)) << name;
  }
  for (const char* name : {".hamper-abcdefghi.part", ".hamper-abcdefghijk.part", ".hamper-ABCDEFGHIJ.part",
                           ".hamper-abcdefghij.partial", ".hamper-abcdefghij", "hamper-abcdefghij.part",
                           ".hamper-abcde-ghij.part", "Kit.hmp", ".hamper-abcdefghij.part/"}) {
    EXPECT_FALSE(IsHiddenFileName(name)) << name;
  }
}

// What a killed command left (a hidden file whose lock is free) goes; files in use, files of other
// names, links and anything but a regular file stay.
TEST(HiddenFile, OnlyLeftoversAreRemoved) {
  test::TempDir dir;
  // A command killed while it wrote: its hidden files outlive it, unlocked.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CHiddenFile spill(dir.Path().string(), EHiddenKind::kSpill, "out.hmp");
    CAtomicOutputFile part((dir / "out.hmp").string());
    ::_exit(0);  // no destructor runs, as after SIGKILL
  }
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::set<std::string> leftovers = Names(dir.Path());
  ASSERT_EQ(leftovers.size(), 2u);
  // Files in use by this process.
  CHiddenFile live(dir.Path().string(), EHiddenKind::kSpill, "out.hmp");
  CAtomicOutputFile writing((dir / "other.hmp").string());
  // Names like ours that are not ours, and what no command of ours makes.
  for (const char* name : {".hamper-abcdefghi.part", "notes.part", ".hamper-ABCDEFGHIJ.spill"}) {
    test::WriteFileText(dir / name, "kept");
  }
  test::WriteFileText(dir / "Elsewhere/.hamper-0000000000.part", "a leftover, but not in this folder");
  fs::create_symlink("Elsewhere/.hamper-0000000000.part", dir / ".hamper-1111111111.part");
  fs::create_directory(dir / ".hamper-2222222222.spill");
  ASSERT_EQ(::mkfifo((dir / ".hamper-3333333333.part").c_str(), 0600), 0);
  std::set<std::string> expected = Names(dir.Path());
  for (const std::string& name : leftovers) expected.erase(name);

  RemoveLeftoverFiles(dir.Path().string());
  EXPECT_EQ(Names(dir.Path()), expected);
  EXPECT_TRUE(fs::exists(dir / "Elsewhere/.hamper-0000000000.part"));
  writing.Commit();
  EXPECT_EQ(Names(dir.Path()).count("other.hmp"), 1u);
}

// A command that writes an output removes the leftovers beside it before it starts.
TEST(HiddenFile, AnOutputFileRemovesTheLeftoversBesideIt) {
  test::TempDir dir;
  test::WriteFileText(dir / ".hamper-abcdefghij.part", "left by a killed pack");
  test::WriteFileText(dir / ".hamper-abcdefghij.spill", "left by a killed pack");
  CAtomicOutputFile file((dir / "out.hmp").string());
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{fs::path(file.GetPartialPath()).filename().string()});
  {
    CHiddenFile spill(dir.Path().string(), EHiddenKind::kSpill, (dir / "out.hmp").string());
    EXPECT_TRUE(IsHiddenFileName(fs::path(spill.GetHiddenPath()).filename().string()));
    EXPECT_EQ(Names(dir.Path()).size(), 2u);
  }
  EXPECT_EQ(Names(dir.Path()).size(), 1u) << "a spill file goes when it is done with";
}
