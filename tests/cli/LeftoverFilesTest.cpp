// What a killed command leaves beside its output (hidden files whose lock died with it) is removed
// by the next command that writes there, and never what a running command is writing.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/ContentFolder.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> HiddenFilesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".hamper-")) names.insert(name);
  }
  return names;
}

// A WAV of `bytes` of silence that takes no room: the pack reads zeros and takes a while.
void WriteSparseWave(const fs::path& path, std::uint32_t bytes) {
  contenttest::Bytes header = sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, 2, 44100, 16)}});
  const std::uint32_t riff = static_cast<std::uint32_t>(header.size()) - 8 + 8 + bytes;
  for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<std::uint8_t>(bytes >> (8 * i)));
  test::WriteFileBytes(path, header);
  fs::resize_file(path, header.size() + bytes);
}

class LeftoverFiles : public ::testing::Test {
 protected:
  LeftoverFiles() {
    contenttest::WriteUsualFolder(dir / "Small");
    contenttest::WriteUsualFolder(dir / "Large");
    WriteSparseWave(dir / "Large/Samples/long.wav", 64u << 20);
    fs::create_directories(dir / "Out");
  }

  pid_t StartPack(const std::string& folder, const std::string& output) {
    const pid_t child = fork();
    if (child == 0) {
      if (!std::freopen("/dev/null", "r", stdin) || !std::freopen((dir / "stderr").c_str(), "w", stderr)) _exit(126);
      execl(HAMPER_EXE, HAMPER_EXE, "pack", "-q", (dir / folder).c_str(), "-o", (dir / "Out" / output).c_str(), nullptr);
      _exit(127);
    }
    return child;
  }

  // Waits until a hidden file not in `known` appears (with `written`, until data is in it: the
  // pack is well into its work), while the pack still runs.
  bool WaitForNewHiddenFile(pid_t child, const std::set<std::string>& known, bool written = false) {
    for (int i = 0; i < 5000; ++i) {
      if (waitpid(child, nullptr, WNOHANG) != 0) return false;
      for (const std::string& name : HiddenFilesIn(dir / "Out")) {
        std::error_code ec;
        if (!known.count(name) && (!written || fs::file_size(dir / "Out" / name, ec) > 0)) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  static int Wait(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  int Run(const std::string& args) {
    return test::RunCommand("cd " + dir.Path().string() + " && " + HAMPER_EXE + " " + args + " 2>/dev/null </dev/null");
  }

  test::TempDir dir;
};

}  // namespace

TEST_F(LeftoverFiles, TheNextPackRemovesAKilledPacksButNeverARunningOnes) {
  const pid_t killed = StartPack("Large", "killed.hmp");
  ASSERT_TRUE(WaitForNewHiddenFile(killed, {})) << "the pack ended before it wrote";
  kill(killed, SIGKILL);
  Wait(killed);
  const std::set<std::string> leftovers = HiddenFilesIn(dir / "Out");
  ASSERT_FALSE(leftovers.empty());

  // Another pack is writing there, held still while a third one runs.
  const pid_t running = StartPack("Large", "running.hmp");
  ASSERT_TRUE(WaitForNewHiddenFile(running, leftovers, true));
  kill(running, SIGSTOP);
  std::set<std::string> inUse = HiddenFilesIn(dir / "Out");
  for (const std::string& name : leftovers) inUse.erase(name);

  EXPECT_EQ(Run("pack -q Small -o Out/next.hmp"), 0);
  EXPECT_EQ(HiddenFilesIn(dir / "Out"), inUse) << "the killed pack's files go, the running one's stay";

  kill(running, SIGCONT);
  EXPECT_EQ(Wait(running), 0);
  EXPECT_EQ(Run("verify -q Out/running.hmp"), 0);
  EXPECT_TRUE(HiddenFilesIn(dir / "Out").empty());
}

// Every command that writes through a hidden file removes the leftovers where it writes.
TEST_F(LeftoverFiles, EveryCommandThatWritesRemovesThem) {
  ASSERT_EQ(Run("pack -q Small -o Out/kit.hmp"), 0);
  ASSERT_EQ(Run("encode-audio Small/Samples/kick.wav Out/kick.vrp"), 0);
  const std::string leftover = ".hamper-0123456789.part";
  struct Case {
    const char* command;
    const char* folder;  // where it writes, and where the leftover lies
  };
  const Case cases[] = {
      {"pack -q -f Small -o Out/kit.hmp", "Out"},
      {"extract Out/kit.hmp Extracted", "Extracted/Samples"},
      {"encode-audio Small/Samples/snare.wav Out/snare.vrp", "Out"},
      {"decode-audio Out/kick.vrp Out/kick.wav", "Out"},
      {"thumbnail Out/kit.hmp Out/kit.png", "Out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    fs::remove_all(dir / "Extracted");
    test::WriteFileText(dir / c.folder / leftover, "left by a killed command");
    EXPECT_EQ(Run(c.command), 0);
    EXPECT_FALSE(fs::exists(dir / c.folder / leftover));
  }
}
