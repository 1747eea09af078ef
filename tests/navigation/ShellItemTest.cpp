#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "filetypes/FileType.h"
#include "framework/media/Exceptions.h"
#include "navigation/ShellItem.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ChildNames(const CNavigationHolder& folder) {
  std::vector<std::string> names;
  for (CNavigationHolder c = folder->GetFirstChild(); c; c = folder->GetNextChild(*c)) {
    names.push_back(c->GetName());
  }
  return names;
}

class ShellItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(dir_ / "Kick.wav", {1, 2, 3, 4, 5});
    test::WriteFileText(dir_ / "notes.txt", "hi");
    test::WriteFileText(dir_ / ".hidden.wav", "x");
    test::WriteFileText(dir_ / "Kits" / "Snare.aif", "s");
    fs::create_directory(dir_ / "Empty");
  }
  test::TempDir dir_;
};

TEST_F(ShellItemTest, ListsVisibleEntriesAndStepsBothWays) {
  CNavigationHolder folder = MINIShellItem::ForPath(dir_.Path().string());
  ASSERT_TRUE(folder->IsContainer());
  std::vector<std::string> names = ChildNames(folder);
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"Empty", "Kick.wav", "Kits", "notes.txt"}));

  // Backwards from the last child gives the same order reversed, and ends before the first.
  CNavigationHolder last = folder->GetLastChild();
  ASSERT_TRUE(last);
  EXPECT_EQ(last->GetName(), names.back());
  EXPECT_FALSE(folder->GetNextChild(*last));
  std::vector<std::string> backwards;
  for (CNavigationHolder c = last; c; c = folder->GetPreviousChild(*c)) backwards.push_back(c->GetName());
  std::reverse(backwards.begin(), backwards.end());
  EXPECT_EQ(backwards, names);

  // A child obtained directly, not by a walk, is found by its place in a fresh listing.
  CNavigationHolder direct = MINIShellItem::ForPath((dir_ / names[1]).string());
  CNavigationHolder next = folder->GetNextChild(*direct);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->GetName(), names[2]);
  CNavigationHolder stranger = MINIShellItem::ForPath((dir_ / "Kits" / "Snare.aif").string());
  EXPECT_FALSE(folder->GetNextChild(*stranger));
}

TEST_F(ShellItemTest, FilesAndEmptyFoldersHaveNoChildren) {
  CNavigationHolder file = MINIShellItem::ForPath((dir_ / "Kick.wav").string());
  EXPECT_FALSE(file->IsContainer());
  EXPECT_FALSE(file->GetFirstChild());
  EXPECT_FALSE(file->GetLastChild());
  CNavigationHolder empty = MINIShellItem::ForPath((dir_ / "Empty").string());
  EXPECT_TRUE(empty->IsContainer());
  EXPECT_FALSE(empty->GetFirstChild());
  EXPECT_FALSE(empty->GetLastChild());
}

TEST_F(ShellItemTest, FileItemsGiveBytesSizeAndType) {
  CNavigationHolder file = MINIShellItem::ForPath((dir_ / "Kick.wav").string());
  EXPECT_EQ(file->GetName(), "Kick.wav");
  EXPECT_TRUE(file->IsAvailable());
  EXPECT_EQ(file->GetSize(), 5u);
  ASSERT_NE(file->GetFileType(), nullptr);
  EXPECT_EQ(file->GetFileType()->GetDescription(), "Wave File");
  auto media = file->OpenMedia();
  ASSERT_TRUE(media);
  std::vector<std::uint8_t> bytes(5);
  media->Read(bytes.size(), bytes.data());
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));

  CNavigationHolder folder = MINIShellItem::ForPath((dir_ / "Kits").string());
  EXPECT_EQ(folder->OpenMedia(), nullptr);
  EXPECT_EQ(folder->GetSize(), 0u);
  EXPECT_EQ(folder->GetFileType(), nullptr);

  CNavigationHolder gone = MINIShellItem::ForPath((dir_ / "gone.wav").string());
  EXPECT_FALSE(gone->IsAvailable());
  EXPECT_EQ(gone->GetSize(), 0u);
  EXPECT_EQ(gone->GetFileType(), nullptr);
  EXPECT_THROW(gone->OpenMedia(), NSFerryman::XFileNotFound);
}

