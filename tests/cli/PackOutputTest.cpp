// What `hamper pack` does to the file system beside its Hamper: it never replaces one of its own
// inputs, never replaces what it was not allowed to, never leaves a partial Hamper under the
// output's name, and fails cleanly at the limits of threads, memory and file size.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/ContentFolder.h"

namespace fs = std::filesystem;

namespace {

using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

// Every file below `folder` (links followed) with its bytes.
Snapshot Take(const fs::path& folder) {
  Snapshot files;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
    if (fs::is_regular_file(it->path())) files[fs::relative(it->path(), folder).string()] = test::ReadFileBytes(it->path());
  }
  return files;
}

// The hidden file a pack writes its Hamper to, beside the output.
std::optional<fs::path> PartialFileIn(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".hamper-")) return entry.path();
  }
  return std::nullopt;
}

class PackOutput : public ::testing::Test {
 protected:
  PackOutput() {
    contenttest::WriteUsualFolder(dir / "In");
    fs::create_directories(dir / "tmp");
  }

  // Runs `hamper ARGS` in the test's folder (through bash, so that `limits` may set ulimits) with
  // its own temporary folder.
  int Run(const std::string& args, std::string* err = nullptr, const std::string& limits = "") {
    const std::string command = "cd " + dir.Path().string() + " && bash -c '" + limits + " TMPDIR=" +
                                (dir / "tmp").string() + " exec " + HAMPER_EXE + " " + args + "' 2>" +
                                (dir / "stderr").string() + " </dev/null";
    const int code = test::RunCommand(command);
    const auto bytes = test::ReadFileBytes(dir / "stderr");
    if (err) err->assign(bytes.begin(), bytes.end());
    return code;
  }

  // Starts `hamper pack -q FOLDER -o out.hmp` in the background, standard error to `errFile`.
  pid_t Start(const std::string& folder, const std::string& errFile) {
    const pid_t child = fork();
    if (child == 0) {
      setenv("TMPDIR", (dir / "tmp").c_str(), 1);
      if (!std::freopen(errFile.c_str(), "w", stderr) || !std::freopen("/dev/null", "r", stdin)) _exit(126);
      const std::string in = (dir / folder).string();
      const std::string out = (dir / "out.hmp").string();
      execl(HAMPER_EXE, HAMPER_EXE, "pack", "-q", in.c_str(), "-o", out.c_str(), nullptr);
      _exit(127);
    }
    return child;
  }

