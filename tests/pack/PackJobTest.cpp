#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>

#include "container/HamperHeader.h"
#include "framework/media/OpenFile.h"
#include "pack/JobTexts.h"
#include "pack/PackJob.h"
#include "references/Database.h"
#include "support/ContentFolder.h"
#include "support/GoldenHampers.h"

namespace fs = std::filesystem;
using contenttest::Bytes;

namespace {

// Answers alerts from a table (the default button otherwise), records them, and can act when a
// stage begins: stop the job, or change the folder behind its back.
class ScriptedHost : public MPackJobHost {
 public:
  struct CShown {
    int number;  // the alert's item number
    std::string message;
  };

  int PresentAlert(const NSFerryman::CAlert& alert) override {
    const int number = static_cast<int>(alert.id % 10000);
    shown.push_back({number, alert.message});
    if (const auto answer = answers.find(number); answer != answers.end()) {
      for (const auto& button : alert.buttons) {
        if (button.label == answer->second) return button.result;
      }
    }
    return alert.buttons.back().result;
  }
  void Redraw() override {
    if (!job) return;
    const std::string& stage = job->Progress().GetStageText();
    if (stage != lastStage) {
      lastStage = stage;
      stagesSeen.push_back(stage);
      if (const auto action = onStage.find(stage); action != onStage.end()) action->second(*job);
    }
    buttonTexts.push_back(job->Progress().GetDisplayed().GetButtonText());
  }
  void HandlePendingEvents() override {}

  std::vector<int> Numbers() const {
    std::vector<int> numbers;
    for (const CShown& s : shown) numbers.push_back(s.number);
    return numbers;
  }

  CPackJob* job = nullptr;
  std::map<int, std::string> answers;
  std::map<std::string, std::function<void(CPackJob&)>> onStage;
  std::vector<CShown> shown;
  std::vector<std::string> stagesSeen;
  std::vector<std::string> buttonTexts;
  std::string lastStage;
};

class PackJobTest : public ::testing::Test {
 public:
  PackJobTest() : database(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92)), slc(HAMPER_SLC_LIBRARY_FILE) {
    fs::create_directories(dir / "tmp");
    // Temporary files go where the test can see that none is left.
    oldTemporaryFolder = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", (dir / "tmp").c_str(), 1);
    contenttest::WriteUsualFolder(input());
  }
  ~PackJobTest() override {
    if (oldTemporaryFolder.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", oldTemporaryFolder.c_str(), 1);
    }
  }

  fs::path input() const { return dir / "In"; }
  fs::path output() const { return dir / "Out/kit.hmp"; }

  // Runs one job; gives the exception's kind ("" after success).
  std::string Run(CSLCLibraryState* slcState = nullptr) {
    fs::create_directories(output().parent_path());
    CPackJob job(host, database, slcState ? *slcState : slc);
    job.SetWorkerCount(workers);
    if (parkingBytes) job.SetParkingBytes(*parkingBytes);
    host.job = &job;
    job.SetInputFolder(NSFerryman::CDirSpec(input().string()));
    job.SetOutputFile(NSFerryman::CFileSpec(output().string()));
    job.SetWarnForExternalReferences(warn);
    std::string ended;
    try {
      job.RunPackJob();
    } catch (const NSFerryman::XAlertAlreadyShown&) {
      ended = "alert";
    } catch (const NSFerryman::XUserCancelled&) {
      ended = "stopped";
    } catch (const std::exception& e) {
      ended = std::string("error: ") + e.what();
    }
    filesPacked = job.GetReport().filesPacked;
    externalText = job.GetExternalHampersText();
    EXPECT_FALSE(job.IsBusy());
    EXPECT_TRUE(contenttest::FilesIn(dir / "tmp").empty()) << "a temporary file was left behind";
    host.job = nullptr;
    return ended;
  }

  std::vector<std::string> Paths() const {
    NSFerryman::COpenFile media{NSFerryman::CFileSpec(output().string())};
    std::vector<std::string> paths;
    for (const auto& record : ReadHamperIndex(media, ReadAndCheckHamperHeader(media))) paths.push_back(record.GetPath());
    return paths;
  }

