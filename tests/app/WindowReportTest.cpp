// What the window tells beyond the job's own alerts: the cause behind a refusal, the report of a
// pack and of Check Folder, honest times after a question, the other Hampers of the folder shown,
// a missing folder named, and the recent input folders.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

#include "app/AlertDialog.h"
#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/BorderTransparentStaticTextView.h"
#include "app/CreateWindow.h"
#include "app/RecentFolders.h"
#include "app/ReportTestSupport.h"
#include "app/ReportWindow.h"
#include "framework/resources/ResourceId.h"
#include "pack/JobTexts.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

namespace {

using apptest::CContent;
using apptest::CPackerFixture;
namespace fs = std::filesystem;

using reporttest::CPackedWithProblems;
using reporttest::kBadWave;
using reporttest::WriteFolderWithProblems;

TEST(WindowReportTest, AlertsCarryTheirCauseAsDetails) {
  CPackedWithProblems f;
  f.alerts.answers[jobtext::kBadFormatSkipAlert] = NSFerryman::kAlertButton2;  // No: the job ends
  f.Packer().DoCommand(command::kCreateHamper);
  ASSERT_EQ(f.alerts.Ids(), std::vector<std::uint32_t>{jobtext::kBadFormatSkipAlert});
  EXPECT_EQ(f.alerts.shown[0].details, "WAV file without a \"fmt \" chunk");

  // The box shows them on request.
  CAlertDialog box(f.alerts.shown[0]);
  auto* details = box.findChild<QPlainTextEdit*>("alertDetails");
  ASSERT_TRUE(details);
  EXPECT_TRUE(details->isHidden());
  box.findChild<QPushButton*>("alertDetailsButton")->click();
  EXPECT_FALSE(details->isHidden());
  EXPECT_EQ(details->toPlainText(), "WAV file without a \"fmt \" chunk");
  // An alert without a cause has no such button.
  NSFerryman::CAlert plain = f.alerts.shown[0];
  plain.details.clear();
  EXPECT_FALSE(CAlertDialog(plain).findChild<QPushButton*>("alertDetailsButton"));

  // The report says how the job ended, and why.
  EXPECT_TRUE(f.ReportText().contains("Ended: Bad format: The file \"Samples:bad.wav\" is in a bad format.")) << f.ReportText().toStdString();
  EXPECT_TRUE(f.ReportText().contains("Cause: Samples:bad.wav: WAV file without a \"fmt \" chunk")) << f.ReportText().toStdString();
}

// The window's report and `hamper pack --json` give the same facts of one folder.
TEST(WindowReportTest, TheReportOfAPackListsWhatTheCommandLineReports) {
  CPackedWithProblems f;
  f.Packer().DoCommand(command::kCreateHamper);  // alert 8 answered Yes: bad.wav left out
  const QString report = f.ReportText();
  ASSERT_FALSE(report.isEmpty());

  WriteFolderWithProblems(f / "Again" / "Kit");
  std::string json;
  ASSERT_EQ(test::RunCommand(std::string("cd ") + (f / "Again").string() + " && " + HAMPER_EXE +
                                 " pack -q --skip-bad --json Kit -o out.hmp 2>/dev/null",
                             &json),
            0);
  const auto field = [&](const std::string& name) {
    const std::size_t at = json.find("\"" + name + "\": ");
    EXPECT_NE(at, std::string::npos) << name;
    return json.substr(at + name.size() + 4, json.find_first_of(",\n", at) - at - name.size() - 4);
  };
  EXPECT_TRUE(report.contains(QString::fromStdString("Pack complete: " + field("filesPacked") + " files packed.")))
      << report.toStdString() << json;
  EXPECT_NE(json.find("{\"file\": \"Samples:bad.wav\", \"kind\": \"bad format\", \"cause\": \"WAV file without a "
                      "\\\"fmt \\\" chunk\"}"),
            std::string::npos)
      << json;
  EXPECT_TRUE(report.contains("Files left out (1):\n  Samples:bad.wav: bad format: WAV file without a \"fmt \" chunk"))
      << report.toStdString();
  const std::string twins = "differ only in letter case: both are packed";
  EXPECT_NE(json.find(twins), std::string::npos) << json;
  EXPECT_TRUE(report.contains("Warnings (1):")) << report.toStdString();
  EXPECT_TRUE(report.contains(QString::fromStdString(twins))) << report.toStdString();
  EXPECT_NE(json.find("\"externalHampers\": [\"Drum Basics\"]"), std::string::npos) << json;
  EXPECT_TRUE(report.contains("Other Hampers needed: Drum Basics")) << report.toStdString();
  EXPECT_EQ(field("outputBytes"), std::to_string(fs::file_size(f / "Out" / "Test Kit.hmp")));

  // Saved as a text file, and Show in Folder shows the Hamper.
  std::string shown;
  CReportWindow* window = f.Window().ReportWindow();
  f.dialogs.saveFiles.push_back((f / "report.txt").string());
  ASSERT_TRUE(window->SaveAs());
  const auto saved = test::ReadFileBytes(f / "report.txt");
  EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(saved.data()), static_cast<qsizetype>(saved.size())), report);
  EXPECT_FALSE(window->findChild<QPushButton*>("showInFolderButton")->isHidden());
}

