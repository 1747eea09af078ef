// The Hamper browser window over real packed Hampers: opening (menu, drop), the description and
// tree, the filter, what a selection shows, extracting, verifying a damaged item, and damaged
// Hampers that still open.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>
#include <QUrl>

#include "app/AppTestSupport.h"
#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/CreateWindow.h"
#include "app/HamperBrowserWindow.h"
#include "app/HamperTreeModel.h"
#include "app/PaletteColours.h"
#include "app/WaveformView.h"
#include "browse/HamperContents.h"
#include "cli/PackedContent.h"
#include "framework/resources/ResourceCache.h"

namespace {

namespace fs = std::filesystem;
using namespace browsertest;
using HamperBrowser = BrowserTest;

TEST_F(HamperBrowser, OpensFromTheMenuAsOneWindowPerHamper) {
  f.dialogs.hampers = {DemoHamper().string(), std::nullopt};
  f.Packer().DoCommand(command::kOpenHamper);
  ASSERT_EQ(f.Packer().HamperWindows().size(), 1u);
  EXPECT_EQ(f.dialogs.asked.back().title, "Open a Hamper");
  f.Packer().DoCommand(command::kOpenHamper);  // cancelled
  EXPECT_EQ(f.Packer().HamperWindows().size(), 1u);

  CHamperBrowserWindow& window = *f.Packer().HamperWindows().front();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Harbor Drums \u2014 Harbor Drums.hmp"));
  EXPECT_EQ(Find<QLabel>(window, "nameValue")->text(), "Harbor Drums");
  EXPECT_TRUE(Find<QLabel>(window, "urlValue")->text().contains("<a href=\"https://example.com/harbor-drums\">"));
  EXPECT_FALSE(Find<QLabel>(window, "splashView")->pixmap().isNull());
  EXPECT_FALSE(Find<QLabel>(window, "problemLine")->isVisibleTo(&window));
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Splash.jpg", "Art", "Drums", "Loops", "MIDI", "Patches", "Songs"}));
  // The splash is hidden: grey.
  const QModelIndex splash = window.Tree()->model()->index(0, 0);
  EXPECT_EQ(splash.data(Qt::ForegroundRole).value<QColor>(), QApplication::palette().color(QPalette::Disabled, QPalette::Text));

  // A second Hamper, and the same one again: each has a window.
  Open(DemoHamper());
  EXPECT_EQ(f.Packer().HamperWindows().size(), 2u);
}

TEST_F(HamperBrowser, HamperDroppedOnThePackerWindowOpensInABrowser) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(DemoHamper().string()))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f.Window(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f.Window(), &drop);
  ASSERT_EQ(f.Packer().HamperWindows().size(), 1u);
  EXPECT_EQ(f.Packer().HamperWindows().front()->Contents().Description().GetName(), "Harbor Drums");
}

TEST_F(HamperBrowser, FilterNarrowsTheTreeAsOneTypesAndHiddenItemsCanBeHidden) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  QTest::keyClicks(Find<QLineEdit>(window, "filterEdit"), "kick");
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Drums"}));
  EXPECT_EQ(Rows(window, window.Tree()->model()->index(0, 0)), (std::vector<std::string>{"Kick.wav"}));
  // Return goes to the first item shown, which stays selected when the filter is cleared.
  QTest::keyClick(Find<QLineEdit>(window, "filterEdit"), Qt::Key_Return);
  EXPECT_EQ(window.Tree()->currentIndex().data().toString(), "Kick.wav");
  EXPECT_TRUE(Find<QLabel>(window, "factsLabel")->text().startsWith("Drums:Kick.wav\n"));

  window.SetFilter("harbor g");
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Loops", "MIDI", "Songs"}));
  window.SetFilter("");
  Find<QCheckBox>(window, "hiddenToggle")->setChecked(false);
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Art", "Drums", "Loops", "MIDI", "Patches", "Songs"}));
}

