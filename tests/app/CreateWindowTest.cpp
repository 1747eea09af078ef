// The packer window without a job: its views, and what choosing an input folder reads and shows.

#include <gtest/gtest.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/BorderTransparentStaticTextView.h"
#include "app/CreateWindow.h"
#include "app/DirectBitmapView.h"
#include "framework/resources/ResourceId.h"
#include "pack/JobTexts.h"

namespace {

using apptest::CContent;
using apptest::CPackerFixture;

QString ValueOf(CCreateWindow& window, const char* name) {
  return window.findChild<CBorderTransparentStaticTextView*>(name)->Text();
}

bool HasSplashPreview(CCreateWindow& window) {
  return !window.findChild<CDirectBitmapView*>("splashView")->Image().isNull();
}

TEST(CreateWindowTest, ShowsItsLabelsInOrderUnderItsTitle) {
  CPackerFixture f;
  EXPECT_EQ(f.Window().windowTitle(), "Hamper Packer");
  std::vector<QString> labels;
  for (const QLabel* label : f.Window().findChildren<QLabel*>()) {
    // The values are labels too.
    if (!qobject_cast<const CBorderTransparentStaticTextView*>(label)) labels.push_back(label->text());
  }
  EXPECT_EQ(labels, (std::vector<QString>{"Input Folder:", "Output File:", "Hamper Name:", "Hamper Comments:",
                                          "External Hampers:", "Hamper Copyright:", "Hamper URL:",
                                          "Hamper File Count:", "Splash Image:"}));
}

TEST(CreateWindowTest, AnInputFolderShowsItsDescriptionAndRenamesTheOutputFile) {
  CPackerFixture f;
  apptest::WriteContentFolder(f / "First", CContent{"First Kit"});
  apptest::WriteContentFolder(f / "Second", CContent{"Second & <b>Kit</b>", "Line one\nLine two"});
  f.Packer().OpenItem((f / "First").string());
  f.Window().SetOutputFile(NSFerryman::CFileSpec((f / "Out" / "Chosen.hmp").string()));
  EXPECT_EQ(ValueOf(f.Window(), "outputFileValue"), "Chosen.hmp");

  f.Packer().OpenItem((f / "Second").string());
  EXPECT_TRUE(f.alerts.shown.empty());
  EXPECT_EQ(ValueOf(f.Window(), "inputFolderValue"), "Second");
  EXPECT_EQ(ValueOf(f.Window(), "nameValue"), "Second & <b>Kit</b>");
  EXPECT_EQ(ValueOf(f.Window(), "commentsValue"), "Line one\nLine two");
  EXPECT_EQ(ValueOf(f.Window(), "fileCountValue"), "");
  EXPECT_TRUE(HasSplashPreview(f.Window()));
  // Renamed after the new Name, in the folder chosen before.
  ASSERT_TRUE(f.Window().Job().GetOutputFile());
  EXPECT_EQ(f.Window().Job().GetOutputFile()->GetFullPath(), (f / "Out" / "Second & <b>Kit<_b>.hmp").string());
  EXPECT_EQ(ValueOf(f.Window(), "outputFileValue"), "Second & <b>Kit<_b>.hmp");
}

TEST(CreateWindowTest, LongTextsAreShortenedNotWidened) {
  CPackerFixture f;
  const int width = f.Window().sizeHint().width();
  const std::string longName(400, 'N');
  apptest::WriteContentFolder(f / "Content", CContent{longName, std::string(50, 'c') + "\n2\n3\n4"});
  f.Packer().OpenItem((f / "Content").string());
  EXPECT_EQ(f.Window().sizeHint().width(), width);
  const auto* name = f.Window().findChild<CBorderTransparentStaticTextView*>("nameValue");
  EXPECT_EQ(name->Text().size(), 400);
  EXPECT_EQ(name->toolTip(), name->Text());
  // More lines than the view has room for: the whole text is its tool tip.
  const auto* comments = f.Window().findChild<CBorderTransparentStaticTextView*>("commentsValue");
  EXPECT_EQ(comments->toolTip(), comments->Text());
}

TEST(CreateWindowTest, TheSameFolderAgainIsNotReadAgain) {
  CPackerFixture f;
  apptest::WriteContentFolder(f / "Content");
  f.Packer().OpenItem((f / "Content").string());
  test::WriteFileText(f / "Content" / "NAME.TXT", "Renamed");
  f.dialogs.folders.push_back((f / "Content").string());
  f.Packer().DoCommand(command::kSelectInputFolder);
  EXPECT_EQ(ValueOf(f.Window(), "nameValue"), "Test Kit");
  // Another folder and back: now it is read.
  apptest::WriteContentFolder(f / "Other");
  f.Packer().OpenItem((f / "Other").string());
  f.Packer().OpenItem((f / "Content").string());
  EXPECT_EQ(ValueOf(f.Window(), "nameValue"), "Renamed");
}

TEST(CreateWindowTest, FoldersWithoutNameOrGoodSplashAreRefusedWithTheirAlert) {
  const struct {
    const char* name;
    CContent content;
    std::uint32_t alert;
    bool preview;
  } cases[] = {
      {"no Name", CContent{"", "c"}, jobtext::kNoNameAlert, true},
      {"no splash", CContent{"Kit", "c", 0, 0}, NSFerryman::AlertId(NSFerryman::kApplicationResources, 10), false},
      {"splash 64 x 32", CContent{"Kit", "c", 64, 32}, NSFerryman::AlertId(NSFerryman::kApplicationResources, 11), false},
      {"splash 128 x 128", CContent{"Kit", "c", 128, 128}, NSFerryman::AlertId(NSFerryman::kApplicationResources, 11), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CPackerFixture f;
    apptest::WriteContentFolder(f / "Good");
    apptest::WriteContentFolder(f / "Bad", c.content);
    f.Packer().OpenItem((f / "Good").string());
    f.Packer().OpenItem((f / "Bad").string());
    EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{c.alert}));
    EXPECT_FALSE(f.Window().Job().GetInputFolder());
    EXPECT_EQ(ValueOf(f.Window(), "inputFolderValue"), "");
    EXPECT_EQ(HasSplashPreview(f.Window()), c.preview);
    // A folder without a Name still shows its other texts.
    EXPECT_EQ(ValueOf(f.Window(), "commentsValue"), c.alert == jobtext::kNoNameAlert ? "c" : "");
  }
}