// Saving a report is saving text: its dialog offers text files beside the Hamper, and a file that
// is there (the Hamper itself, typed by mistake) is replaced only on Yes, never on Return.
TEST(WindowReportTest, SavingAReportAsksBeforeReplacingAnyFile) {
  CPackedWithProblems f;
  f.Packer().DoCommand(command::kCreateHamper);
  CReportWindow* window = f.Window().ReportWindow();
  ASSERT_TRUE(window);
  const fs::path hamper = f / "Out" / "Test Kit.hmp";
  const auto packed = test::ReadFileBytes(hamper);
  const std::size_t alertsBefore = f.alerts.shown.size();
  f.dialogs.saveFiles.push_back(hamper.string());
  window->findChild<QPushButton*>("saveReportButton")->click();
  const apptest::CScriptedDialogs::CAsked& asked = f.dialogs.asked.back();
  EXPECT_EQ(asked.kind, ESavedFileKind::kText);
  EXPECT_EQ(asked.proposedName, "Test Kit report.txt");
  EXPECT_EQ(asked.startFolder, (f / "Out").string());
  ASSERT_EQ(f.alerts.shown.size(), alertsBefore + 1);
  EXPECT_EQ(f.alerts.shown.back().id, jobtext::kFileExistsAlert);
  EXPECT_EQ(f.alerts.shown.back().defaultResult, NSFerryman::kAlertButton2);
  EXPECT_EQ(test::ReadFileBytes(hamper), packed);
  EXPECT_EQ(apptest::FilesBelow(f / "Out"), 1u);  // nothing left beside it

  // Yes replaces a text file that is there.
  test::WriteFileText(f / "Out" / "old.txt", "old");
  f.alerts.answers[jobtext::kFileExistsAlert] = NSFerryman::kAlertButton1;
  f.dialogs.saveFiles.push_back((f / "Out" / "old.txt").string());
  EXPECT_TRUE(window->SaveAs());
  EXPECT_GT(fs::file_size(f / "Out" / "old.txt"), 100u);

  // Folder Check's report is text too.
  f.Packer().DoCommand(command::kCheckFolder);
  window->SaveAs();
  EXPECT_EQ(f.dialogs.asked.back().kind, ESavedFileKind::kText);
  EXPECT_EQ(f.dialogs.asked.back().proposedName, "Test Kit check.txt");
}

// Without a file manager Show in Folder says where the Hamper is, in text that can be copied.
TEST(WindowReportTest, ShowInFolderWithoutAFileManagerNamesTheFolder) {
  apptest::CScriptedAlerts alerts;
  apptest::CScriptedDialogs dialogs;
  std::vector<std::string> asked;
  CReportWindow report(dialogs, alerts, [&](const std::string& path) {
    asked.push_back(path);
    return false;
  });
  report.ShowReport("Pack Report", {"Pack complete", {}, "Pack complete"}, "/home/me/Hampers/Kit.hmp", "Kit report.txt");
  report.findChild<QPushButton*>("showInFolderButton")->click();
  EXPECT_EQ(asked, std::vector<std::string>{"/home/me/Hampers/Kit.hmp"});
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].id, apptext::kNoFileManagerAlert);
  EXPECT_NE(alerts.shown[0].message.find("\r/home/me/Hampers"), std::string::npos) << alerts.shown[0].message;
  // The box lets the folder be selected.
  CAlertDialog box(alerts.shown[0]);
  EXPECT_TRUE(box.findChild<QLabel*>("alertMessage")->textInteractionFlags() & Qt::TextSelectableByMouse);

  // So does Show File in Folder, for the folder of a row's file.
  report.ShowReport("Pack Report", {"Pack complete", {{"bad format", "Samples:bad.wav", "damaged", "/home/me/Kit/Samples/bad.wav"}}, ""},
                    "/home/me/Hampers/Kit.hmp", "Kit report.txt");
  report.findChild<QPushButton*>("showFileInFolderButton")->click();
  EXPECT_EQ(asked.back(), "/home/me/Kit/Samples/bad.wav");
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_NE(alerts.shown[1].message.find("\r/home/me/Kit/Samples"), std::string::npos) << alerts.shown[1].message;
}