TEST_F(HamperBrowser, SelectionShowsASamplesFactsAndWaveformAPictureAndASongsReferences) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  const QString facts = Find<QLabel>(window, "factsLabel")->text();
  EXPECT_TRUE(facts.contains("Length: 1.000 s")) << facts.toStdString();
  EXPECT_TRUE(facts.contains("Channels: stereo")) << facts.toStdString();
  EXPECT_TRUE(facts.contains("Sample rate: 22050 Hz")) << facts.toStdString();
  EXPECT_TRUE(facts.contains("Loop: forward 0-22050")) << facts.toStdString();
  const CWaveformView* waveform = Find<CWaveformView>(window, "waveformView");
  ASSERT_TRUE(waveform->HasPeaks());
  EXPECT_LT(*std::min_element(waveform->Peaks().low.begin(), waveform->Peaks().low.end()), 0);
  // No audio device: Play is off and says why; Space does nothing.
  const QPushButton* play = Find<QPushButton>(window, "playButton");
  EXPECT_FALSE(play->isEnabled());
  EXPECT_EQ(play->toolTip(), kNoDevice);
  QTest::keyClick(window.Tree(), Qt::Key_Space);
  EXPECT_FALSE(window.IsPlaying());
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(), kNoDevice);

  ASSERT_TRUE(window.Select("Art:Cover.tif"));
  EXPECT_FALSE(Find<QLabel>(window, "pictureView")->pixmap().isNull());

  ASSERT_TRUE(window.Select("Songs:Night Shift.tps"));
  const QString references = Find<QTextBrowser>(window, "referencesView")->toPlainText();
  EXPECT_TRUE(references.contains("1. \"Hat Closed.aif\": internal, in this Hamper: Drums:Hat Closed.aif"))
      << references.toStdString();
  EXPECT_TRUE(references.contains("5. \"Bass Line.wav\": UNRESOLVED: the Hamper \"Harbor Bass\" is not installed"))
      << references.toStdString();
  EXPECT_TRUE(references.contains("database:")) << references.toStdString();
}

// The waveform is drawn from peaks of one column per pixel of the width it is shown at, in a
// new window as later, and again when the pane grows; it grows with the pane.
TEST_F(HamperBrowser, TheWaveformHasAColumnForEachPixelShown) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  CWaveformView* waveform = Find<CWaveformView>(window, "waveformView");
  ASSERT_TRUE(waveform->HasPeaks());
  EXPECT_EQ(waveform->Peaks().low.size(), waveform->ColumnsShown());
  EXPECT_EQ(waveform->ColumnsShown(), static_cast<std::uint32_t>(waveform->width() - 2));
  const QSize before = waveform->size();
  window.resize(window.width() + 150, window.height() + 100);
  QSignalSpy ready(waveform, &CWaveformView::PeaksReady);
  ASSERT_TRUE(ready.wait(5000));
  EXPECT_GT(waveform->width(), before.width());
  EXPECT_GT(waveform->height(), before.height());
  EXPECT_EQ(waveform->Peaks().low.size(), waveform->ColumnsShown());
}

TEST_F(HamperBrowser, ExtractsTheSelectedItemsAndAsksBeforeReplacing) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Drums"));
  const QModelIndex midi = window.Tree()->model()->index(0, 0, window.Tree()->model()->index(4, 0));
  window.Tree()->selectionModel()->select(midi, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(window.SelectedRecords().size(), 7u);

  const fs::path out = f / "out";
  f.dialogs.folders = {out.string()};
  window.ExtractSelected();
  ASSERT_TRUE(WaitForExtraction(window));
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), out).string());
  }
  EXPECT_EQ(files, (std::set<std::string>{"Drums/Clap.aif", "Drums/Hat Closed.aif", "Drums/Hat Open.aif",
                                          "Drums/Kick.wav", "Drums/Snare.wav", "Drums/Tom Low.wav",
                                          "MIDI/Harbor Groove.mid"}));
  EXPECT_EQ(test::ReadFileBytes(out / "MIDI/Harbor Groove.mid"), test::ReadFileBytes(kDemo / "MIDI/Harbor Groove.mid"));
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(),
            QString("7 written to %1, 0 kept as they were, 0 failed.").arg(QString::fromStdString(out.string())));

  // Again into the same folder: the files there are kept on No, replaced on Yes.
  test::WriteFileText(out / "Drums/Kick.wav", "mine");
  f.alerts.answers[browsertext::kReplaceExtractedAlert] = NSFerryman::kAlertButton2;
  f.dialogs.folders = {out.string()};
  window.ExtractSelected();
  ASSERT_TRUE(WaitForExtraction(window));
  ASSERT_FALSE(f.alerts.shown.empty());
  EXPECT_EQ(f.alerts.shown.back().id, browsertext::kReplaceExtractedAlert);
  EXPECT_EQ(f.alerts.shown.back().message, "7 of the files to extract are there already in '" + out.string() + "'. Replace them?");
  EXPECT_EQ(test::ReadFileBytes(out / "Drums/Kick.wav"), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(),
            QString("0 written to %1, 7 kept as they were, 0 failed.").arg(QString::fromStdString(out.string())));
  f.alerts.answers[browsertext::kReplaceExtractedAlert] = NSFerryman::kAlertButton1;
  f.dialogs.folders = {out.string()};
  window.ExtractSelected();
  ASSERT_TRUE(WaitForExtraction(window));
  EXPECT_GT(test::ReadFileBytes(out / "Drums/Kick.wav").size(), 1000u);
  EXPECT_EQ(f.alerts.shown.back().id, browsertext::kReplaceExtractedAlert) << f.alerts.shown.back().message;

  // Dragged out of the tree, an item is a file extracted the same way.
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  CHamperTreeModel& model = window.Model();
  const QModelIndex kick = model.IndexOf(window.Contents().Tree().NodeOfRecord(5));
  std::unique_ptr<QMimeData> dragged(model.mimeData({kick}));
  ASSERT_TRUE(dragged);
  ASSERT_EQ(dragged->urls().size(), 1);
  const fs::path file = dragged->urls().front().toLocalFile().toStdString();
  EXPECT_EQ(file.filename(), "Kick.wav");
  EXPECT_EQ(test::ReadFileBytes(file), test::ReadFileBytes(out / "Drums/Kick.wav"));
}

