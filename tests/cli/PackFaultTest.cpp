#include <gtest/gtest.h>

#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/ContentFolder.h"

namespace fs = std::filesystem;

namespace {

// A small file system of its own for a test: a tmpfs mounted on a folder of the test's, so that
// a disk can fill up or be read-only. Tests that need one are skipped where mounting is not
// allowed.
class CScratchVolume {
 public:
  CScratchVolume(const fs::path& where, const std::string& options) : where_(where) {
    fs::create_directories(where);
    mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~CScratchVolume() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  void MakeReadOnly() { ::mount("tmpfs", where_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr); }

 private:
  fs::path where_;
  bool mounted_ = false;
};

class PackFaults : public ::testing::Test {
 protected:
  PackFaults() {
    contenttest::WriteUsualFolder(dir / "In");
    fs::create_directories(dir / "tmp");
  }

  // Runs `hamper pack` (quiet unless told otherwise, answering nothing) with the given temporary
  // folder.
  int Pack(const fs::path& output, std::string& err, const fs::path& temporary, const std::string& prefix = "",
           const fs::path& program = HAMPER_EXE, const std::string& options = "-q") {
    const std::string command = prefix + "env TMPDIR=" + temporary.string() + " " + program.string() + " pack " +
                                options + " " +
                                (dir / "In").string() + " -o " + output.string() + " 2>" + (dir / "stderr").string() +
                                " </dev/null";
    const int code = test::RunCommand(command);
    const auto bytes = test::ReadFileBytes(dir / "stderr");
    err.assign(bytes.begin(), bytes.end());
    return code;
  }