TEST(WindowReportTest, CheckFolderListsEveryProblemAndWritesNothing) {
  CPackerFixture f;
  apptest::WriteContentFolder(f / "Kit", CContent{""});  // no Name
  test::WriteFileBytes(f / "Kit" / "Samples" / "bad.wav", kBadWave);
  test::WriteFileBytes(f / "Kit" / "Samples" / "three.wav", kBadWave);
  const std::size_t files = apptest::FilesBelow(f / "Kit");
  f.dialogs.folders.push_back((f / "Kit").string());
  f.Packer().DoCommand(command::kCheckFolder);
  CReportWindow* report = f.Window().ReportWindow();
  ASSERT_TRUE(report && report->isVisible());
  EXPECT_EQ(report->windowTitle(), "Folder Check");
  const QString text = report->Text();
  EXPECT_TRUE(text.contains("Problems that would stop a pack (3):")) << text.toStdString();
  EXPECT_TRUE(text.contains("no name: no NAME.TXT, and no NAME in INFO.TXT")) << text.toStdString();
  EXPECT_TRUE(text.contains("Samples:bad.wav: bad format:")) << text.toStdString();
  EXPECT_TRUE(text.contains("Samples:three.wav: bad format:")) << text.toStdString();
  EXPECT_TRUE(text.contains("Songs:Groove.tns: Drum Basics")) << text.toStdString();
  EXPECT_TRUE(f.alerts.shown.empty());
  EXPECT_EQ(apptest::FilesBelow(f / "Kit"), files);
  // The folder was checked, not taken: it could not be packed.
  EXPECT_FALSE(f.Window().Job().GetInputFolder());
}

// A minute spent on a question is not counted as work: the estimate stays that of the work.
TEST(WindowReportTest, TimeWaitingOnAQuestionIsNotWork) {
  CPackedWithProblems f;
  std::uint64_t offset = 0;
  f.Window().Job().Progress().SetClock([&offset] { return platform::MillisecondsNow() + offset; });
  f.alerts.onAlert = [&](const NSFerryman::CAlert& alert) {
    if (alert.id == jobtext::kBadFormatSkipAlert) offset += 60 * 60 * 1000;  // an hour to answer
  };
  std::int64_t largest = 0;
  {
    apptest::CWhileRunning watch([&] {
      largest = std::max(largest, f.Window().Job().Progress().GetEstimate().GetEstimate());
    });
    f.Packer().DoCommand(command::kCreateHamper);
  }
  EXPECT_LT(largest, 10 * 60 * 1000);
  EXPECT_LT(f.Window().Job().GetReport().milliseconds, 10u * 60 * 1000);
}

TEST(WindowReportTest, AnotherInputFolderClearsTheOtherHampersOfTheLastJob) {
  CPackedWithProblems f;
  f.Packer().DoCommand(command::kCreateHamper);
  const auto value = [&] { return f.Window().findChild<CBorderTransparentStaticTextView*>("externalHampersValue")->Text(); };
  EXPECT_EQ(value(), "Drum Basics");
  apptest::WriteContentFolder(f / "Other", CContent{"Other Kit", "", 64, 64, 1, 2000, false});
  f.Packer().OpenItem((f / "Other").string());
  EXPECT_EQ(value(), "");
}

TEST(WindowReportTest, AMissingFolderIsNamed) {
  CPackerFixture f;
  const std::string missing = (f / "No Such Kit").string();
  f.Packer().OpenItem(missing);
  ASSERT_EQ(f.alerts.shown.size(), 1u);
  EXPECT_EQ(f.alerts.shown[0].title, "File not Found");
  EXPECT_NE(f.alerts.shown[0].message.find(missing), std::string::npos) << f.alerts.shown[0].message;
}

TEST(WindowReportTest, RecentInputFoldersAreListedNewestFirst) {
  CPackerFixture f;
  CRecentFolders().Clear();
  for (const char* name : {"One", "Two", "One"}) {
    apptest::WriteContentFolder(f / name, CContent{name});
    f.Packer().OpenItem((f / name).string());
  }
  EXPECT_EQ(CRecentFolders().Folders(), (std::vector<std::string>{(f / "One").string(), (f / "Two").string()}));
  QMenu* menu = f.Packer().RecentFoldersMenu();
  ASSERT_TRUE(menu);
  emit menu->aboutToShow();
  const QList<QAction*> actions = menu->actions();
  ASSERT_GE(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "&1 " + QString::fromStdString((f / "One").string()));
  EXPECT_EQ(actions[1]->text(), "&2 " + QString::fromStdString((f / "Two").string()));
  actions[1]->trigger();
  ASSERT_TRUE(f.Window().Job().GetInputFolder());
  EXPECT_EQ(f.Window().Job().GetDescription().GetName(), "Two");
  CRecentFolders().Clear();
}

}  // namespace