// Extract All gives back the folder the Hamper was packed from, description files included, as
// `hamper extract` does; and asks about them with the items when they are there already.
TEST_F(HamperBrowser, ExtractAllWritesTheDescriptionToo) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  const fs::path out = f / "all";
  f.dialogs.folders = {out.string()};
  window.ExtractAll();
  ASSERT_TRUE(WaitForExtraction(window));
  const fs::path byCommand = f / "by-command";
  ASSERT_EQ(packedtest::Hamper("extract " + packedtest::Q(DemoHamper()) + " " + packedtest::Q(byCommand), out.parent_path()).code, 0);
  const auto files = FilesBelow(out);
  EXPECT_TRUE(files.contains("INFO.TXT"));
  EXPECT_TRUE(files == FilesBelow(byCommand));

  f.alerts.answers[browsertext::kReplaceExtractedAlert] = NSFerryman::kAlertButton2;
  f.dialogs.folders = {out.string()};
  window.ExtractAll();
  ASSERT_TRUE(WaitForExtraction(window));
  ASSERT_FALSE(f.alerts.shown.empty());
  EXPECT_EQ(f.alerts.shown.back().message, "21 of the files to extract are there already in '" + out.string() + "'. Replace them?");
}

TEST_F(HamperBrowser, VerifyMarksTheDamagedItemWithItsReason) {
  packedtest::Bytes bytes = test::ReadFileBytes(DemoHamper());
  const packedtest::CRecordPlace snare = packedtest::Find(bytes, "Drums:Snare.wav");
  // The middle of its stream, garbled.
  for (std::size_t i = 0; i < 64; ++i) bytes[snare.item + snare.entry.GetSize() / 2 + i] ^= 0x5A;
  test::WriteFileBytes(f / "Damaged.hmp", bytes);

  CHamperBrowserWindow& window = Open(f / "Damaged.hmp");
  EXPECT_EQ(window.Contents().Problems(), std::vector<std::string>{});
  Find<QPushButton>(window, "verifyButton")->click();
  EXPECT_TRUE(window.IsVerifying());
  EXPECT_TRUE(Find<QPushButton>(window, "stopButton")->isVisibleTo(&window));
  ASSERT_TRUE(WaitForVerification(window));
  EXPECT_FALSE(window.IsVerifying());

  const std::size_t record = 6;
  ASSERT_EQ(window.Contents().Index().Path(record), "Drums:Snare.wav");
  const std::string reason = window.Model().FailureOf(record);
  EXPECT_FALSE(reason.empty());
  const QModelIndex row = window.Model().IndexOf(window.Contents().Tree().NodeOfRecord(record));
  EXPECT_EQ(row.data(Qt::ToolTipRole).toString().toStdString(), reason);
  EXPECT_EQ(row.data(Qt::ForegroundRole).value<QColor>(), PaletteColour(QApplication::palette(), EMarkColour::kFailure));
  EXPECT_EQ(window.Model().IndexOf(window.Contents().Tree().Node(window.Contents().Tree().NodeOfRecord(record)).parent)
                .data(Qt::ToolTipRole)
                .toString(),
            "1 item below failed");
  EXPECT_TRUE(window.Model().FailureOf(5).empty());
  const QString status = Find<QLabel>(window, "statusLine")->text();
  EXPECT_TRUE(status.startsWith("1 of 20 items failed; the first: Drums:Snare.wav: ")) << status.toStdString();

  // The sound Hamper passes, also against its sources.
  CHamperBrowserWindow& sound = Open(DemoHamper());
  f.dialogs.folders = {kDemo.string()};
  Find<QPushButton>(sound, "verifySourceButton")->click();
  ASSERT_TRUE(WaitForVerification(sound));
  EXPECT_EQ(Find<QLabel>(sound, "statusLine")->text().toStdString(),
            "All 20 items are sound and match their sources in " + kDemo.string() + ".");
}

