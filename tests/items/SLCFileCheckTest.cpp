#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "items/SLCFileCheck.h"
#include "items/SLCLibrary.h"
#include "items/WaveFileWriter.h"
#include "items/WaveSample.h"
#include "support/SLCTestFiles.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
namespace header = NSSLC::header;
using slctest::Bytes;

namespace {

class SLCFileCheckTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(library_.Load(HAMPER_SLC_LIBRARY_FILE), kSLCLibSuccess); }
  static void TearDownTestSuite() { library_.Unload(); }

  void SetUp() override {
    // A stereo loop of 400 frames for the maker.
    CWaveSample sample(CSampleFormat{2, 16, 44100, 400});
    for (std::uint32_t f = 0; f < 400; ++f) {
      const std::int16_t frame[2] = {static_cast<std::int16_t>(f * 50), static_cast<std::int16_t>(-f * 50)};
      sample.Write16Stereo(f, 1, frame);
    }
    NSFerryman::COpenFile wave(NSFerryman::CFileSpec(Wave()), 0, 0);
    CWaveFileWriter::Write(wave, sample, 44100, CSampleInfo{});
  }

  std::string Wave() const { return (dir_ / "loop.wav").string(); }

  // Runs the maker; gives its exit status.
  static int Make(const std::string& arguments, std::string* output = nullptr) {
    return test::RunCommand(std::string("'") + HAMPER_SLC_MAKE + "' " + arguments, output, true);
  }

  Bytes MadeFile(const std::string& name, const std::string& options = "--slices 0,100,250") {
    const fs::path path = dir_ / name;
    std::string output;
    EXPECT_EQ(Make("'" + Wave() + "' '" + path.string() + "' " + options, &output), 0) << output;
    return test::ReadFileBytes(path);
  }

  static void Check(const Bytes& file) {
    NSFerryman::CMemoryMedia media;
    if (!file.empty()) media.Write(file.size(), file.data());
    CheckSLCFile(library_, media);
  }

  // "passes", or the failure's class and text.
  static std::string Outcome(const Bytes& file) {
    try {
      Check(file);
      return "passes";
    } catch (const NSFerryman::XBadFormat& e) {
      return std::string("XBadFormat: ") + e.what();
    } catch (const std::exception& e) {
      return std::string("other: ") + e.what();
    }
  }

  static CSLCLibrary library_;
  test::TempDir dir_;
};

CSLCLibrary SLCFileCheckTest::library_;

