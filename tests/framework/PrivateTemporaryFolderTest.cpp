// Temporary folders of the process's own: private, gone with what they hold however the process
// ends (destroyed, a signal, or swept at the next start after a kill), and never taken from a
// process that still lives.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/media/PartialOutputRegistry.h"
#include "framework/media/PrivateTemporaryFolder.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
namespace fs = std::filesystem;

namespace {

constexpr char kPrefix[] = "hamper-test-drag-";

class PrivateTemporaryFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    had_ = std::getenv("TMPDIR") != nullptr;
    setenv("TMPDIR", dir_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (had_) {
      setenv("TMPDIR", saved_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.Path()), {})); }
  // A folder below it, a few levels deep, with files in each.
  static void Fill(const fs::path& folder) {
    fs::create_directories(folder / "Drums" / "Kits" / "Old");
    for (const fs::path& at : {folder, folder / "Drums", folder / "Drums" / "Kits" / "Old"}) {
      test::WriteFileText(at / "Kick.wav", "kick");
      test::WriteFileText(at / "Snare.wav", "snare");
    }
  }

  test::TempDir dir_;
  std::string saved_;
  bool had_ = false;
};

TEST_F(PrivateTemporaryFolder, IsTheUsersAloneAndGoesWithWhatItHolds) {
  std::string path;
  {
    CPrivateTemporaryFolder folder(kPrefix);
    path = folder.Path();
    EXPECT_EQ(fs::path(path).parent_path(), dir_.Path());
    EXPECT_TRUE(fs::path(path).filename().string().starts_with(kPrefix));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    Fill(path);
    // In use: a sweep leaves it.
    RemoveLeftoverTemporaryFolders(kPrefix);
    EXPECT_TRUE(fs::exists(fs::path(path) / "Drums" / "Kick.wav"));
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(PrivateTemporaryFolder, WhatAKilledProcessLeftIsSweptAndOnlyThat) {
  // Left by a process killed outright: no one holds its lock.
  fs::create_directories(dir_ / (std::string(kPrefix) + "dead01"));
  Fill(dir_ / (std::string(kPrefix) + "dead01"));
  // Others' folders, and a link with the prefix, are not ours to take.
  fs::create_directories(dir_ / "other-folder");
  fs::create_directory_symlink(dir_ / "other-folder", dir_ / (std::string(kPrefix) + "link"));
  RemoveLeftoverTemporaryFolders(kPrefix);
  EXPECT_FALSE(fs::exists(dir_ / (std::string(kPrefix) + "dead01")));
  EXPECT_TRUE(fs::exists(dir_ / "other-folder"));
  EXPECT_TRUE(fs::is_symlink(dir_ / (std::string(kPrefix) + "link")));
}

TEST_F(PrivateTemporaryFolder, ASignalTakesItWithWhatItHolds) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstallPartialOutputRemoval();
    CPrivateTemporaryFolder folder(kPrefix);
    Fill(folder.Path());
    ::raise(SIGTERM);
    ::_exit(0);  // not reached
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(Entries(), 0u);
}

}  // namespace
