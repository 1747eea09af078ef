// Damaged inputs of every kind the program reads, made by cutting and altering good files, run
// through the real `hamper`: each is refused with a message that names it, or handled soundly
// (what the check lets through packs and verifies). Never a crash, a hang, or a file left behind.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "browse/HamperContents.h"
#include "browse/HamperSummary.h"
#include "browse/ItemKind.h"
#include "browse/ItemReferences.h"
#include "browse/SampleStream.h"
#include "browse/WaveformPeaks.h"
#include "cli/PackedContent.h"
#include "framework/resources/ResourceId.h"
#include "references/Database.h"
#include "support/ContentFolder.h"

using namespace packedtest;

namespace {

struct CRun {
  int code;
  std::string out;
  std::string err;
};

// A run ended by a signal or by the time limit is a finding whatever the command.
CRun RunHamper(const std::string& args, const fs::path& scratch) {
  CRun r;
  const fs::path errFile = scratch / "stderr.txt";
  r.code = test::RunCommand("timeout 30 '" + std::string(HAMPER_EXE) + "' " + args + " 2>" + Q(errFile), &r.out);
  const Bytes err = test::ReadFileBytes(errFile);
  r.err.assign(err.begin(), err.end());
  fs::remove(errFile);
  return r;
}

// Cut at several lengths, single bytes changed, 32-bit fields set to 0 and to all ones, a run
// of bytes doubled: deterministic for each file.
std::vector<std::pair<std::string, Bytes>> Mutants(const Bytes& good, unsigned seed, int changes) {
  std::vector<std::pair<std::string, Bytes>> out;
  for (std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{11}, std::size_t{12}, std::size_t{40},
                             good.size() / 3, good.size() / 2, good.size() - 1}) {
    if (length < good.size()) out.emplace_back("cut" + std::to_string(length), Bytes(good.begin(), good.begin() + length));
  }
  std::mt19937 random(seed);
  for (int i = 0; i < changes; ++i) {
    Bytes b = good;
    // Half the changes fall in the first 64 bytes, where the headers are.
    const std::size_t limit = i % 2 ? b.size() : std::min<std::size_t>(b.size(), 64);
    const std::size_t at = random() % limit;
    std::string name;
    switch (i % 3) {
      case 0:
        b[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
        name = "byte" + std::to_string(at);
        break;
      case 1:
        for (std::size_t k = at; k < std::min(b.size(), at + 4); ++k) b[k] = 0xFF;
        name = "ones" + std::to_string(at);
        break;
      default:
        for (std::size_t k = at; k < std::min(b.size(), at + 4); ++k) b[k] = 0;
        name = "zero" + std::to_string(at);
        break;
    }
    out.emplace_back(name, std::move(b));
  }
  if (good.size() > 32) {
    Bytes b(good.begin(), good.begin() + 32);
    b.insert(b.end(), good.begin() + 12, good.end());
    out.emplace_back("doubled", std::move(b));
  }
  return out;
}

// What the Hamper browser does with a file: open it, show its tree, the facts and waveform of
// each sample, the references of each song and patch, its summary. Whatever is damaged is a
// problem it reports or an exception it catches, never a crash or a hang.
void BrowseThrough(const fs::path& file, CDatabase& database) {
  const auto contents = CHamperContents::Open(file.string());
  if (!contents->HasDescription()) {
    EXPECT_FALSE(contents->Problems().empty());
  }
  contents->Tree().Filter("a", true);
  SummariseHamper(*contents);
  for (std::size_t record = 0; record < contents->Index().Size(); ++record) {
    const int type = contents->Index().ItemType(record);
    try {
      if (IsSampleItemType(type)) {
        contents->SampleFacts(record);
        CSampleStream stream(contents->OpenItem(record));
        ComputeWaveformPeaks(stream, 64);
      } else if (IsReferringItemType(type)) {
        ReadItemReferences(*contents, record, database);
      }
    } catch (const NSFerryman::XBase&) {
    }
  }
}

std::vector<std::string> StrayFiles(const fs::path& folder, const std::set<std::string>& expected) {
  std::vector<std::string> stray;
  for (const std::string& f : contenttest::FilesIn(folder)) {
    if (!expected.count(f)) stray.push_back(f);
  }
  return stray;
}

class DamagedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteContent(dir_ / "good");
    Pack(dir_ / "good", dir_ / "good.hmp");
  }
  Bytes GoodFile(const std::string& path) { return test::ReadFileBytes(dir_ / "good" / path); }
  test::TempDir dir_;
};

