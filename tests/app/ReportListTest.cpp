// The Pack Report and Folder Check as lists: one row a file (kind, file, cause) under a summary,
// sorted by a header, the selected rows copied as text, a row's file shown in its folder.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <array>

#include "app/AppTexts.h"
#include "app/ReportList.h"
#include "app/ReportRows.h"
#include "app/ReportTestSupport.h"
#include "support/TestSupport.h"

namespace {

using reporttest::CPackedWithProblems;
namespace fs = std::filesystem;
using Row = std::array<std::string, 3>;

// The list as the user reads it, top to bottom.
std::vector<Row> Shown(const CReportWindow& report) {
  const QAbstractItemModel& model = *report.List().model();
  std::vector<Row> rows;
  for (int row = 0; row < model.rowCount(); ++row) {
    Row shown;
    for (int column = 0; column < 3; ++column) shown[column] = model.index(row, column).data().toString().toStdString();
    rows.push_back(shown);
  }
  return rows;
}

const Row kLeftOut = {"bad format", "Samples:bad.wav", "WAV file without a \"fmt \" chunk"};
const Row kTwins = {"letter-case twins", "Samples:Sample 2.wav",
                    "\"Samples:SAMPLE 2.wav\" and \"Samples:Sample 2.wav\" differ only in letter case: both are packed, "
                    "but a reader that ignores case cannot tell them apart"};
const Row kOtherHamper = {"other Hampers", "Songs:Groove.tns", "refers to Drum Basics"};

TEST(ReportListTest, APackThatLeftAFileOutListsEachFileUnderTheSummary) {
  CPackedWithProblems f;
  f.Packer().DoCommand(command::kCreateHamper);  // bad.wav left out
  const CReportWindow& report = *f.Window().ReportWindow();
  EXPECT_TRUE(report.List().isVisible());
  EXPECT_EQ(Shown(report), (std::vector<Row>{kLeftOut, kTwins, kOtherHamper}));
  const QAbstractItemModel& model = *report.List().model();
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString() + "|" + model.headerData(1, Qt::Horizontal).toString() + "|" +
                model.headerData(2, Qt::Horizontal).toString(),
            "Kind|File|Cause");
  EXPECT_EQ(model.index(0, 1).data(Qt::ToolTipRole).toString().toStdString(), (f / "Kit" / "Samples" / "bad.wav").string());
  // The summary counts what the list holds; Save As still writes the whole text.
  const QString summary = report.Summary();
  EXPECT_TRUE(summary.startsWith("Hamper \"Test Kit\" from ")) << summary.toStdString();
  EXPECT_TRUE(summary.contains("Pack complete: ")) << summary.toStdString();
  EXPECT_TRUE(summary.endsWith("\n\nFiles left out: 1\nWarnings: 1\nOther Hampers needed: Drum Basics")) << summary.toStdString();
  EXPECT_FALSE(summary.contains("bad.wav")) << summary.toStdString();
  EXPECT_TRUE(report.Text().contains("Files left out (1):\n  Samples:bad.wav: bad format:")) << report.Text().toStdString();
}

TEST(ReportListTest, FolderCheckListsProblemsAndShowsTheFolderOfAProblemOfTheWholeFolder) {
  apptest::CPackerFixture f;
  apptest::WriteContentFolder(f / "Kit", apptest::CContent{""});  // no Name
  test::WriteFileBytes(f / "Kit" / "Samples" / "bad.wav", reporttest::kBadWave);
  f.dialogs.folders.push_back((f / "Kit").string());
  f.Packer().DoCommand(command::kCheckFolder);
  CReportWindow& report = *f.Window().ReportWindow();
  const std::vector<Row> shown = Shown(report);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], (Row{"no name", "", "no NAME.TXT, and no NAME in INFO.TXT"}));
  EXPECT_EQ(shown[1][0] + "|" + shown[1][1], "bad format|Samples:bad.wav");
  EXPECT_EQ(shown[2], kOtherHamper);
  EXPECT_TRUE(report.Summary().endsWith("\nProblems that would stop a pack: 2\nOther Hampers needed: Drum Basics"))
      << report.Summary().toStdString();
  EXPECT_TRUE(report.Text().contains("Problems that would stop a pack (2):\n  no name: ")) << report.Text().toStdString();

  // The folder's own problem shows the folder; a file's, the file.
  // The first row is chosen as the report opens.
  auto* showFile = report.findChild<QPushButton*>("showFileInFolderButton");
  ASSERT_TRUE(showFile->isEnabled());
  showFile->click();
  report.List().setCurrentIndex(report.List().model()->index(1, 2));
  showFile->click();
  EXPECT_EQ(f.shownInFolder, (std::vector<std::string>{(f / "Kit").string(), (f / "Kit" / "Samples" / "bad.wav").string()}));
  report.List().clearSelection();
  EXPECT_FALSE(showFile->isEnabled());
}

