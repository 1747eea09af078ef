// A browser window reads the Hamper it opened, whatever a pack or a copy does to its name, and
// says so above the tree: "The Hamper was changed on disk", with Reload.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <fcntl.h>
#include <unistd.h>

#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/HamperTreeModel.h"
#include "app/WaveformView.h"
#include "browse/HamperContents.h"

namespace {

using namespace browsertest;
using BrowserFile = BrowserTest;

// `hamper pack -f` of another folder to the name of an open Hamper: the window goes on showing,
// verifying, extracting and drawing the Hamper it opened, says that the name holds another, and
// Reload shows that one.
TEST_F(BrowserFile, APackOverAnOpenHamperLeavesTheWindowWithTheFileItOpened) {
  const fs::path hamper = f / "Kit.hmp";
  fs::copy_file(DemoHamper(), hamper);
  const fs::path old = f / "by-command";
  ASSERT_EQ(packedtest::Hamper("extract " + packedtest::Q(DemoHamper()) + " " + packedtest::Q(old), f / "").code, 0);
  CHamperBrowserWindow& window = Open(hamper);
  EXPECT_FALSE(window.ShowsChangedNotice());

  apptest::WriteContentFolder(f / "Other", apptest::CContent{"Other Kit"});
  const packedtest::CommandRun pack = packedtest::Hamper("pack -q -f -o " + packedtest::Q(hamper) + " " + packedtest::Q(f / "Other"), f / "");
  ASSERT_EQ(pack.code, 0) << pack.err;
  ASSERT_TRUE(WaitUntil([&] { return window.ShowsChangedNotice(); }));
  EXPECT_EQ(Find<QLabel>(window, "changedNoticeText")->text(), "The Hamper was changed on disk");
  EXPECT_TRUE(Find<QPushButton>(window, "reloadButton")->isVisibleTo(&window));
  EXPECT_EQ(window.Contents().Description().GetName(), "Harbor Drums");

  // Verify, Extract and the waveform: all of the file shown, none of the new one.
  window.StartVerification();
  ASSERT_TRUE(WaitForVerification(window));
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(), "All 20 items are sound.");
  f.dialogs.folders = {(f / "all").string()};
  window.ExtractAll();
  ASSERT_TRUE(WaitForExtraction(window));
  EXPECT_TRUE(FilesBelow(f / "all") == FilesBelow(old));
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  EXPECT_TRUE(Find<CWaveformView>(window, "waveformView")->HasPeaks());

  Find<QPushButton>(window, "reloadButton")->click();
  EXPECT_FALSE(window.ShowsChangedNotice());
  EXPECT_EQ(window.Contents().Description().GetName(), "Other Kit");
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Splash.jpg", "Samples", "Songs"}));
  window.StartVerification();
  ASSERT_TRUE(WaitForVerification(window));
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(),
            QString("All %1 items are sound.").arg(window.Contents().Index().Size()));
}

// A copy over the file itself (cp writes in place): what the window read no longer stands for the
// bytes, so nothing more is read until Reload; a file removed leaves the window whole.
TEST_F(BrowserFile, AFileWrittenInPlaceIsReadNoMoreAndARemovedOneStaysWhole) {
  const fs::path hamper = f / "Kit.hmp";
  fs::copy_file(DemoHamper(), hamper);
  CHamperBrowserWindow& window = Open(hamper);
  const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'H', 'a', 'm', 'p', 'e', 'r'};
  const int fd = ::open(hamper.c_str(), O_WRONLY | O_TRUNC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
  ASSERT_TRUE(WaitUntil([&] { return window.ShowsChangedNotice(); }));

  const std::size_t dialogs = f.dialogs.asked.size();
  window.ExtractAll();
  window.StartVerification();
  EXPECT_FALSE(window.IsVerifying() || window.IsExtracting());
  EXPECT_EQ(f.dialogs.asked.size(), dialogs);
  EXPECT_EQ(Find<QLabel>(window, "statusLine")->text(), "The Hamper was changed on disk: Reload to see what it holds now.");
  // Reload of what is no Hamper now: an alert, and the window keeps what it shows.
  window.Reload();
  EXPECT_EQ(f.alerts.shown.back().id, browsertext::kNotAHamperAlert);
  EXPECT_EQ(window.Contents().Description().GetName(), "Harbor Drums");

  const fs::path second = f / "Second.hmp";
  fs::copy_file(DemoHamper(), second);
  CHamperBrowserWindow& removed = Open(second);
  fs::remove(second);
  ASSERT_TRUE(WaitUntil([&] { return removed.ShowsChangedNotice(); }));
  removed.StartVerification();
  ASSERT_TRUE(WaitForVerification(removed));
  EXPECT_EQ(Find<QLabel>(removed, "statusLine")->text(), "All 20 items are sound.");
}

}  // namespace
