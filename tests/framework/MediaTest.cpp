#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

#include "framework/media/FileErrors.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialMedia.h"
#include "framework/media/TemporaryOpenFile.h"
#include "framework/resources/Alert.h"
#include "framework/resources/ExceptionAlerts.h"
#include "framework/resources/ResourceCache.h"
#include "support/TestSupport.h"

using namespace NSFerryman;

namespace {

std::unique_ptr<CMemoryMedia> MediaOf(const std::vector<std::uint8_t>& bytes) {
  auto m = std::make_unique<CMemoryMedia>();
  m->WriteAt(0, bytes.size(), bytes.data());
  m->SetPosition(0);
  return m;
}

std::vector<std::uint8_t> Bytes(CMemoryMediaBase& m) { return {m.Data(), m.Data() + m.GetSize()}; }

}  // namespace

TEST(MediaPrimitives, IntegersAreBigEndianAndStringsCarryTheirCount) {
  CMemoryMedia m;
  m.WriteU32(0x01020304);
  m.WriteU16(0xA0B0);
  m.WriteU32LE(0x01020304);
  m.WriteString("Hamp");
  m.WriteString("");
  EXPECT_EQ(Bytes(m), (std::vector<std::uint8_t>{1, 2, 3, 4, 0xA0, 0xB0, 4, 3, 2, 1, 0, 0, 0, 4, 'H', 'a', 'm',
                                                   'p', 0, 0, 0, 0}));
  m.SetPosition(0);
  EXPECT_EQ(m.ReadU32(), 0x01020304u);
  EXPECT_EQ(m.ReadU16(), 0xA0B0u);
  EXPECT_EQ(m.ReadU32LE(), 0x01020304u);
  EXPECT_EQ(m.ReadString(), "Hamp");
  EXPECT_EQ(m.ReadString(), "");
  EXPECT_EQ(m.GetPosition(), m.GetSize());
}

TEST(MediaPrimitives, ReadStringRejectsBadCountsWithoutReadingThem) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"count one past the end", {0, 0, 0, 3, 'a', 'b'}},
      {"count near 2^32", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}},
      {"zero byte inside", {0, 0, 0, 3, 'a', 0, 'b'}},
  };
  for (const auto& c : cases) {
    auto m = MediaOf(c.bytes);
    EXPECT_THROW(m->ReadString(), XBadFormat) << c.what;
  }
  // An exact fit is fine, and nothing beyond the count is consumed.
  auto m = MediaOf({0, 0, 0, 2, 'a', 'b', 'c'});
  EXPECT_EQ(m->ReadString(), "ab");
  EXPECT_EQ(m->GetPosition(), 6u);
}

TEST(MemoryMedia, GrowsByHalfTheShortfallAndAtLeast100) {
  CMemoryMedia m(0);
  const std::uint8_t ten[10] = {};
  m.WriteAt(0, sizeof ten, ten);
  EXPECT_EQ(m.GetCapacity(), 100u);
  EXPECT_EQ(m.GetSize(), 10u);
  // Needs 400 with 100 available: 100 + max(100, 300 * 3 / 2) = 550.
  std::vector<std::uint8_t> big(390, 7);
  m.WriteAt(10, big.size(), big.data());
  EXPECT_EQ(m.GetCapacity(), 550u);
  EXPECT_EQ(m.GetSize(), 400u);
  // Writing inside the size never shrinks it.
  m.WriteAt(0, sizeof ten, ten);
  EXPECT_EQ(m.GetSize(), 400u);
  EXPECT_EQ(m.GetPosition(), 10u);

  CMemoryMedia r(0);
  std::uint8_t* p = r.Reserve(7);
  EXPECT_EQ(r.GetCapacity(), 100u);
  EXPECT_EQ(r.GetSize(), 7u);
  p[6] = 42;
  EXPECT_EQ(r.Data()[6], 42);
}

TEST(MemoryMedia, ReadPastTheSizeIsARead) {
  auto m = MediaOf({1, 2, 3});
  std::uint8_t b[4];
  EXPECT_THROW(m->ReadAt(0, 4, b), XRead);
  EXPECT_THROW(m->ReadAt(4, 0, b), XRead);
  EXPECT_THROW(m->ReadAt(~MediaSize{0}, 2, b), XRead);
  m->ReadAt(3, 0, b);  // an empty read at the end is fine
}