// Copy and Show in Folder take the rows the user sees selected, in the order a click on a header
// gave them.
TEST(ReportListTest, SelectedRowsAreCopiedAsTextAndShownInTheirFolderWhateverTheSort) {
  CPackedWithProblems f;
  f.Packer().DoCommand(command::kCreateHamper);
  CReportWindow& report = *f.Window().ReportWindow();
  QTreeView& list = report.List();
  QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                    list.header()->viewport()->rect().topLeft() + QPoint(list.header()->sectionViewportPosition(1) + 5, 5));
  QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                    list.header()->viewport()->rect().topLeft() + QPoint(list.header()->sectionViewportPosition(1) + 5, 5));
  ASSERT_EQ(Shown(report), (std::vector<Row>{kOtherHamper, kTwins, kLeftOut}));  // by file, descending

  QApplication::clipboard()->clear();
  list.clearSelection();
  list.selectionModel()->select(list.model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  list.selectionModel()->select(list.model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QApplication::setActiveWindow(&report);
  list.setFocus();
  QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
            "other Hampers\tSongs:Groove.tns\trefers to Drum Basics\n"
            "bad format\tSamples:bad.wav\tWAV file without a \"fmt \" chunk\n");

  // A double-click on a row shows its file.
  const QRect twins = list.visualRect(list.model()->index(1, 1));
  // (Qt's test double-click is only seen as one after a click.)
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, twins.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, twins.center());
  EXPECT_EQ(f.shownInFolder, std::vector<std::string>{(f / "Kit" / "Samples" / "Sample 2.wav").string()});
}

// A report with nothing to list is its summary alone.
TEST(ReportListTest, AReportWithNothingToListShowsNoList) {
  apptest::CPackerFixture f;
  apptest::WriteContentFolder(f / "Kit", apptest::CContent{"Clean Kit", "", 64, 64, 2, 2000, false});
  f.Packer().OpenItem((f / "Kit").string());
  fs::create_directories(f / "Out");
  f.Window().SetOutputFile(NSFerryman::CFileSpec((f / "Out" / "Clean Kit.hmp").string()));
  f.Packer().DoCommand(command::kCreateHamper);
  const CReportWindow& report = *f.Window().ReportWindow();
  ASSERT_TRUE(report.isVisible());
  EXPECT_FALSE(report.List().isVisible());
  EXPECT_FALSE(report.findChild<QPushButton*>("showFileInFolderButton")->isVisible());
  EXPECT_TRUE(report.Summary().endsWith("No file was left out, and there is nothing to warn about.")) << report.Summary().toStdString();
  EXPECT_EQ(report.Summary() + "\n", report.Text());
}

// Names in a report join their folders with ":"; a name may hold ":" itself (the pack leaves such
// a file out), and is found on disk all the same.
TEST(ReportListTest, AFileOfARowIsFoundOnDiskEvenWithAColonInItsName) {
  test::TempDir dir;
  fs::create_directories(dir.Path() / "Kit" / "Samples" / "a");
  const fs::path kit = dir.Path() / "Kit";
  const struct {
    std::string relative;
    fs::path expected;
  } cases[] = {
      {"", kit},
      {"Splash.jpg", kit / "Splash.jpg"},
      {"Samples:Kick.wav", kit / "Samples" / "Kick.wav"},
      {"Samples:a:b.wav", kit / "Samples" / "a" / "b.wav"},
      {"Samples:Take 1:2.wav", kit / "Samples" / "Take 1:2.wav"},
      {"Loops:x:y.wav", kit / "Loops:x:y.wav"},
  };
  for (const auto& c : cases) EXPECT_EQ(PathBelow(kit, c.relative), c.expected) << c.relative;

  // A report's folder may end in "/": a row about the folder itself still names it, not its inside.
  CFolderCheckReport report;
  report.problems = {{CFolderProblem::EKind::kNoSplash, "", "a 64 x 64 Splash.jpg is needed at the top level", ""}};
  report.missingFiles = {"Samples:Gone.wav"};
  const std::vector<CReportRow> rows = FolderCheckRows(kit.string() + "/", report);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].path, kit);
  EXPECT_EQ(rows[1].path, kit / "Samples" / "Gone.wav");
  EXPECT_EQ(ReportRowsText(std::vector<CReportRow>{{"kind", "a\tb", "line\none", {}}}), "kind\ta b\tline one\n");
}

}  // namespace
