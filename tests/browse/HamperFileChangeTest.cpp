// A Hamper opened for looking inside reads the file it opened, whatever becomes of its name, and
// says what became of it.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "browse/BrowseFixtures.h"
#include "framework/media/OpenFile.h"

using namespace browsetest;

namespace {

Bytes ReadMedia(NSFerryman::CMedia& media) {
  Bytes bytes(static_cast<std::size_t>(media.GetSize()));
  media.ReadAt(0, bytes.size(), bytes.data());
  return bytes;
}

TEST(HamperFileChange, TheFileOpenedIsReadWhateverItsNameHoldsAndTheChangeIsNamed) {
  const fs::path scratch = PackedHampers::Get().Scratch() / "changes";
  fs::create_directories(scratch);
  const Bytes demo = test::ReadFileBytes(PackedHampers::Get().Demo());
  const Bytes other = Bytes(demo.begin(), demo.end() - 5000);  // another file: the demo, cut
  const struct {
    const char* name;
    std::function<void(const fs::path&)> change;
    EHamperFileChange expected;
    bool oldBytesStay;
  } cases[] = {
      {"nothing", [](const fs::path&) {}, EHamperFileChange::kNone, true},
      {"renamed over, as a pack does",
       [&](const fs::path& path) {
         test::WriteFileBytes(scratch / "new.hmp", other);
         fs::rename(scratch / "new.hmp", path);
       },
       EHamperFileChange::kReplaced, true},
      {"removed", [](const fs::path& path) { fs::remove(path); }, EHamperFileChange::kRemoved, true},
      {"written over in place, as cp does",
       [&](const fs::path& path) {
         const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(::write(fd, other.data(), other.size()), static_cast<ssize_t>(other.size()));
         ::close(fd);
       },
       EHamperFileChange::kChangedInPlace, false},
      {"touched",
       [](const fs::path& path) {
         const struct timespec times[2] = {{0, UTIME_NOW}, {12345, 678}};
         ::utimensat(AT_FDCWD, path.c_str(), times, 0);
       },
       EHamperFileChange::kChangedInPlace, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = scratch / "Harbor Drums.hmp";
    test::WriteFileBytes(path, demo);
    const auto contents = CHamperContents::Open(path.string());
    const std::size_t kick = RecordOf(*contents, "Drums:Kick.wav");
    const Bytes kickBytes = ReadMedia(*contents->OpenItem(kick));
    EXPECT_EQ(contents->ChangeOnDisk(), EHamperFileChange::kNone);

    c.change(path);
    EXPECT_EQ(contents->ChangeOnDisk(), c.expected);
    if (!c.oldBytesStay) continue;
    // Items, the whole file and the path for code that opens by path all give the file opened.
    EXPECT_EQ(ReadMedia(*contents->OpenItem(kick)), kickBytes);
    EXPECT_EQ(ReadMedia(*contents->OpenFile()), demo);
    EXPECT_EQ(test::ReadFileBytes(contents->ReadablePath()), demo);
    EXPECT_TRUE(contents->SampleFacts(kick, false).ok);
  }
}

TEST(HamperFileChange, AFileThatCouldNotBeOpenedIsNeverOpenedByNameLater) {
  const fs::path path = PackedHampers::Get().Scratch() / "later.hmp";
  fs::remove(path);
  const auto contents = CHamperContents::Open(path.string());
  fs::copy_file(PackedHampers::Get().Demo(), path);
  EXPECT_EQ(contents->ChangeOnDisk(), EHamperFileChange::kNone);
  EXPECT_THROW(contents->OpenFile(), NSFerryman::XFileNotFound);
  EXPECT_THROW(contents->ReadablePath(), NSFerryman::XFileNotFound);
}

}  // namespace