TEST_F(ShellItemTest, SeparatelyObtainedItemsForOneObjectAreTheSame) {
  CNavigationHolder a = MINIShellItem::ForPath((dir_ / "Kits" / "Snare.aif").string());
  CNavigationHolder b = MINIShellItem::ForPath((dir_ / "Kits" / ".." / "Kits" / "Snare.aif").string());
  CNavigationHolder viaWalk = MINIShellItem::ForPath((dir_ / "Kits").string())->GetFirstChild();
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == viaWalk);
  fs::create_symlink(dir_ / "Kits", dir_ / "KitsLink");
  CNavigationHolder link = MINIShellItem::ForPath((dir_ / "KitsLink").string());
  EXPECT_TRUE(link->IsContainer());
  EXPECT_TRUE(link == MINIShellItem::ForPath((dir_ / "Kits").string()));
  EXPECT_FALSE(a == MINIShellItem::ForPath((dir_ / "Kick.wav").string()));
}

TEST_F(ShellItemTest, ParentsClimbToTheTopOfTheFileSystem) {
  CNavigationHolder item = MINIShellItem::ForPath((dir_ / "Kits" / "Snare.aif").string());
  CNavigationHolder parent = item->GetParent();
  ASSERT_TRUE(parent);
  EXPECT_EQ(parent->GetName(), "Kits");
  EXPECT_TRUE(parent == MINIShellItem::ForPath((dir_ / "Kits").string()));
  CNavigationHolder top = item;
  int steps = 0;
  for (CNavigationHolder p = item->GetParent(); p; p = p->GetParent()) {
    top = p;
    ASSERT_LT(++steps, 100);
  }
  EXPECT_EQ(top->GetName(), "/");
  EXPECT_EQ(static_cast<const MINIShellItem&>(*top).GetPath(), "/");
}

TEST_F(ShellItemTest, ListingAFolderThatIsGoneIsAFileError) {
  CNavigationHolder folder = MINIShellItem::ForPath((dir_ / "Empty").string());
  fs::remove(dir_ / "Empty");
  EXPECT_FALSE(folder->IsAvailable());
  EXPECT_THROW(folder->GetFirstChild(), NSFerryman::XFileNotFound);
}

TEST(VolumeTableTest, KeepsWholeFileSystemsOnDevicesAndShares) {
  const std::string mountinfo =
      "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "23 22 0:21 / /proc rw - proc proc rw\n"
      "24 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
      "25 22 8:2 /data /srv/bind rw - ext4 /dev/sda2 rw\n"
      "26 22 11:0 / /media/user/My\\040Disc ro - iso9660 /dev/sr0 ro\n"
      "27 22 0:50 / /mnt/share rw - nfs4 server:/export rw\n"
      "28 22 8:3 / /home rw - xfs /dev/sdb1 rw\n"
      "garbage line\n";
  const auto volumes = CVolumeTable::Parse(mountinfo, {{"/dev/sda1", "System"}});
  ASSERT_EQ(volumes.size(), 4u);
  EXPECT_EQ(volumes[0].mountPoint, "/");
  EXPECT_EQ(volumes[0].name, "System");
  EXPECT_EQ(volumes[1].mountPoint, "/media/user/My Disc");
  EXPECT_EQ(volumes[1].name, "My Disc");
  EXPECT_TRUE(volumes[1].IsCdRom());
  EXPECT_EQ(volumes[2].name, "share");
  EXPECT_FALSE(volumes[2].IsCdRom());
  // The later mount at /home hides the earlier.
  EXPECT_EQ(volumes[3].mountPoint, "/home");
  EXPECT_EQ(volumes[3].fileSystemType, "xfs");

  CNavigationHolder volume = MINIShellItem::ForVolume(volumes[0]);
  EXPECT_EQ(volume->GetName(), "System");
  EXPECT_TRUE(volume->IsContainer());
  EXPECT_TRUE(volume->IsAvailable());
  EXPECT_FALSE(volume->GetParent());
}

TEST(VolumeTableTest, TheSystemTableHasTheTopOfTheFileSystem) {
  const auto volumes = CVolumeTable::ReadSystem();
  EXPECT_TRUE(std::any_of(volumes.begin(), volumes.end(),
                          [](const CShellVolume& v) { return v.mountPoint == "/"; }));
}

}  // namespace