  test::TempDir dir;
  std::string oldTemporaryFolder;
  CDatabase database;
  CSLCLibraryState slc;
  ScriptedHost host;
  bool warn = false;
  unsigned workers = 1;
  std::optional<std::uint64_t> parkingBytes;
  std::uint32_t filesPacked = 0;
  std::string externalText;
};

}  // namespace

TEST_F(PackJobTest, PacksAndVerifiesAFolder) {
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(host.Numbers(), std::vector<int>{5});
  EXPECT_EQ(host.shown[0].message, "The Hamper file has been packed successfully! 4 files were added.");
  EXPECT_EQ(filesPacked, 4u);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"Splash.jpg", "Samples:kick.wav", "Samples:snare.wav", "Songs:groove.tns"}));
  EXPECT_EQ(host.stagesSeen,
            (std::vector<std::string>{"Scanning folder...", "Scanning folder structure...", "Counting files...",
                                      "Verifying contents of files...", "Checking for referenced Hampers...",
                                      "Packing files...", "Building index for files...", "Composing final file...",
                                      "Verifying final file...", ""}));
  // The button reads Stop while busy, Skip only in the final verification.
  const auto skip = std::find(host.buttonTexts.begin(), host.buttonTexts.end(), "Skip");
  ASSERT_NE(skip, host.buttonTexts.end());
  EXPECT_TRUE(std::all_of(host.buttonTexts.begin(), skip, [](const std::string& t) { return t != "Skip"; }));
  EXPECT_NE(std::find(host.buttonTexts.begin(), skip, "Stop"), skip);
}

// The job's alerts, row by row: what is shown, how the job ends, what becomes of the output.
TEST_F(PackJobTest, AlertTable) {
  struct Case {
    const char* name;
    std::function<void(PackJobTest&)> arrange;
    std::vector<int> alerts;
    const char* ended;
    bool outputKept;
  };
  const auto write = [](const char* path, Bytes bytes) {
    return [=](PackJobTest& t) { test::WriteFileBytes(t.input() / path, bytes); };
  };
  const auto text = [](const char* path, const char* content) {
    return [=](PackJobTest& t) { test::WriteFileText(t.input() / path, content); };
  };
  const Bytes badWave = sampletest::Container("RIFF", "WAVE", {{"fmt ", {1, 2, 3}}});
  const Bytes threeChannels =
      sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, 3, 22050, 16)}, {"data", Bytes(12)}});
  const Case cases[] = {
      {"no name", text("INFO.TXT", "COMMENTS \"nameless\""), {4}, "alert", false},
      {"no splash", [](PackJobTest& t) { fs::remove(t.input() / "Splash.jpg"); }, {10}, "alert", false},
      {"splash of 64 x 32", write("Splash.jpg", contenttest::Splash(64, 32)), {11}, "alert", false},
      {"bad format, skipped", write("Samples/bad.wav", badWave), {8, 5}, "", true},
      {"bad format, not skipped",
       [&](PackJobTest& t) {
         test::WriteFileBytes(t.input() / "Samples/bad.wav", badWave);
         t.host.answers[8] = "No";
       },
       {8}, "alert", false},
      {"unsupported format, skipped", write("Samples/three.wav", threeChannels), {20, 5}, "", true},
      {"unsupported format, not skipped",
       [&](PackJobTest& t) {
         test::WriteFileBytes(t.input() / "Samples/three.wav", threeChannels);
         t.host.answers[20] = "No";
       },
       {20}, "alert", false},
      {"cannot be verified",
       [](PackJobTest& t) {
         t.host.onStage["Verifying contents of files..."] = [&t](CPackJob&) {
           fs::remove(t.input() / "Samples/snare.wav");
           fs::create_directory(t.input() / "Samples/snare.wav");
         };
       },
       {9}, "alert", false},
      {"special files are not packed",
       [](PackJobTest& t) {
         fs::create_symlink("nowhere.wav", t.input() / "Samples/gone.wav");
         ASSERT_EQ(mkfifo((t.input() / "Samples/pipe.wav").c_str(), 0600), 0);
       },
       {5}, "", true},
      {"bad reference", write("Songs/lost.tns", contenttest::Authored(contenttest::SongScript("lost.wav"))), {15}, "alert",
       false},
      {"external Hampers, asked and accepted",
       [](PackJobTest& t) {
         test::WriteFileBytes(t.input() / "Songs/groove.tns", contenttest::Authored(contenttest::SongScript("kick.wav", "Bass Pack")));
         t.warn = true;
       },
       {17, 5}, "", true},
      {"external Hampers, refused",
       [](PackJobTest& t) {
         test::WriteFileBytes(t.input() / "Songs/groove.tns", contenttest::Authored(contenttest::SongScript("kick.wav", "Bass Pack")));
         t.warn = true;
         t.host.answers[17] = "No";
       },
       {17}, "alert", false},
      // A file that changed since it was checked is asked about as the check asks.
      {"bad format found while packing, left out",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) {
           test::WriteFileBytes(t.input() / "Samples/snare.wav", sampletest::Container("RIFF", "WAVE", {{"junk", {1}}}));
         };
       },
       {8, 5}, "", true},
      {"bad format found while packing, not left out",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) {
           test::WriteFileBytes(t.input() / "Samples/snare.wav", sampletest::Container("RIFF", "WAVE", {{"junk", {1}}}));
         };
         t.host.answers[8] = "No";
       },
       {8}, "alert", false},
      // Left out, the sample leaves the song that refers to it with a reference to nothing.
      {"a referenced file left out while packing",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) {
           test::WriteFileBytes(t.input() / "Samples/kick.wav", sampletest::Container("RIFF", "WAVE", {{"junk", {1}}}));
         };
       },
       {8, 15}, "alert", false},
      {"file cut short while packing",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) {
           fs::resize_file(t.input() / "Samples/snare.wav", 100);
         };
       },
       {8, 5}, "", true},
      {"file replaced by a folder while packing",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) {
           fs::remove(t.input() / "Samples/snare.wav");
           fs::create_directory(t.input() / "Samples/snare.wav");
         };
       },
       {7}, "alert", false},
      {"file gone while packing",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [&t](CPackJob&) { fs::remove(t.input() / "Samples/snare.wav"); };
       },
       {7}, "alert", false},
      {"stop asked and confirmed",
       [](PackJobTest& t) { t.host.onStage["Packing files..."] = [](CPackJob& job) { job.RequestStop(); }; }, {18},
       "stopped", false},
      {"stop asked and declined",
       [](PackJobTest& t) {
         t.host.onStage["Packing files..."] = [](CPackJob& job) { job.RequestStop(); };
         t.host.answers[18] = "No";
       },
       {18, 5}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackJobTest& t = *this;
    fs::remove_all(input());
    fs::remove_all(output().parent_path());
    contenttest::WriteUsualFolder(input());
    host = ScriptedHost();
    warn = false;
    c.arrange(t);
    EXPECT_EQ(Run(), c.ended);
    EXPECT_EQ(host.Numbers(), c.alerts);
    EXPECT_EQ(fs::exists(output()), c.outputKept);
  }
}

