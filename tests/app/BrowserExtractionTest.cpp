// Extraction from the browser window: in the background while the window answers, Stop leaving
// whole files only, files there kept on Return, and items dragged out written only where and
// when they are dropped.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/CreateWindow.h"
#include "app/DragOutData.h"
#include "app/FolderDialogState.h"
#include "app/HamperTreeModel.h"
#include "browse/HamperContents.h"
#include "framework/media/HiddenFile.h"

namespace {

using namespace browsertest;
using BrowserExtraction = BrowserTest;

constexpr int kCopiedType = 14;  // stored and extracted as it is

// A Hamper of a small item and a large one of `largeBytes` (a sparse file: its zeros cost nothing
// to make, and are read fast).
fs::path WriteLargeHamper(const fs::path& path, std::uint32_t largeBytes) {
  hampertest::FakeTree tree;
  tree.Add(hampertest::FakeEntry::File("Small.pad", kCopiedType, std::vector<std::uint8_t>(5000, 7)));
  tree.Add(hampertest::FakeEntry::File("Large.pad", kCopiedType, {1}));
  packedtest::WriteTree(path, tree, "Large");
  packedtest::Bytes bytes = test::ReadFileBytes(path);
  const packedtest::CRecordPlace large = packedtest::Find(bytes, "Large.pad");
  const auto size = static_cast<std::uint32_t>(bytes.size()) - 1 + largeBytes;
  packedtest::PutU32BE(bytes, packedtest::SizeAt(large), largeBytes);
  packedtest::PutU32BE(bytes, 4, size);
  test::WriteFileBytes(path, bytes);
  fs::resize_file(path, size);
  return path;
}

// $TMPDIR set to a folder while the object lives.
class CTemporaryFolderSet {
 public:
  explicit CTemporaryFolderSet(const fs::path& folder) {
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~CTemporaryFolderSet() {
    if (saved_) {
      setenv("TMPDIR", saved_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

 private:
  std::optional<std::string> saved_;
};

// The window answers while it extracts: typing filters the tree, the progress bar moves; Escape
// stops inside the large item, which leaves nothing, while the small one stands whole.
TEST_F(BrowserExtraction, RunsInTheBackgroundAndStopLeavesWholeFilesOnly) {
  CHamperBrowserWindow& window = Open(WriteLargeHamper(f / "Large.hmp", std::uint32_t{1} << 30));
  ASSERT_TRUE(window.Contents().Problems().empty()) << window.Contents().Problems().front();
  const fs::path out = f / "out";
  f.dialogs.folders = {out.string()};
  window.ExtractAll();
  ASSERT_TRUE(window.IsExtracting());
  QTest::keyClicks(Find<QLineEdit>(window, "filterEdit"), "small");
  EXPECT_EQ(Rows(window), std::vector<std::string>{"Small.pad"});
  const QProgressBar* progress = Find<QProgressBar>(window, "progressBar");
  EXPECT_TRUE(progress->isVisibleTo(&window));
  EXPECT_TRUE(Find<QPushButton>(window, "stopButton")->isVisibleTo(&window));
  ASSERT_TRUE(WaitUntil([&] { return progress->value() > 0 || !window.IsExtracting(); }));
  EXPECT_TRUE(window.IsExtracting());
  EXPECT_TRUE(Find<QLabel>(window, "statusLine")->text().startsWith("Extracting: ")) << Find<QLabel>(window, "statusLine")->text().toStdString();

  window.activateWindow();
  QApplication::setActiveWindow(&window);
  QTest::keyClick(&window, Qt::Key_Escape);
  ASSERT_TRUE(WaitForExtraction(window));
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text().toStdString(),
            "Stopped: 1 written to " + out.string() + ", 0 kept as they were, 0 failed, 1 not extracted.");
  const auto files = FilesBelow(out);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files.begin()->first, "Small.pad");
  EXPECT_EQ(files.begin()->second, std::vector<std::uint8_t>(5000, 7));
  for (const auto& entry : fs::directory_iterator(out)) EXPECT_FALSE(NSFerryman::IsHiddenFileName(entry.path().filename()));
}

// Return (the scripted answer when none is set) and Escape keep what is there, as `hamper extract`
// keeps files without --force.
TEST_F(BrowserExtraction, FilesThereAreKeptUnlessTheUserSaysYes) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  const fs::path out = f / "out";
  test::WriteFileText(out / "Drums" / "Kick.wav", "mine");
  for (const int answer : {NSFerryman::kAlertButton2 /* Return: the default */, NSFerryman::kAlertClosed /* Escape */}) {
    if (answer == NSFerryman::kAlertClosed) f.alerts.answers[browsertext::kReplaceExtractedAlert] = answer;
    ASSERT_TRUE(window.Select("Drums:Kick.wav"));
    f.dialogs.folders = {out.string()};
    window.ExtractSelected();
    ASSERT_TRUE(WaitForExtraction(window));
    ASSERT_EQ(f.alerts.shown.back().id, browsertext::kReplaceExtractedAlert);
    EXPECT_EQ(f.alerts.shown.back().defaultResult, NSFerryman::kAlertButton2);
    EXPECT_EQ(test::ReadFileBytes(out / "Drums" / "Kick.wav"), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
  }
}

// Nothing is written before the drop. A file manager that names its folder (XDS) gets the items
// there, extracted in the background; one that takes file names gets them from a private folder
// once dropped, which goes with the window; the program's own windows take none of it.
TEST_F(BrowserExtraction, DraggedItemsAreWrittenOnlyWhereAndWhenTheyAreDropped) {
  const fs::path demo = DemoHamper();  // packed before the temporary folder is the test's
  test::TempDir temporary;
  const CTemporaryFolderSet useTemporary(temporary.Path());
  bool dropped = false;
  QByteArray target;
  // A window whose drags see the test's drop and target.
  std::unique_ptr<CHamperContents> contents = CHamperContents::Open(demo.string());
  CFolderDialogState folders("HMEX");
  CHamperBrowserWindow& window = *new CHamperBrowserWindow(
      std::move(contents),
      CHamperBrowserServices{*f.Packer().Database(), f.Packer().Slc(), f.alerts, f.dialogs, folders,
                             [] { return kNoDevice; }, [&] { return dropped; }, [&] { return target; }});
  window.show();
  const CHamperTree& tree = window.Contents().Tree();
  const std::uint32_t drums = tree.Node(tree.NodeOfRecord(5)).parent;
  const QModelIndex drumsRow = window.Model().IndexOf(drums);

  // To a target that takes file names: told the names before the drop, written at it.
  std::unique_ptr<QMimeData> toNames(window.Model().mimeData({drumsRow}));
  ASSERT_TRUE(toNames);
  EXPECT_TRUE(IsOwnItemDrag(toNames.get()));
  const QList<QUrl> before = toNames->urls();
  ASSERT_EQ(before.size(), 1);
  const fs::path folder = before.front().toLocalFile().toStdString();
  EXPECT_EQ(folder.filename(), "Drums");
  EXPECT_FALSE(fs::exists(folder));
  // Dropped on the packer window: refused, nothing written, no input folder taken.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, toNames.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f.Window(), &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, toNames.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f.Window(), &drop);
  EXPECT_FALSE(f.Window().Job().GetInputFolder());
  EXPECT_FALSE(fs::exists(folder));

  dropped = true;
  const QList<QUrl> after = toNames->urls();
  ASSERT_EQ(after, before);
  EXPECT_EQ(FilesBelow(folder).size(), 6u);
  EXPECT_EQ(fs::status(folder.parent_path().parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(test::ReadFileBytes(folder / "Kick.wav"), FilesBelow(folder).at("Kick.wav"));

  // To a file manager that names its folder: the items land there, and nothing in the temporary folder.
  dropped = false;
  const fs::path desktop = f / "Desktop";
  fs::create_directories(desktop);
  target = QUrl::fromLocalFile(QString::fromStdString((desktop / "Drums").string())).toEncoded();
  std::unique_ptr<QMimeData> direct(window.Model().mimeData({drumsRow}));
  EXPECT_TRUE(direct->hasFormat("XdndDirectSave0"));
  QSignalSpy extracted(&window, &CHamperBrowserWindow::ExtractionFinished);
  EXPECT_EQ(direct->data("XdndDirectSave0"), "S");
  ASSERT_TRUE(extracted.wait(10000));
  EXPECT_TRUE(FilesBelow(desktop / "Drums") == FilesBelow(folder));
  // A target elsewhere (another machine's name) is told to take the file names.
  target = "file://elsewhere.example/home/me/Drums";
  std::unique_ptr<QMimeData> remote(window.Model().mimeData({drumsRow}));
  EXPECT_EQ(remote->data("XdndDirectSave0"), "F");

  // The private folder goes with the window.
  window.close();
  apptest::CPackerFixture::Settle();
  EXPECT_TRUE(fs::is_empty(temporary.Path()));
}

}  // namespace
