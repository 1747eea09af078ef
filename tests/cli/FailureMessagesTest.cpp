// What the commands say when they cannot do what was asked: the failure as what it is (a folder
// the user may not write to, an output that is an input, a FIFO for a description file, a size
// that is no number, a damaged description), never a disk problem or a locked file that is not
// there.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

class FailureMessages : public ::testing::Test {
 protected:
  FailureMessages() {
    WriteContent(dir / "In");
    Pack(dir / "In", dir / "kit.hmp");
  }

  // Runs the command line in the test's folder, answering nothing.
  CommandRun HamperIn(const std::string& command) {
    CommandRun r;
    const fs::path errFile = dir / "stderr.txt";
    r.code = test::RunCommand("cd " + Q(dir.Path()) + " && " + command + " 2>" + Q(errFile) + " </dev/null", &r.out);
    const Bytes err = test::ReadFileBytes(errFile);
    r.err.assign(err.begin(), err.end());
    fs::remove(errFile);
    return r;
  }

  test::TempDir dir;
};

// A folder the user may not write to: the root user may write anywhere, so as root the commands
// run as an ordinary user, from copies that user can reach.
TEST_F(FailureMessages, AFolderTheUserMayNotWriteToIsPermissionDenied) {
  std::string program = HAMPER_EXE;
  if (::geteuid() == 0) {
    fs::create_directories(dir / "bin");
    fs::copy_file(HAMPER_EXE, dir / "bin/hamper");
    fs::copy_file(HAMPER_SLC_LIBRARY_FILE, dir / "bin" / fs::path(HAMPER_SLC_LIBRARY_FILE).filename());
    for (auto it = fs::recursive_directory_iterator(dir.Path()); it != fs::recursive_directory_iterator(); ++it) {
      fs::permissions(it->path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    }
    fs::permissions(dir.Path(), fs::perms::all);
    program = "setpriv --reuid=nobody --regid=nogroup --clear-groups " + (dir / "bin/hamper").string();
  }
  fs::create_directory(dir / "ro");
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  for (const std::string& args : {"pack -q In -o ro/out.hmp", "thumbnail kit.hmp ro/out.png",
                                  "encode-audio In/Samples/kick.wav ro/out.vrp"}) {
    SCOPED_TRACE(args);
    const CommandRun r = HamperIn(program + " " + args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("locked"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(dir / "ro"));
  }
}

TEST_F(FailureMessages, AFailureIsSaidAsWhatItIs) {
  fs::copy(dir / "In", dir / "Piped", fs::copy_options::recursive);
  fs::remove(dir / "Piped/INFO.TXT");
  ASSERT_EQ(::mkfifo((dir / "Piped/NAME.TXT").c_str(), 0644), 0);
  struct Case {
    std::string args;
    int code;
    std::string said;
  };
  const Case cases[] = {
      {"pack -q -f In -o In/Splash.jpg", 1,
       (dir / "In/Splash.jpg").string() + ": is a file the pack reads (" + (dir / "In/Splash.jpg").string() + ")"},
      {"pack -q Piped -o piped.hmp", 1, (dir / "Piped/NAME.TXT").string() + ": is not a regular file"},
      {"check Piped", 1, "NAME.TXT: is not a regular file"},
      {"thumbnail kit.hmp out.png abc", 2, "SIZE: must be a number of pixels from 1 to 1024, not \"abc\""},
      {"thumbnail kit.hmp out.png -3", 2, "SIZE: must be a number of pixels from 1 to 1024, not \"-3\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CommandRun r = HamperIn(std::string(HAMPER_EXE) + " " + c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("disk problem"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "Piped/NAME.TXT"));
  EXPECT_FALSE(fs::exists(dir / "out.png"));
  EXPECT_FALSE(fs::exists(dir / "piped.hmp"));
}

// A description record that does not read is a damaged Hamper, whichever command meets it.
TEST_F(FailureMessages, ADamagedDescriptionIsADamagedHamper) {
  const Bytes good = test::ReadFileBytes(dir / "kit.hmp");
  const std::uint32_t nameLength = (std::uint32_t{good[264]} << 24) | (good[265] << 16) | (good[266] << 8) | good[267];
  Bytes longComments = good;
  PutU32BE(longComments, 268 + nameLength, 0x00FFFFFF);
  Bytes zeroInName = good;
  zeroInName[268] = 0;
  test::WriteFileBytes(dir / "long.hmp", longComments);
  test::WriteFileBytes(dir / "zero.hmp", zeroInName);
  for (const char* file : {"long.hmp", "zero.hmp"}) {
    for (const std::string command : {"list", "list --long", "info", "verify", "thumbnail", "extract"}) {
      const std::string args = command + " " + file +
                               (command == "thumbnail" ? " out.png" : command == "extract" ? " Out" : "");
      SCOPED_TRACE(args);
      const CommandRun r = HamperIn(std::string(HAMPER_EXE) + " " + args);
      EXPECT_EQ(r.code, 1);
      EXPECT_NE(r.err.find(std::string(file) + ": damaged Hamper: the description record: "), std::string::npos)
          << r.err;
    }
  }
  EXPECT_FALSE(fs::exists(dir / "out.png"));
}

}  // namespace