TEST_F(PackJobTest, SkippedFilesAreLeftOutAndCounted) {
  test::WriteFileBytes(input() / "Samples/bad.wav", sampletest::Container("RIFF", "WAVE", {{"fmt ", {1}}}));
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(host.shown[0].message, "The file \"Samples:bad.wav\" is in a bad format. Continue without this file?");
  EXPECT_EQ(filesPacked, 4u);
  EXPECT_EQ(Paths().size(), 4u);
}

TEST_F(PackJobTest, AnExistingOutputIsReplacedOnlyWithConsent) {
  fs::create_directories(output().parent_path());
  test::WriteFileText(output(), "precious");
  host.answers[19] = "No";
  EXPECT_EQ(Run(), "alert");
  EXPECT_EQ(host.Numbers(), std::vector<int>{19});
  EXPECT_TRUE(host.stagesSeen.empty()) << "nothing else happens";
  EXPECT_EQ(test::ReadFileBytes(output()), (Bytes{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));

  // Yes lets the finished Hamper replace it; until then nothing touches it, so a job that fails
  // or is stopped leaves it as it was.
  const Bytes precious = test::ReadFileBytes(output());
  host = ScriptedHost();
  test::WriteFileText(input() / "INFO.TXT", "");
  EXPECT_EQ(Run(), "alert");
  EXPECT_EQ(host.Numbers(), (std::vector<int>{19, 4}));
  EXPECT_EQ(test::ReadFileBytes(output()), precious);

  contenttest::WriteUsualFolder(input());
  host = ScriptedHost();
  host.onStage["Packing files..."] = [](CPackJob& job) { job.PressStopButton(); };
  EXPECT_EQ(Run(), "stopped");
  EXPECT_EQ(test::ReadFileBytes(output()), precious);

  host = ScriptedHost();
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(host.Numbers(), (std::vector<int>{19, 5}));
  EXPECT_EQ(Paths().size(), 4u);
  EXPECT_EQ(contenttest::FilesIn(output().parent_path()), std::vector<std::string>{"kit.hmp"});
}

// A stop at each stage: before the final verification the output goes; in it ("Skip") the
// complete file stays and the job reports success.
TEST_F(PackJobTest, StopInEachStage) {
  const std::pair<const char*, bool> stages[] = {
      {"Scanning folder structure...", false}, {"Counting files...", false},
      {"Verifying contents of files...", false}, {"Checking for referenced Hampers...", false},
      {"Packing files...", false}, {"Building index for files...", false},
      {"Composing final file...", false}, {"Verifying final file...", true},
  };
  for (const auto& [stage, completes] : stages) {
    SCOPED_TRACE(stage);
    host = ScriptedHost();
    host.onStage[stage] = [](CPackJob& job) { job.PressStopButton(); };
    EXPECT_EQ(Run(), completes ? "" : "stopped");
    EXPECT_EQ(host.Numbers(), completes ? std::vector<int>{5} : std::vector<int>{}) << "a stop shows nothing";
    EXPECT_EQ(fs::exists(output()), completes);
    fs::remove_all(output().parent_path());
  }
  // Stopping with no job running leaves nothing pending for the next one.
  CPackJob idle(host, database, slc);
  idle.StopWithoutAsking();
  idle.PressStopButton();
  EXPECT_FALSE(idle.TakeStopRequest());
}

TEST_F(PackJobTest, ExternalHampersAreCollectedInOrder) {
  test::WriteFileBytes(input() / "Songs/groove.tns", contenttest::Authored(contenttest::SongScript("kick.wav", "Bass Pack")));
  test::WriteFileBytes(input() / "Songs/more.tns", contenttest::Authored(contenttest::SongScript("snare.wav", "Drum Basics")));
  test::WriteFileBytes(input() / "Songs/again.tns", contenttest::Authored(contenttest::SongScript("kick.wav", "Bass Pack")));
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(host.Numbers(), std::vector<int>{5}) << "with the warning off nothing is asked";
  EXPECT_EQ(externalText, "Bass Pack, Drum Basics");

  warn = true;
  host = ScriptedHost();
  fs::remove(output());
  EXPECT_EQ(Run(), "");
  ASSERT_EQ(host.Numbers(), (std::vector<int>{17, 17, 17, 5}));
  EXPECT_EQ(host.shown[0].message,
            "The file 'Songs:again.tns' refers to the Hamper(s): 'Bass Pack'. This Hamper will be required when using "
            "Songs:again.tns.\rContinue anyway?");
}

TEST_F(PackJobTest, TheSlicedLoopLibraryIsTriedAgainAfterAFailure) {
  CSLCLibraryState missing((dir / "nowhere/SLC Shared Library.so").string());
  for (int attempt = 0; attempt < 2; ++attempt) {
    host = ScriptedHost();
    EXPECT_EQ(Run(&missing), "alert");
    EXPECT_EQ(host.Numbers(), std::vector<int>{16});
    EXPECT_FALSE(fs::exists(output()));
  }
}

TEST_F(PackJobTest, OnlyRegularFilesAreWrittenOrReplaced) {
  fs::create_directories(output().parent_path());
  // A FIFO (as a device node would be) is never deleted or written over.
  ASSERT_EQ(mkfifo(output().c_str(), 0600), 0);
  EXPECT_NE(Run().find("is not a regular file"), std::string::npos);
  EXPECT_TRUE(fs::is_fifo(output()));
  EXPECT_TRUE(host.shown.empty());
  fs::remove(output());

  // A link is followed: its target is replaced and the link stays.
  test::WriteFileText(dir / "Out/real.hmp", "old");
  fs::create_symlink("real.hmp", output());
  host.answers[19] = "Yes";
  EXPECT_EQ(Run(), "");
  EXPECT_TRUE(fs::is_symlink(output()));
  EXPECT_EQ(Paths().size(), 4u);
}

// Any number of threads gives the Hamper, the alerts and the leftovers of one thread.
TEST_F(PackJobTest, ThreadsChangeNothingThatShows) {
  // Enough files of every kind that the workers run ahead of the job's thread.
  for (int i = 0; i < 24; ++i) {
    test::WriteFileBytes(input() / "Many" / ("take" + std::to_string(i) + ".wav"), contenttest::Wave(1 + i % 2, 2000 + 97 * i));
    test::WriteFileBytes(input() / "Songs" / ("song" + std::to_string(i) + ".tns"),
                         contenttest::Authored(contenttest::SongScript("snare.wav", i % 3 ? "" : "Bass Pack")));
  }
  test::WriteFileBytes(input() / "Pictures/photo.jpg", contenttest::Splash(200, 120));
  struct CResult {
    std::string ended;
    std::vector<int> alerts;
    std::vector<std::string> messages;
    Bytes hamper;
  };
  const auto runWith = [&](unsigned count) {
    workers = count;
    host = ScriptedHost();
    fs::remove_all(output().parent_path());
    CResult result;
    result.ended = Run();
    result.alerts = host.Numbers();
    for (const auto& shown : host.shown) result.messages.push_back(shown.message);
    if (fs::exists(output())) result.hamper = test::ReadFileBytes(output());
    return result;
  };

  const CResult one = runWith(1);
  ASSERT_EQ(one.ended, "");
  for (const unsigned count : {2u, 8u}) {
    const CResult many = runWith(count);
    EXPECT_EQ(many.ended, one.ended) << count;
    EXPECT_EQ(many.alerts, one.alerts) << count;
    EXPECT_TRUE(many.hamper == one.hamper) << "the Hamper differs with " << count << " threads";
  }

  // A bad file late in the walk and an unresolvable reference: the same alerts, for the same
  // files, in the same order; and the second, refused, ends the job the same way.
  test::WriteFileBytes(input() / "Many/take9.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  test::WriteFileBytes(input() / "Songs/song7.tns", contenttest::Authored(contenttest::SongScript("lost.wav")));
  const CResult badOne = runWith(1);
  EXPECT_EQ(badOne.alerts, (std::vector<int>{8, 15}));
  for (const unsigned count : {2u, 8u}) {
    const CResult badMany = runWith(count);
    EXPECT_EQ(badMany.ended, badOne.ended);
    EXPECT_EQ(badMany.messages, badOne.messages) << count;
    EXPECT_TRUE(badMany.hamper.empty());
  }

  // A stop in stage 2 leaves what one thread leaves: nothing.
  fs::remove(input() / "Songs/song7.tns");
  for (const unsigned count : {1u, 8u}) {
    workers = count;
    host = ScriptedHost();
    host.onStage["Packing files..."] = [](CPackJob& job) { job.PressStopButton(); };
    EXPECT_EQ(Run(), "stopped");
    EXPECT_FALSE(fs::exists(output()));
  }
}

// Items are written into the Hamper as they are packed, behind the room kept for the index: a
// file left out while packing (it changed since it was checked) gives the Hamper of a file left
// out by the check, byte for byte, whatever the threads; and items that wait for their turn beyond
// the memory they may hold wait beside the Hamper, changing nothing in it.
TEST_F(PackJobTest, WhereBytesWaitChangesNothingInTheHamper) {
  const auto generate = [&] {
    fs::remove_all(input());
    fs::remove_all(output().parent_path());
    goldentest::WriteGeneratedFolder(input());
    host = ScriptedHost();
  };
  for (const unsigned count : {1u, 2u}) {
    SCOPED_TRACE(count);
    workers = count;
    generate();
    host.onStage["Packing files..."] = [&](CPackJob&) {
      test::WriteFileBytes(input() / "Samples/snare.wav", goldentest::DamagedWave());
    };
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(host.Numbers(), (std::vector<int>{8, 5}));
    EXPECT_EQ(goldentest::Sha256Of(output()), goldentest::kLeftOutDigest);
  }
  for (const unsigned count : {2u, 8u}) {
    SCOPED_TRACE(count);
    workers = count;
    parkingBytes = 0;
    generate();
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(goldentest::Sha256Of(output()), goldentest::kGeneratedDigest);
    EXPECT_EQ(contenttest::FilesIn(output().parent_path()), std::vector<std::string>{"kit.hmp"});
  }
}