TEST(MemoryMedia, OwnedCopyTakesAllBytesAndKeepsTheSourcePosition) {
  auto source = MediaOf({9, 8, 7, 6});
  source->SetPosition(2);
  COwnedMemoryMedia copy(*source);
  EXPECT_EQ(copy.GetCapacity(), 4u);
  EXPECT_EQ(copy.GetPosition(), 2u);
  EXPECT_EQ(source->GetPosition(), 2u);
  EXPECT_EQ(Bytes(copy), (std::vector<std::uint8_t>{9, 8, 7, 6}));
}

TEST(PartialMedia, BoundedWindowsStayInsideTheirBounds) {
  auto basePtr = MediaOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  CMemoryMedia& base = *basePtr;
  CPartialMedia window(base, 2, 8);
  std::uint8_t b[9];
  window.ReadAt(0, 8, b);
  EXPECT_EQ(b[0], 2);
  EXPECT_EQ(b[7], 9);
  EXPECT_EQ(window.GetPosition(), 8u);
  EXPECT_THROW(window.ReadAt(0, 9, b), XRead);
  EXPECT_THROW(window.ReadAt(7, 2, b), XRead);
  EXPECT_THROW(window.WriteAt(8, 1, b), XWrite);
  EXPECT_THROW(window.SetPosition(9), XPosition);
  EXPECT_THROW(window.SetPositionSigned(-1), XPosition);
  EXPECT_THROW(window.SetPosition(static_cast<MediaSize>(-1)), XPosition);

  CPartialMedia open(base, 4);
  EXPECT_EQ(open.GetSize(), 8u);
  EXPECT_THROW(open.SetPositionSigned(-1), XPosition);
  open.SetPosition(1);
  EXPECT_EQ(open.ReadByte(), 5);
  EXPECT_EQ(base.GetPosition(), 6u);  // windows move their base
}

TEST(CopyFrom, CopiesAcrossBlockBoundariesAndNothingForCountsBelowOne) {
  std::vector<std::uint8_t> data(2500);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  auto source = MediaOf(data);
  source->SetPosition(3);
  CMemoryMedia target;
  target.CopyFrom(*source, 2497);
  EXPECT_EQ(Bytes(target), std::vector<std::uint8_t>(data.begin() + 3, data.end()));
  target.CopyFrom(*source, 0);
  target.CopyFrom(*source, -5);
  EXPECT_EQ(target.GetSize(), 2497u);
}