TEST(CreateWindowTest, SomethingThatIsNoFolderIsReportedOnce) {
  CPackerFixture f;
  test::WriteFileText(f / "file.txt", "not a folder");
  for (const std::string& path : {(f / "file.txt").string(), (f / "missing").string()}) {
    f.alerts.shown.clear();
    f.Packer().OpenItem(path);
    ASSERT_EQ(f.alerts.shown.size(), 1u) << path;
    EXPECT_EQ(f.alerts.shown[0].title, "File not Found") << path;
    EXPECT_FALSE(f.Window().Job().GetInputFolder());
  }
}

TEST(CreateWindowTest, AFolderDroppedOnTheWindowBecomesTheInputFolder) {
  CPackerFixture f;
  apptest::WriteContentFolder(f / "Content");
  test::WriteFileText(f / "notes.txt", "x");
  const auto drop = [&](const std::vector<std::filesystem::path>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path.string())));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.Window(), &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.Window(), &dropped);
    return enter.isAccepted();
  };
  EXPECT_FALSE(drop({f / "notes.txt"}));
  EXPECT_FALSE(drop({f / "Content", f / "notes.txt"}));
  EXPECT_FALSE(f.Window().Job().GetInputFolder());
  EXPECT_TRUE(drop({f / "Content"}));
  EXPECT_EQ(ValueOf(f.Window(), "inputFolderValue"), "Content");
  EXPECT_EQ(ValueOf(f.Window(), "nameValue"), "Test Kit");
}

TEST(CreateWindowTest, TheWarningOptionIsAMenuCheckMark) {
  CPackerFixture f;
  QAction* warn = f.Packer().Menus()->Action(command::kWarnForExternalReferences);
  EXPECT_FALSE(warn->isChecked());
  warn->trigger();
  EXPECT_TRUE(f.Window().Job().GetWarnForExternalReferences());
  EXPECT_TRUE(warn->isChecked());
  f.Packer().DoCommand(command::kWarnForExternalReferences);
  EXPECT_FALSE(f.Window().Job().GetWarnForExternalReferences());
  EXPECT_FALSE(warn->isChecked());
}

}  // namespace
