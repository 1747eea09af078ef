#include <gtest/gtest.h>

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

  // Runs `hamper pack` (quiet, answering nothing) with the given temporary folder.
  int Pack(const fs::path& output, std::string& err, const fs::path& temporary, const std::string& prefix = "",
           const fs::path& program = HAMPER_EXE) {
    const std::string command = prefix + "env TMPDIR=" + temporary.string() + " " + program.string() + " pack -q " +
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

// The disk fills while the index is written, while the data is copied behind it, and while the
// temporary data is packed: each time the job ends with the failure named, and nothing is left.
TEST_F(PackFaults, DiskFull) {
  // Long names make a large index; a long sample makes much data.
  for (int i = 0; i < 400; ++i) {
    test::WriteFileBytes(dir / "In/Names" / (std::string(200, 'n') + std::to_string(i) + ".wav"), contenttest::Wave(1, 10));
  }
  test::WriteFileBytes(dir / "In/Long/noise.wav", contenttest::Wave(2, 400000));
  struct Case {
    const char* name;
    const char* outputSize;  // the volume the Hamper goes to
    const char* temporarySize;  // "" for the ordinary temporary folder
    const char* said;
  };
  const Case cases[] = {
      {"in the index", "size=40k", "", "Disk Full: The Operation could not be completed because not enough space"},
      {"in the data", "size=200k", "", "Disk Full: The Operation could not be completed because not enough space"},
      {"in the temporary data", "", "size=100k",
       "Bad format: The file \"Long:noise.wav\" could not be packed. Packing is cancelled.\n  ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path outputFolder = dir / "out";
    const fs::path temporaryFolder = dir / "tmp";
    std::unique_ptr<CScratchVolume> outputVolume, temporaryVolume;
    if (*c.outputSize) outputVolume = std::make_unique<CScratchVolume>(outputFolder, c.outputSize);
    if (*c.temporarySize) temporaryVolume = std::make_unique<CScratchVolume>(temporaryFolder, c.temporarySize);
    if ((outputVolume && !outputVolume->Mounted()) || (temporaryVolume && !temporaryVolume->Mounted())) {
      GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    fs::create_directories(outputFolder);
    std::string err;
    EXPECT_EQ(Pack(outputFolder / "out.hmp", err, temporaryFolder), 1);
    EXPECT_NE(err.find(c.said), std::string::npos) << err;
    EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(outputFolder / "out.hmp"));
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