// Each damaged file alone in a content folder with a good description and splash: `check` and
// `pack --skip-bad` agree, and whatever packs verifies against its source.
TEST_F(DamagedInput, ContentFilesAreRefusedByNameOrPackSoundly) {
  const std::vector<std::string> sources = {
      "Samples/kick.wav", "Samples/tone.aif", "Samples/deep.wav", "Samples/low.wav", "Pics/photo.jpg",
      "Pics/scan.tif",    "Midi/groove.mid",  "Songs/song.tns",   "Songs/hit.tps",   "Patches/lead.zyp",
      "Loops/beat.sl2",   "INFO.TXT"};
  // The files the songs and patches refer to stay beside them, so a damaged song is judged for
  // its own bytes.
  const std::vector<std::string> referenced = {"Samples/kick.wav", "Samples/tone.aif", "Samples/low.wav"};
  int inputs = 0;
  int refused = 0;
  unsigned seed = 1;
  for (const std::string& source : sources) {
    const Bytes good = GoodFile(source);
    for (const auto& [mutation, bytes] : Mutants(good, seed++, 24)) {
      SCOPED_TRACE(source + " " + mutation);
      ++inputs;
      const fs::path content = dir_ / "content";
      const fs::path out = dir_ / "out";
      fs::remove_all(content);
      fs::remove_all(out);
      fs::create_directories(out);
      test::WriteFileBytes(content / "Splash.jpg", GoodFile("Splash.jpg"));
      test::WriteFileBytes(content / "INFO.TXT", GoodFile("INFO.TXT"));
      for (const std::string& r : referenced) test::WriteFileBytes(content / r, GoodFile(r));
      test::WriteFileBytes(content / source, bytes);
      const std::string name = fs::path(source).filename().string();

      const CRun check = RunHamper("check " + Q(content), dir_.Path());
      ASSERT_TRUE(check.code == 0 || check.code == 1) << "check ended with " << check.code << check.err;
      if (check.code == 1) {
        ++refused;
        EXPECT_TRUE((check.out + check.err).find(name) != std::string::npos || source == "INFO.TXT")
            << check.out << check.err;
      }

      const fs::path hamper = out / "kit.hmp";
      const CRun pack = RunHamper("pack -q --skip-bad -o " + Q(hamper) + " " + Q(content), dir_.Path());
      ASSERT_TRUE(pack.code == 0 || pack.code == 1) << "pack ended with " << pack.code << pack.err;
      if (check.code == 0) {
        EXPECT_EQ(pack.code, 0) << "the check let it through, the pack did not: " << pack.err;
      }
      if (pack.code == 1) {
        EXPECT_FALSE(pack.err.empty());
        EXPECT_TRUE(pack.err.find(name) != std::string::npos || source == "INFO.TXT") << pack.err;
        EXPECT_EQ(StrayFiles(out, {}), std::vector<std::string>{});
        continue;
      }
      EXPECT_EQ(StrayFiles(out, {"kit.hmp"}), std::vector<std::string>{});
      const CRun verify = RunHamper("verify -q " + Q(hamper) + " --source " + Q(content), dir_.Path());
      EXPECT_EQ(verify.code, 0) << "a packed Hamper fails its verification: " << verify.out << verify.err;
    }
  }
  EXPECT_GE(inputs, 300);
  EXPECT_GT(refused, inputs / 4);
}