  test::TempDir dir;
};

}  // namespace

TEST_F(PackFaults, ReadOnlyOutputFolder) {
  CScratchVolume volume(dir / "ro", "size=4m");
  if (!volume.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  volume.MakeReadOnly();
  std::string err;
  EXPECT_EQ(Pack(dir / "ro/out.hmp", err, dir / "tmp"), 1);
  EXPECT_NE(err.find("out.hmp"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "ro/out.hmp"));
  EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
}

// The disk fills while the data is written, while the index is, and while a published song is
// unpacked to be checked: each time the job ends with "Disk Full" naming the Hamper, never blaming
// a file it packs, and nothing is left. The temporary folder is not written at all: a full one
// changes nothing.
TEST_F(PackFaults, DiskFull) {
  // Long names make a large index; a long sample makes much data.
  for (int i = 0; i < 400; ++i) {
    test::WriteFileBytes(dir / "In/Names" / (std::string(200, 'n') + std::to_string(i) + ".wav"), contenttest::Wave(1, 10));
  }
  struct Case {
    const char* name;
    const char* outputSize;  // the volume the Hamper goes to
    const char* temporarySize;  // "" for the ordinary temporary folder
    bool withLongSample;
    bool withLargeSong;
    int exitCode;
    const char* lastStage;  // where it fails
  };
  const Case cases[] = {
      {"in the data", "size=200k", "", true, false, 1, "Packing files..."},
      {"in the index", "size=60k", "", false, false, 1, "Building index for files..."},
      {"in a song unpacked for its check", "size=100k", "", false, true, 1, "Verifying contents of files..."},
      {"a full temporary folder", "", "size=4k", true, true, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path outputFolder = dir / "out";
    const fs::path temporaryFolder = dir / "tmp";
    fs::remove(dir / "In/Long/noise.wav");
    fs::remove(dir / "In/Songs/big.tps");
    if (c.withLongSample) test::WriteFileBytes(dir / "In/Long/noise.wav", contenttest::Wave(2, 400000));
    if (c.withLargeSong) {
      test::WriteFileBytes(dir / "In/Songs/big.tps", contenttest::Authored("kind published-song-1\nchunk TEXT \"" +
                                                                           std::string(300000, 'x') + "\"\nrefs\nend\n"));
    }
    std::unique_ptr<CScratchVolume> outputVolume, temporaryVolume;
    if (*c.outputSize) outputVolume = std::make_unique<CScratchVolume>(outputFolder, c.outputSize);
    if (*c.temporarySize) temporaryVolume = std::make_unique<CScratchVolume>(temporaryFolder, c.temporarySize);
    if ((outputVolume && !outputVolume->Mounted()) || (temporaryVolume && !temporaryVolume->Mounted())) {
      GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    if (temporaryVolume) test::WriteFileBytes(temporaryFolder / "filler", std::vector<std::uint8_t>(4096, 1));
    fs::create_directories(outputFolder);
    std::string err;
    EXPECT_EQ(Pack(outputFolder / "out.hmp", err, temporaryFolder, "", HAMPER_EXE, ""), c.exitCode) << err;
    if (c.lastStage) {
      // The stage lines end with "...": a later stage would follow this one.
      const std::size_t at = err.find(c.lastStage);
      ASSERT_NE(at, std::string::npos) << err;
      EXPECT_EQ(err.find("...\n", at + std::strlen(c.lastStage)), std::string::npos) << "it went on:\n" << err;
    }
    if (c.exitCode != 0) {
      EXPECT_NE(err.find("Disk Full: The Operation could not be completed because not enough space"), std::string::npos)
          << err;
      EXPECT_NE(err.find((outputFolder / "out.hmp").string() + ": No space left on device"), std::string::npos) << err;
      EXPECT_EQ(err.find("Bad format"), std::string::npos) << err;
      EXPECT_FALSE(fs::exists(outputFolder / "out.hmp"));
    } else {
      EXPECT_TRUE(fs::exists(outputFolder / "out.hmp"));
    }
    EXPECT_EQ(contenttest::FilesIn(outputFolder).size(), c.exitCode == 0 ? 1u : 0u) << "a hidden file was left";
    if (temporaryVolume) fs::remove(temporaryFolder / "filler");
    EXPECT_TRUE(contenttest::FilesIn(temporaryFolder).empty());
  }
}

TEST_F(PackFaults, UnreadableSourceFile) {
  // Root reads everything: the job runs as an unprivileged user to meet a file it may not read.
  if (::geteuid() != 0) GTEST_SKIP() << "running the pack as another user needs root";
  fs::permissions(dir.Path(), fs::perms::all);
  for (auto it = fs::recursive_directory_iterator(dir.Path()); it != fs::recursive_directory_iterator(); ++it) {
    fs::permissions(it->path(), it->is_directory() ? fs::perms::all : fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  }
  fs::permissions(dir / "In/Samples/snare.wav", fs::perms::none);
  // The other user may not reach the build folder (a checkout in a private home folder): the
  // program and the sliced-loop library it loads from beside itself are copied where it can.
  fs::create_directories(dir / "bin");
  fs::copy_file(HAMPER_EXE, dir / "bin/hamper");
  fs::copy_file(HAMPER_SLC_LIBRARY_FILE, dir / "bin" / fs::path(HAMPER_SLC_LIBRARY_FILE).filename());
  fs::permissions(dir / "bin", fs::perms::all);
  std::string err;
  const int code = Pack(dir / "out.hmp", err, dir / "tmp", "setpriv --reuid=nobody --regid=nogroup --clear-groups ",
                        dir / "bin/hamper");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(err.substr(0, err.find('\n')),
            "Bad format: The file \"Samples:snare.wav\" could not be verified. Packing is cancelled.");
  EXPECT_NE(err.find("Permission denied"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "out.hmp"));
  EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
}

// A Hamper addresses its bytes with 32 bits. Files stored as they are show at once that one would
// not fit: the pack refuses before it packs anything (here two sparse files that take no room,
// which it would otherwise write out in full), and the dry run reports it.
TEST_F(PackFaults, AHamperPast4GiBIsRefusedBeforePacking) {
  for (const char* name : {"In/Data/one.pad", "In/Data/two.pad"}) {
    test::WriteFileText(dir / name, "pad");
    fs::resize_file(dir / name, std::uintmax_t{2200} << 20);
  }
  std::string err;
  EXPECT_EQ(Pack(dir / "out.hmp", err, dir / "tmp", "", HAMPER_EXE, ""), 1);
  EXPECT_NE(err.find("Write Problem: The Operation could not be completed because of a write problem."),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("the Hamper would exceed 4 GiB (at least 4613"), std::string::npos) << err;
  EXPECT_NE(err.find("Checking for referenced Hampers...\n"), std::string::npos) << err;
  EXPECT_EQ(err.find("Packing files..."), std::string::npos) << err;
  EXPECT_EQ(contenttest::FilesIn(dir.Path()).size(), contenttest::FilesIn(dir / "In").size() + 1)
      << "nothing but the pack's standard error was written";

  std::string out;
  EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " check " + (dir / "In").string(), &out), 1);
  EXPECT_NE(out.find("Problems that would stop a pack (1):\n  too large: the Hamper would exceed 4 GiB (at least 4613"),
            std::string::npos)
      << out;
}