// A Path that extract will not write is a finding of Verify, from the same rule.
TEST_F(HamperBrowser, VerifyMarksAPathThatExtractWillNotWrite) {
  hampertest::FakeTree tree;
  tree.Add(hampertest::FakeEntry::File("ok.pad", 14, {1}));
  tree.Add(hampertest::FakeEntry::File("..:up.pad", 14, {2}));
  packedtest::WriteTree(f / "Climbing.hmp", tree);
  CHamperBrowserWindow& window = Open(f / "Climbing.hmp");
  Find<QPushButton>(window, "verifyButton")->click();
  ASSERT_TRUE(WaitForVerification(window));
  EXPECT_TRUE(window.Model().FailureOf(0).empty());
  EXPECT_EQ(window.Model().FailureOf(1), "not extractable: the path has the name \"..\" in it");
}

TEST_F(HamperBrowser, DamagedHampersOpenAsFarAsTheyReadAndSaySo) {
  const packedtest::Bytes good = test::ReadFileBytes(DemoHamper());
  test::WriteFileBytes(f / "Cut.hmp", packedtest::Bytes(good.begin(), good.end() - 3000));
  CHamperBrowserWindow& cut = Open(f / "Cut.hmp");
  const QLabel* problem = Find<QLabel>(cut, "problemLine");
  EXPECT_TRUE(problem->isVisibleTo(&cut));
  EXPECT_TRUE(problem->text().contains("lie outside the file")) << problem->text().toStdString();
  EXPECT_EQ(Rows(cut).size(), 7u);
  const std::size_t last = cut.Contents().Index().Size() - 1;
  EXPECT_FALSE(cut.Model().FailureOf(last).empty());
  ASSERT_TRUE(cut.Select("Songs:Night Shift.tps"));
  EXPECT_TRUE(Find<QLabel>(cut, "otherFacts")->text().contains("outside the file"));
  // Its header fails: the verification says so and stops there.
  cut.StartVerification();
  ASSERT_TRUE(WaitForVerification(cut));
  EXPECT_TRUE(Find<QLabel>(cut, "statusLine")->text().startsWith("Verification failed: "));

  // Not a Hamper at all, or no file: an alert that says why, and no empty window.
  test::WriteFileText(f / "Text.hmp", "not a Hamper at all");
  const std::size_t windows = f.Packer().HamperWindows().size();
  for (const fs::path& file : {f / "Text.hmp", f / "Missing.hmp"}) {
    EXPECT_FALSE(f.Packer().OpenHamper(file.string()));
    ASSERT_FALSE(f.alerts.shown.empty());
    EXPECT_EQ(f.alerts.shown.back().id, browsertext::kNotAHamperAlert);
    EXPECT_EQ(f.alerts.shown.back().message, "The file '" + file.string() + "' cannot be opened as a Hamper.");
    EXPECT_FALSE(f.alerts.shown.back().details.empty());
  }
  EXPECT_EQ(f.Packer().HamperWindows().size(), windows);
}

// An index of more records than a window shows (here empty records, a few bytes of a sparse
// file each) is not read on: the window says so and shows nothing, at a bounded cost.
TEST_F(HamperBrowser, AnIndexOfMoreRecordsThanAWindowShowsIsRefused) {
  const std::uint32_t records = CHamperContents::kMostRecordsShown + 1;
  packedtest::WriteTree(f / "Many.hmp", hampertest::FakeTree(), "Many");
  packedtest::Bytes bytes = test::ReadFileBytes(f / "Many.hmp");
  // The description record: four strings ("Many" and three empty ones), then the numbers.
  const std::size_t numbers = 264 + 4 + 4 + 3 * 4;
  const auto indexOffset = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t size = indexOffset + records * 14;
  packedtest::PutU32BE(bytes, numbers, records);
  packedtest::PutU32BE(bytes, numbers + 4, indexOffset);
  packedtest::PutU32BE(bytes, numbers + 8, size);
  packedtest::PutU32BE(bytes, 4, size);
  test::WriteFileBytes(f / "Many.hmp", bytes);
  fs::resize_file(f / "Many.hmp", size);

  CHamperBrowserWindow& many = Open(f / "Many.hmp");
  const QLabel* problem = Find<QLabel>(many, "problemLine");
  EXPECT_TRUE(problem->text().contains("more than 1000000 records")) << problem->text().toStdString();
  EXPECT_EQ(Rows(many).size(), 0u);
  EXPECT_FALSE(Find<QPushButton>(many, "extractAllButton")->isEnabled());
}

}  // namespace