// Audio files through encode-audio, and stored audio items through decode-audio: refused with
// the file named and no output, or a complete output.
TEST_F(DamagedInput, AudioCommands) {
  const CRun encoded = RunHamper("encode-audio " + Q(dir_ / "good/Samples/kick.wav") + " " + Q(dir_ / "kick.vrp"), dir_.Path());
  ASSERT_EQ(encoded.code, 0) << encoded.err;
  struct CCase {
    std::string source;
    std::string command;
    std::string output;
  };
  const std::vector<CCase> cases = {{"good/Samples/kick.wav", "encode-audio", "out.vrp"},
                                    {"good/Samples/tone.aif", "encode-audio", "out.vrp"},
                                    {"good/Samples/deep.wav", "encode-audio", "out.vrp"},
                                    {"kick.vrp", "decode-audio", "out.wav"}};
  unsigned seed = 100;
  for (const CCase& c : cases) {
    const Bytes good = test::ReadFileBytes(dir_ / c.source);
    const std::string extension = fs::path(c.source).extension().string();
    for (const auto& [mutation, bytes] : Mutants(good, seed++, 30)) {
      SCOPED_TRACE(c.source + " " + mutation);
      const fs::path work = dir_ / "audio";
      fs::remove_all(work);
      fs::create_directories(work);
      test::WriteFileBytes(work / ("damaged" + extension), bytes);
      const CRun run = RunHamper(c.command + " " + Q(work / ("damaged" + extension)) + " " + Q(work / c.output), dir_.Path());
      ASSERT_TRUE(run.code == 0 || run.code == 1) << c.command << " ended with " << run.code << run.err;
      if (run.code == 1) {
        EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
        EXPECT_EQ(StrayFiles(work, {"damaged" + extension}), std::vector<std::string>{});
      } else if (c.output == "out.wav") {
        // A WAV whose sizes agree with its length.
        const Bytes wav = test::ReadFileBytes(work / c.output);
        ASSERT_GE(wav.size(), 44u);
        const std::uint32_t riff = wav[4] | wav[5] << 8 | wav[6] << 16 | static_cast<std::uint32_t>(wav[7]) << 24;
        EXPECT_EQ(std::uint64_t{riff} + 8, wav.size());
      }
    }
  }
}

// Damaged Hampers through list, verify and extract, and through the browser's model.
TEST_F(DamagedInput, HampersAreRefusedByName) {
  const Bytes good = test::ReadFileBytes(dir_ / "good.hmp");
  CHamperDescription header;
  IndexOf(good, &header);
  auto mutants = Mutants(good, 7, 40);
  // Changes aimed at the index and at the start of the data, where the items' headers are.
  std::mt19937 random(8);
  for (int i = 0; i < 40; ++i) {
    Bytes b = good;
    const std::size_t from = i % 2 ? header.GetIndexOffset() : header.GetDataOffset();
    const std::size_t span = i % 2 ? header.GetDataOffset() - header.GetIndexOffset() : 4096;
    const std::size_t at = from + random() % span;
    b[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
    mutants.emplace_back("aimed" + std::to_string(at), std::move(b));
  }
  CDatabase database(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92));
  for (const auto& [mutation, bytes] : mutants) {
    SCOPED_TRACE(mutation);
    const fs::path damaged = dir_ / "damaged.hmp";
    test::WriteFileBytes(damaged, bytes);
    BrowseThrough(damaged, database);
    for (const std::string command : {"list", "verify -q", "extract"}) {
      SCOPED_TRACE(command);
      fs::remove_all(dir_ / "x");
      const CRun run = RunHamper(command + " " + Q(damaged) + (command == "extract" ? " " + Q(dir_ / "x") : ""), dir_.Path());
      ASSERT_TRUE(run.code == 0 || run.code == 1) << "ended with " << run.code << run.err;
      if (run.code == 1) {
        EXPECT_NE(run.err.find("damaged.hmp"), std::string::npos) << run.err;
      }
      if (command == "extract" && fs::exists(dir_ / "x")) {
        for (const std::string& f : contenttest::FilesIn(dir_ / "x")) {
          EXPECT_EQ(fs::path(f).filename().string().rfind('.', 0), std::string::npos) << "left behind: " << f;
        }
      }
    }
  }
}

}  // namespace
