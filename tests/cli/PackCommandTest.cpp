#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/ContentFolder.h"

namespace fs = std::filesystem;

namespace {

// The files a pack keeps beside its output while it works.
int HiddenFilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().filename().string().starts_with(".hamper-");
  return count;
}

class PackCommand : public ::testing::Test {
 protected:
  PackCommand() {
    contenttest::WriteUsualFolder(dir / "In");
    fs::create_directories(dir / "tmp");
  }

  // Runs `hamper pack` in the test's folder with its own temporary folder; stdout in `out`,
  // stderr in `err`.
  int Run(const std::string& args, std::string* out = nullptr, std::string* err = nullptr) {
    const std::string command = "cd " + dir.Path().string() + " && TMPDIR=" + (dir / "tmp").string() + " " +
                                std::string(HAMPER_EXE) + " pack " + args + " 2>" + (dir / "stderr").string() +
                                " </dev/null";
    std::string output;
    const int code = test::RunCommand(command, &output);
    if (out) *out = output;
    if (err) {
      const auto bytes = test::ReadFileBytes(dir / "stderr");
      err->assign(bytes.begin(), bytes.end());
    }
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty()) << "a temporary file was left behind";
    return code;
  }

  test::TempDir dir;
};

}  // namespace

TEST_F(PackCommand, PacksIntoTheNameOfTheFolder) {
  std::string out, err;
  ASSERT_EQ(Run("In", &out, &err), 0) << err;
  EXPECT_TRUE(fs::exists(dir / "Test Kit.hmp"));
  EXPECT_EQ(out, "");
  // Without a terminal: one line per stage, then the result.
  EXPECT_EQ(err,
            "Scanning folder...\nScanning folder structure...\nCounting files...\nVerifying contents of files...\n"
            "Checking for referenced Hampers...\nPacking files...\nBuilding index for files...\n"
            "Composing final file...\nVerifying final file...\n"
            "Pack complete: The Hamper file has been packed successfully! 4 files were added.\n");
}

TEST_F(PackCommand, QuestionsAreAnsweredByOptionsOrTakenAsNo) {
  ASSERT_EQ(Run("-q In -o out.hmp"), 0);
  const std::vector<std::uint8_t> good = test::ReadFileBytes(dir / "out.hmp");
  std::string out, err;
  EXPECT_EQ(Run("-q In -o out.hmp", &out, &err), 1);
  EXPECT_EQ(err, "File already exists: The file 'out.hmp' already exists, do you want to replace it?\n"
                 "  (no terminal to ask: taken as No)\n");
  EXPECT_TRUE(test::ReadFileBytes(dir / "out.hmp") == good);

  // Replacing was agreed, but only the finished Hamper replaces the old one: a pack that stops
  // on a damaged file leaves it byte for byte.
  test::WriteFileBytes(dir / "In/Samples/bad.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  EXPECT_EQ(Run("-q -f In -o out.hmp", &out, &err), 1);
  EXPECT_NE(err.find("Bad format: The file \"Samples:bad.wav\" is in a bad format. Continue without this file?"), std::string::npos);
  EXPECT_TRUE(test::ReadFileBytes(dir / "out.hmp") == good);
  EXPECT_EQ(HiddenFilesIn(dir.Path()), 0);

  EXPECT_EQ(Run("-q -f --skip-bad --json In -o out.hmp", &out, &err), 0) << err;
  // Questions answered by options are still said, with their cause and the answer.
  EXPECT_NE(err.find("Bad format: The file \"Samples:bad.wav\" is in a bad format. Continue without this file?\n"
                     "  (WAV file without a \"fmt \" chunk)\n  (Yes, answered in advance)\n"),
            std::string::npos)
      << err;
  EXPECT_NE(out.find("\"filesPacked\": 4,"), std::string::npos) << out;
  EXPECT_NE(out.find("\"output\": \"out.hmp\""), std::string::npos) << out;
  EXPECT_NE(out.find("\"leftOut\": [\n    {\"file\": \"Samples:bad.wav\", \"kind\": \"bad format\", "
                     "\"cause\": \"WAV file without a \\\"fmt \\\" chunk\"}\n  ]"),
            std::string::npos)
      << out;
}

TEST_F(PackCommand, ExitCodes) {
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("In --no-such-option"), 2);
  std::string err;
  EXPECT_EQ(Run("Missing", nullptr, &err), 1);
  test::WriteFileText(dir / "In/INFO.TXT", "");
  EXPECT_EQ(Run("-q In", nullptr, &err), 1);
  EXPECT_EQ(err, "No name for Hamper: Please specify a name for the Hamper in the input folder data and then try again.\n");
}

// Ctrl-C is the Stop button: the job ends at its next check, leaving nothing; SIGTERM ends the
// process at once, removing what it had written. Either way the Hamper it was to replace stays
// as it was.
TEST_F(PackCommand, SignalsLeaveNothingBehind) {
  ASSERT_EQ(Run("-q In -o out.hmp"), 0);
  const std::vector<std::uint8_t> old = test::ReadFileBytes(dir / "out.hmp");
  // Enough audio that the job is still running when the signal comes.
  for (int i = 0; i < 12; ++i) {
    test::WriteFileBytes(dir / "In/Long" / ("take" + std::to_string(i) + ".wav"), contenttest::Wave(2, 1'500'000, 44100));
  }
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      setenv("TMPDIR", (dir / "tmp").c_str(), 1);
      if (!std::freopen((dir / "stderr").c_str(), "w", stderr)) _exit(126);
      const std::string out = (dir / "out.hmp").string();
      execl(HAMPER_EXE, HAMPER_EXE, "pack", "-q", "-f", (dir / "In").c_str(), "-o", out.c_str(), nullptr);
      _exit(127);
    }
    // Let it reach the packing stage: its first item makes the hidden Hamper grow.
    const auto packing = [&] {
      for (const auto& entry : fs::directory_iterator(dir.Path())) {
        std::error_code ec;
        if (entry.path().filename().string().ends_with(".part") && fs::file_size(entry.path(), ec) > 0) return true;
      }
      return false;
    };
    for (int i = 0; i < 1000 && !packing(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    if (signal == SIGINT) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    }
    EXPECT_TRUE(test::ReadFileBytes(dir / "out.hmp") == old);
    EXPECT_EQ(HiddenFilesIn(dir.Path()), 0);
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty());
  }
}