TEST_F(SLCFileCheckTest, MadeFilesOfEachKindPass) {
  const struct {
    std::string name;
    std::string options;
    std::uint32_t kind;
  } cases[] = {
      {"loop.sl2", "--slices 0,100,250", NSSLC::kKindSlivver2},
      {"loop.SLC", "--slices 0,100,250 --tempo 93.5", NSSLC::kKindSLC},
      {"loop.slv", "--slices 0,100,250 --no-creator", NSSLC::kKindSlivver1},
      {"loop.bin", "--kind slv", NSSLC::kKindSlivver1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = MadeFile(c.name, c.options);
    ASSERT_GE(file.size(), header::kMinimumSize);
    EXPECT_EQ(slctest::HeaderField(file, header::kKind), c.kind);
    NSFerryman::COpenFile media{NSFerryman::CFileSpec((dir_ / c.name).string())};
    EXPECT_NO_THROW(CheckSLCFile(library_, media));
  }
  const Bytes file = MadeFile("tempo.sl2", "--slices 0,100,250 --tempo 93.5");
  EXPECT_EQ(slctest::HeaderField(file, header::kTempo), 93500u);
  EXPECT_EQ(slctest::HeaderField(file, header::kSliceCount), 3u);
  EXPECT_EQ(slctest::HeaderField(file, header::kFrameCount), 400u);
}

TEST_F(SLCFileCheckTest, MakerRefusesBadRequestsAndLeavesNoFile) {
  test::WriteFileText(dir_ / "notes.txt", "not audio");
  const struct {
    std::string arguments;  // INPUT stands for the WAV, OUT for the output
    int status;
  } cases[] = {
      {"INPUT OUT.wav", 2},
      {"INPUT OUT.sl2 --slices 0,200,100", 1},
      {"INPUT OUT.sl2 --slices 0,400", 1},
      {"INPUT OUT.sl2 --slices 0,x", 2},
      {"INPUT OUT.sl2 --tempo 0", 2},
      {"INPUT OUT.sl2 --kind sl3", 2},
      {"MISSING OUT.sl2", 1},
      {"NOTES OUT.sl2", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string arguments = c.arguments;
    const fs::path out = dir_ / ("out" + fs::path(arguments.substr(arguments.find("OUT") + 3, 4)).string());
    const auto replace = [&](const std::string& word, const std::string& by) {
      if (const auto at = arguments.find(word); at != std::string::npos) arguments.replace(at, word.size(), by);
    };
    replace("INPUT", "'" + Wave() + "'");
    replace("MISSING", "'" + (dir_ / "missing.wav").string() + "'");
    replace("NOTES", "'" + (dir_ / "notes.txt").string() + "'");
    test::WriteFileText(out, "older");
    replace("OUT", (dir_ / "out").string());
    std::string output;
    EXPECT_EQ(Make(arguments, &output), c.status);
    EXPECT_NE(output.find("slc-make"), std::string::npos) << output;
    // An existing output is left as it was, and nothing else appears beside it.
    EXPECT_EQ(test::ReadFileBytes(out), Bytes({'o', 'l', 'd', 'e', 'r'}));
    fs::remove(out);
    for (const auto& entry : fs::directory_iterator(dir_.Path())) {
      EXPECT_TRUE(entry.path().extension() == ".wav" || entry.path().extension() == ".txt") << entry.path();
    }
  }
}

TEST_F(SLCFileCheckTest, RefusedFilesNameTheStep) {
  const Bytes made = MadeFile("loop.sl2");
  const struct {
    std::string name;
    std::function<void(Bytes&)> damage;
    std::string step;
  } cases[] = {
      {"empty", [](Bytes& f) { f.clear(); }, "empty sliced-loop file"},
      {"one byte", [](Bytes& f) { f.resize(1); }, "SLCCreate gives result 6"},
      {"cut", [](Bytes& f) { f.resize(f.size() - 100); }, "SLCCreate gives result 6"},
      {"bad magic", [](Bytes& f) { f[1] = 'x'; }, "SLCCreate gives result 5"},
      {"header damaged", [](Bytes& f) { f[header::kFrameCount] ^= 1; }, "SLCCreate gives result 8"},
      {"creator damaged", [](Bytes& f) { f[header::kMinimumSize + 9] ^= 1; }, "SLCGetCreatorInfo gives result 8"},
      {"slice table damaged",
       [](Bytes& f) { f[slctest::HeaderField(f, header::kSliceTableOffset)] ^= 1; }, "SLCGetInfo gives result 8"},
      {"overlapping slices, sealed",
       [](Bytes& f) {
         NSSLC::CFileContents contents = slctest::LoopContents();
         contents.slices = {{0, 200}, {100, 100}};
         f = NSSLC::BuildFile(contents);
       },
       "SLCGetInfo gives result 7"},
      {"audio damaged", [](Bytes& f) { f[f.size() - 3] ^= 1; }, "SLCGetInfo gives result 8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = made;
    c.damage(file);
    const std::string outcome = Outcome(file);
    EXPECT_EQ(outcome.rfind("XBadFormat: ", 0), 0u) << outcome;
    EXPECT_NE(outcome.find(c.step), std::string::npos) << outcome;
  }
}

// A media that claims a huge size and fails the test if it is read.
class CHugeMedia : public NSFerryman::CMemoryMedia {
 public:
  NSFerryman::MediaSize GetSize() override { return kMaxSLCFileBytes + 1; }
  void ReadAt(NSFerryman::MediaSize, std::size_t, void*) override {
    ADD_FAILURE() << "read";
    throw NSFerryman::XRead("read");
  }
};

TEST_F(SLCFileCheckTest, OversizedFileIsRefusedUnread) {
  CHugeMedia media;
  EXPECT_THROW(CheckSLCFile(library_, media), NSFerryman::XBadFormat);
}

// Threads checking sound and damaged files at once through one library agree with one thread.
TEST_F(SLCFileCheckTest, ThreadsGetTheSameResults) {
  std::vector<Bytes> files = {MadeFile("a.sl2"), MadeFile("b.slc", "--slices 0,1,2,3,399"),
                              MadeFile("c.slv", "--no-creator")};
  for (std::size_t i = 0; i < 3; ++i) {
    Bytes damaged = files[i];
    damaged[damaged.size() / 2 + i * 7] ^= 0x10;
    files.push_back(damaged);
  }
  std::vector<std::string> expected;
  for (const Bytes& file : files) expected.push_back(Outcome(file));

  constexpr int kThreads = 4;
  std::vector<std::vector<std::string>> seen(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 25; ++round) {
        for (std::size_t i = 0; i < files.size(); ++i) {
          const std::size_t k = (i + static_cast<std::size_t>(t)) % files.size();
          const std::string outcome = Outcome(files[k]);
          if (outcome != expected[k]) seen[t].push_back(std::to_string(k) + ": " + outcome);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(seen[t].empty()) << "thread " << t << ": " << seen[t].front();
  EXPECT_EQ(expected[0], "passes");
  EXPECT_NE(expected[3], "passes");
}

}  // namespace