  static int Wait(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // The Name in the header of a finished Hamper, or "" when it does not verify.
  std::string NameOfSoundHamper(const fs::path& hamper) {
    if (Run("verify -q " + hamper.string()) != 0) return "";
    std::string out;
    test::RunCommand(std::string(HAMPER_EXE) + " list " + hamper.string() + " | sed -n 's/^Name: *//p'", &out);
    return out;
  }

  // Enough audio that stages 3 to 5 last a while.
  void AddLongAudio(const std::string& folder) {
    for (int i = 0; i < 6; ++i) {
      test::WriteFileBytes(dir / folder / "Long" / ("take" + std::to_string(i) + ".wav"),
                           contenttest::Wave(2, 1'000'000, 44100));
    }
  }

  // Waits until the pack has begun writing its Hamper (stage 3), or has ended.
  std::optional<fs::path> WaitForWriting(pid_t child) {
    for (int i = 0; i < 3000; ++i) {
      if (waitpid(child, nullptr, WNOHANG) != 0) return std::nullopt;
      if (const auto partial = PartialFileIn(dir.Path()); partial && fs::exists(*partial) && fs::file_size(*partial) > 0) {
        return partial;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
  }

  test::TempDir dir;
};

}  // namespace

// An output that is (or leads by a link to) a file the pack reads is refused with both paths
// named, before anything is deleted, even with --force.
TEST_F(PackOutput, NeverReplacesOneOfItsOwnInputs) {
  fs::create_directories(dir / "In/Art");
  fs::create_directories(dir / "Outside");
  test::WriteFileBytes(dir / "Outside/borrowed.wav", contenttest::Wave(1, 100));
  fs::create_symlink("kick.wav", dir / "In/Samples/link.wav");
  fs::create_symlink("../Splash.jpg", dir / "In/Art/pic.jpg");
  fs::create_symlink("../../Outside/borrowed.wav", dir / "In/Samples/borrowed.wav");
  const auto inputs = [&] {
    Snapshot both = Take(dir / "In");
    both.merge(Take(dir / "Outside"));
    return both;
  };
  const Snapshot before = inputs();
  struct Case {
    const char* output;
    const char* input;  // the file named as the one it is
  };
  const Case cases[] = {
      {"In/Samples/kick.wav", "In/Samples/kick.wav"},    // a file of the tree
      {"In/INFO.TXT", "In/INFO.TXT"},                    // a description file
      {"In/Samples/link.wav", "In/Samples/kick.wav"},    // a link to a file of the tree
      {"In/Art/pic.jpg", "In/Splash.jpg"},               // a link to the splash
      {"Outside/borrowed.wav", "In/Samples/borrowed.wav"},  // a file the tree links to
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    std::string err;
    EXPECT_EQ(Run(std::string("pack -q -f In -o ") + c.output, &err), 1);
    EXPECT_NE(err.find((dir / c.output).string() + ": is a file the pack reads (" + (dir / c.input).string() + ")"),
              std::string::npos)
        << err;
  }
  EXPECT_TRUE(inputs() == before) << "an input was changed";
  EXPECT_TRUE(fs::is_symlink(dir / "In/Samples/link.wav"));

  // Any other name inside the folder is allowed: a Hamper there is not packed the next time.
  EXPECT_EQ(Run("pack -q In -o In/Kit.hmp"), 0);
  EXPECT_EQ(Run("pack -q -f In -o In/Kit.hmp"), 0);
  EXPECT_EQ(NameOfSoundHamper(dir / "In/Kit.hmp"), "Test Kit\n");
}

// Nothing that stands at the output's name is replaced without consent, even when it appears
// while the pack runs; with --force it is.
TEST_F(PackOutput, AFileThatAppearsDuringThePackIsKept) {
  AddLongAudio("In");
  test::WriteFileText(dir / "target.txt", "the link's target");
  for (const bool link : {false, true}) {
    SCOPED_TRACE(link ? "a link" : "a file");
    const pid_t child = Start("In", (dir / "stderr").string());
    ASSERT_TRUE(WaitForWriting(child)) << "the pack ended before it wrote";
    if (link) {
      fs::create_symlink(dir / "target.txt", dir / "out.hmp");
    } else {
      test::WriteFileText(dir / "out.hmp", "mine");
    }
    EXPECT_EQ(Wait(child), 1);
    const auto bytes = test::ReadFileBytes(dir / "stderr");
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("File already exists"), std::string::npos);
    if (link) {
      EXPECT_TRUE(fs::is_symlink(dir / "out.hmp"));
      EXPECT_EQ(test::ReadFileBytes(dir / "target.txt").size(), 17u);
    } else {
      EXPECT_EQ(test::ReadFileBytes(dir / "out.hmp").size(), 4u);
    }
    EXPECT_FALSE(PartialFileIn(dir.Path())) << "the finished Hamper was left beside it";
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
    fs::remove(dir / "out.hmp");
  }
  EXPECT_EQ(Run("pack -q In -o out.hmp"), 0);
  test::WriteFileText(dir / "out.hmp", "old");
  EXPECT_EQ(Run("pack -q -f In -o out.hmp"), 0);
  EXPECT_EQ(NameOfSoundHamper(dir / "out.hmp"), "Test Kit\n");
}

// Two packs of different folders to one name, neither allowed to replace: one wins, the other
// fails, and the file holds the winner's Hamper.
TEST_F(PackOutput, TwoPacksToOneNameNeverBothSucceed) {
  contenttest::WriteUsualFolder(dir / "Other");
  test::WriteFileText(dir / "Other/INFO.TXT", "NAME \"Other Kit\"\n");
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    const pid_t a = Start("In", (dir / "a.err").string());
    const pid_t b = Start("Other", (dir / "b.err").string());
    const int codeA = Wait(a);
    const int codeB = Wait(b);
    ASSERT_EQ(std::min(codeA, codeB), 0);
    ASSERT_EQ(std::max(codeA, codeB), 1);
    EXPECT_EQ(NameOfSoundHamper(dir / "out.hmp"), codeA == 0 ? "Test Kit\n" : "Other Kit\n");
    EXPECT_FALSE(PartialFileIn(dir.Path()));
    fs::remove(dir / "out.hmp");
  }
}