TEST(FileErrors, ErrnoMapsToOneExceptionClass) {
  using Check = std::function<void()>;
  struct Case {
    int err;
    FileOperation op;
    std::function<void(const Check&)> expect;
  };
  auto is = [](auto tag) {
    return [](const Check& f) { EXPECT_THROW(f(), decltype(tag)); };
  };
  const Case cases[] = {
      {ENOENT, FileOperation::kOpen, is(XFileNotFound{})},   {ENOTDIR, FileOperation::kOpen, is(XFileNotFound{})},
      {EACCES, FileOperation::kOpen, is(XPermissionDenied{})}, {EPERM, FileOperation::kWrite, is(XPermissionDenied{})},
      {EROFS, FileOperation::kCreate, is(XPermissionDenied{})},    {ETXTBSY, FileOperation::kWrite, is(XFileLocked{})},
      {EBUSY, FileOperation::kDelete, is(XFileLocked{})},    {ENOSPC, FileOperation::kWrite, is(XDiskFull{})},
      {EDQUOT, FileOperation::kWrite, is(XDiskFull{})},      {EMFILE, FileOperation::kOpen, is(XOpenFailed{})},
      {ENFILE, FileOperation::kOpen, is(XOpenFailed{})},     {EIO, FileOperation::kRead, is(XRead{})},
      {EIO, FileOperation::kWrite, is(XWrite{})},            {EEXIST, FileOperation::kCreate, is(XCreateFailed{})},
      {EINVAL, FileOperation::kOpen, is(XFile{})},           {ENOMEM, FileOperation::kOpen, is(std::bad_alloc{})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    c.expect([&] { ThrowFileError(c.err, c.op, "some file"); });
  }
}

TEST(OpenFile, ReadsWritesAndReportsPlatformFailures) {
  test::TempDir dir;
  CFileSpec file((dir / "a.bin").string());
  {
    COpenFile f(file, 0, 0);
    f.WriteU32(0xDEADBEEF);
    f.WriteAt(10, 2, "xy");
    EXPECT_EQ(f.GetSize(), 12u);
    EXPECT_EQ(f.GetPosition(), 12u);
  }
  {
    COpenFile f(file);
    EXPECT_EQ(f.ReadU32(), 0xDEADBEEFu);
    std::uint8_t b[3];
    EXPECT_THROW(f.ReadAt(10, 3, b), XRead);
  }
  EXPECT_TRUE(file.Exists());
  file.Delete();
  EXPECT_FALSE(file.Exists());
  EXPECT_THROW(COpenFile{file}, XFileNotFound);
  EXPECT_THROW(file.Delete(), XFileNotFound);
  EXPECT_THROW(COpenFile{CFileSpec(dir.Path().string())}, XFileNotFound);  // a folder is no file
  EXPECT_THROW(COpenFile(CFileSpec((dir / "missing" / "x").string()), 0, 0), XFileNotFound);
}

TEST(OpenFile, AFullDiskIsDiskFull) {
  // A private node of the always-full device, so that nothing of the system's is written to.
  test::TempDir dir;
  if (::mknod((dir / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "making a device node needs root";
  }
  COpenFile f(CFileSpec((dir / "full").string()), 0, 0);
  std::vector<std::uint8_t> block(4096);
  try {
    f.Write(block.size(), block.data());
    FAIL() << "a write to a full disk succeeded";
  } catch (const XDiskFull& e) {
    // The user is shown the framework's "Disk Full" alert for it.
    const auto alert = FrameworkAlertFor(e);
    ASSERT_EQ(alert, 3u);
    const CAlert shown = ParseAlert(GetAlertScript(AlertId(kFrameworkResources, *alert)));
    EXPECT_EQ(shown.title, "Disk Full");
    EXPECT_EQ(shown.icon, EAlertIcon::kStop);
  }
}

TEST(FileSpec, SplitsFolderAndName) {
  CFileSpec file("/music/kits/Kick.wav");
  EXPECT_EQ(file.GetFolder(), "/music/kits/");
  EXPECT_EQ(file.GetName(), "Kick.wav");
  EXPECT_EQ(file.GetFullPath(), "/music/kits/Kick.wav");
  EXPECT_EQ(CDirSpec("/music/kits").GetPath(), "/music/kits/");
  EXPECT_EQ(CDirSpec("/music/kits/").GetName(), "kits");
  EXPECT_EQ(CDirSpec("/").GetName(), "");
}

class TemporaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    if (old) saved_ = old;
    had_ = old != nullptr;
    setenv("TMPDIR", dir_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (had_) setenv("TMPDIR", saved_.c_str(), 1);
    else unsetenv("TMPDIR");
  }
  test::TempDir dir_;
  std::string saved_;
  bool had_ = false;
};

TEST_F(TemporaryFileTest, NamesAreTempAndTwentyCharactersFromTheAlphabet) {
  CTemporaryOpenFile::SeedNameGenerator(0);
  const std::string name = CTemporaryOpenFile::NextName();
  ASSERT_EQ(name.size(), 24u);
  EXPECT_EQ(name.substr(0, 4), "temp");
  EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 4), std::string::npos);
  // The first step from 0 is 0x3619636B, whose remainder by 36 picks the first character.
  EXPECT_EQ(name[4], "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"[0x3619636Bu % 36]);
}

TEST_F(TemporaryFileTest, NeverOpensOrFollowsWhatAlreadyStandsAtAName) {
  CTemporaryOpenFile::SeedNameGenerator(1234);
  const std::string first = CTemporaryOpenFile::NextName();
  const std::string second = CTemporaryOpenFile::NextName();
  const auto target = dir_ / "target";
  test::WriteFileText(target, "precious");
  std::filesystem::create_symlink(target, dir_ / first);
  test::WriteFileText(dir_ / second, "stale");

  CTemporaryOpenFile::SeedNameGenerator(1234);
  std::string path;
  {
    CTemporaryOpenFile temp;
    path = temp.GetFileSpec().GetFullPath();
    EXPECT_NE(temp.GetFileSpec().GetName(), first);
    EXPECT_NE(temp.GetFileSpec().GetName(), second);
    EXPECT_EQ(temp.GetFileSpec().GetFolder(), dir_.Path().string() + "/");
    temp.WriteString("scratch");
    EXPECT_EQ(temp.GetSize(), 11u);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(test::ReadFileBytes(target), std::vector<std::uint8_t>({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / first));
  EXPECT_EQ(test::ReadFileBytes(dir_ / second).size(), 5u);
}

TEST_F(TemporaryFileTest, DestroyingAfterTheFileWasDeletedRaisesNothing) {
  auto temp = std::make_unique<CTemporaryOpenFile>();
  temp->GetFileSpec().Delete();
  EXPECT_NO_THROW(temp.reset());
}
