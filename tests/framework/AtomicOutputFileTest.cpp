#include "framework/media/AtomicOutputFile.h"

#include <gtest/gtest.h>

#include <iostream>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "framework/media/Exceptions.h"
#include "framework/media/PartialOutputRegistry.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& dir) { return test::NamesIn(dir); }

std::string Text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(CAtomicOutputFile& file, const std::string& text) { file.Media().Write(text.size(), text.data()); }

}  // namespace

TEST(AtomicOutputFile, AppearsWhenCommittedAndNeverHalfWritten) {
  test::TempDir dir;
  test::WriteFileText(dir / "out.txt", "old");
  ::chmod((dir / "out.txt").c_str(), 0640);
  {
    CAtomicOutputFile file((dir / "out.txt").string());
    Write(file, "new contents");
    // Meanwhile the output is untouched and the partial file is one short hidden name.
    EXPECT_EQ(Text(dir / "out.txt"), "old");
    const auto names = Names(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string partial = *names.begin();
    EXPECT_EQ(partial[0], '.');
    EXPECT_LT(partial.size(), 32u);
    file.Commit();
  }
  EXPECT_EQ(Text(dir / "out.txt"), "new contents");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.txt"});
  EXPECT_EQ(fs::status(dir / "out.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // Abandoned: nothing changes and nothing is left.
  {
    CAtomicOutputFile file((dir / "out.txt").string());
    Write(file, "half");
  }
  EXPECT_EQ(Text(dir / "out.txt"), "new contents");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.txt"});
}

TEST(AtomicOutputFile, TakesTheLongestNameTheFileSystemAllows) {
  test::TempDir dir;
  const std::string name(255, 'n');
  CAtomicOutputFile file((dir / name).string());
  Write(file, "x");
  file.Commit();
  EXPECT_EQ(Text(dir / name), "x");
}

TEST(AtomicOutputFile, ALinkKeepsStandingAndItsFinalTargetIsReplaced) {
  test::TempDir dir;
  fs::create_directory(dir / "sub");
  test::WriteFileText(dir / "sub" / "target.txt", "old");
  fs::create_symlink("sub/target.txt", dir / "first");  // relative, through a second link
  fs::create_symlink(dir / "first", dir / "second");
  fs::create_symlink("nowhere.txt", dir / "dangling");
  {
    CAtomicOutputFile file((dir / "second").string());
    Write(file, "new");
    file.Commit();
  }
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "second")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "first")));
  EXPECT_EQ(Text(dir / "sub" / "target.txt"), "new");
  EXPECT_EQ(Names(dir / "sub"), std::set<std::string>{"target.txt"});
}

// A link to nothing is what stands at the output: it counts as there, and it is replaced itself,
// never followed to create a file wherever it points (a folder of its own, through more links).
TEST(AtomicOutputFile, ALinkToNothingIsReplacedItself) {
  test::TempDir dir;
  fs::create_directory(dir / "elsewhere");
  fs::create_symlink("nowhere.txt", dir / "dangling");
  fs::create_symlink(dir / "elsewhere" / "made.txt", dir / "far");
  fs::create_symlink("far", dir / "chain");
  for (const char* name : {"dangling", "chain"}) {
    SCOPED_TRACE(name);
    CAtomicOutputFile file((dir / name).string());
    EXPECT_EQ(file.GetTarget(), (dir / name).string());
    EXPECT_TRUE(file.TargetExists());
    Write(file, "made");
    EXPECT_FALSE(file.Commit(CAtomicOutputFile::EReplace::kKeep));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / name)));
    file.Commit();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name)));
    EXPECT_EQ(Text(dir / name), "made");
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "nowhere.txt")));
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST(AtomicOutputFile, DevicesAndFifosAreWrittenThroughNeverReplaced) {
  test::TempDir dir;
  // A private node of the null device (only root may make one), and a FIFO with a reader.
  const bool device = ::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  if (!device) std::cerr << "(the device part is skipped: making a device node needs root)\n";
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
  if (device) {
    fs::create_symlink(dir / "null", dir / "to-null");
    for (const char* name : {"null", "to-null"}) {
      CAtomicOutputFile file((dir / name).string());
      Write(file, "discarded");
      file.Commit();
    }
  }
  std::string received;
  std::thread reader([&] { received = Text(dir / "fifo"); });
  {
    CAtomicOutputFile file((dir / "fifo").string());
    Write(file, "through the pipe");
    EXPECT_THROW(file.Media().WriteAt(0, 1, "x"), XPosition);  // no going back in a pipe
    file.Commit();
  }
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "fifo")));
  if (!device) {
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"fifo"}));
    return;
  }
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status(dir / "null")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "to-null")));
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"null", "fifo", "to-null"}));
}

TEST(AtomicOutputFile, RefusesTheInputItselfAndImpossibleOutputs) {
  test::TempDir dir;
  test::WriteFileText(dir / "in.wav", "input");
  fs::create_symlink(dir / "in.wav", dir / "link.wav");
  fs::create_hard_link(dir / "in.wav", dir / "hard.wav");
  const std::string input = (dir / "in.wav").string();
  for (const std::string& output : {input, (dir / "link.wav").string(), (dir / "hard.wav").string(),
                                   (dir / "." / "in.wav").string()}) {
    try {
      CAtomicOutputFile file(output, {"elsewhere.wav", input});
      ADD_FAILURE() << output << " accepted";
    } catch (const XCreateFailed& e) {
      EXPECT_NE(std::string(e.what()).find("is the input file itself"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(Text(dir / "in.wav"), "input");
  EXPECT_THROW(CAtomicOutputFile((dir / "missing" / "out").string()), XFileNotFound);
  EXPECT_THROW(CAtomicOutputFile(dir.Path().string()), XCreateFailed);
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"in.wav", "link.wav", "hard.wav"}));
}

// A signal ends the process with its own default action, and the partial file goes with it.
TEST(AtomicOutputFile, ASignalRemovesThePartialOutput) {
  for (int signal : {SIGINT, SIGTERM}) {
    test::TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      InstallPartialOutputRemoval();
      CAtomicOutputFile file((dir / "out.bin").string());
      Write(file, std::string(100000, 'p'));
      ::raise(signal);
      ::_exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal) << " status " << status;
    EXPECT_TRUE(Names(dir.Path()).empty()) << strsignal(signal);
  }
}