// A pack killed at any moment of writing and verifying leaves no file under the output's name,
// or the whole verified Hamper; at most its hidden file is left beside it.
TEST_F(PackOutput, AKilledPackNeverLeavesAPartialHamper) {
  AddLongAudio("In");
  // How long writing and verifying take here, from the first byte written to the end.
  const pid_t first = Start("In", (dir / "stderr").string());
  ASSERT_TRUE(WaitForWriting(first));
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Wait(first), 0);
  const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  fs::remove(dir / "out.hmp");

  std::mt19937 random(20261211);
  int complete = 0;
  constexpr int kRounds = 10;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = Start("In", (dir / "stderr").string());
    if (WaitForWriting(child)) {
      const auto delay = std::uniform_int_distribution<long>(0, static_cast<long>(span.count()))(random);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    kill(child, SIGKILL);
    Wait(child);
    if (fs::exists(dir / "out.hmp")) {
      EXPECT_EQ(NameOfSoundHamper(dir / "out.hmp"), "Test Kit\n");
      ++complete;
    }
    fs::remove(dir / "out.hmp");
    if (const auto partial = PartialFileIn(dir.Path())) fs::remove(*partial);
    for (const auto& file : fs::directory_iterator(dir / "tmp")) fs::remove(file.path());
  }
  std::cerr << "(" << complete << " of " << kRounds << " packs killed within " << span.count()
            << " ms of writing had finished)\n";
}

// Too many threads for the address space: the pack works with those that start, or says that
// memory ran out; it never aborts.
TEST_F(PackOutput, ThreadsThatCannotStartAreDoneWithout) {
  for (const char* command : {"pack -q -j 256 -f In -o out.hmp", "verify -q -j 256 out.hmp"}) {
    SCOPED_TRACE(command);
    if (std::string(command).starts_with("verify")) {
      ASSERT_EQ(Run("pack -q -f In -o out.hmp"), 0);
    }
    std::string err;
    const int code = Run(command, &err, "ulimit -v 400000;");
    EXPECT_TRUE(code == 0 || (code == 1 && err.find("Out of Memory") != std::string::npos)) << code << ": " << err;
    EXPECT_EQ(err.find("terminate called"), std::string::npos) << err;
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
  }
}

// A file-size limit stops each command as a full disk would, and leaves nothing behind.
TEST_F(PackOutput, AFileSizeLimitIsAnErrorLikeAFullDisk) {
  ASSERT_EQ(Run("pack -q In -o small.hmp"), 0);
  AddLongAudio("In");
  ASSERT_EQ(Run("encode-audio In/Long/take0.wav take.vrp"), 0);
  struct Case {
    const char* command;
    const char* limit;  // in KiB: below the size of what the command writes
  };
  const Case cases[] = {{"pack -q In -o out.hmp", "ulimit -f 40;"},
                        {"extract small.hmp Extracted", "ulimit -f 8;"},
                        {"encode-audio In/Long/take1.wav out.vrp", "ulimit -f 40;"},
                        {"decode-audio take.vrp out.wav", "ulimit -f 40;"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    std::string err;
    EXPECT_EQ(Run(c.command, &err, c.limit), 1);
    EXPECT_NE(err.find("File too large"), std::string::npos) << err;
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
    for (const std::string& file : contenttest::FilesIn(dir.Path())) {
      EXPECT_EQ(file.find(".hamper-"), std::string::npos) << file;
    }
  }
  EXPECT_FALSE(fs::exists(dir / "out.hmp"));
  EXPECT_FALSE(fs::exists(dir / "out.vrp"));
  EXPECT_FALSE(fs::exists(dir / "out.wav"));
}

// Memory that runs out while a file is checked is the framework's "Out of Memory", not a file in
// a bad format: a sliced loop is read whole, and a large one (sparse here) does not fit.
TEST_F(PackOutput, OutOfMemoryIsSaidAsSuch) {
  fs::create_directories(dir / "In/Loops");
  { std::ofstream(dir / "In/Loops/huge.sl2"); }
  fs::resize_file(dir / "In/Loops/huge.sl2", std::uintmax_t{200} << 20);
  for (const char* command : {"pack -q In -o out.hmp", "check In"}) {
    SCOPED_TRACE(command);
    std::string err;
    EXPECT_EQ(Run(command, &err, "ulimit -v 150000;"), 1);
    EXPECT_NE(err.find("Out of Memory: The Operation could not be completed because not enough memory is available."),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("Bad format"), std::string::npos) << err;
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
  }
  EXPECT_FALSE(fs::exists(dir / "out.hmp"));
}
