// Pack jobs run from the window, with the application around it: what the window, its button and
// the menus show while a job runs, and every way to stop one.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/BorderTransparentStaticTextView.h"
#include "app/CreateWindow.h"
#include "framework/resources/ResourceId.h"
#include "pack/JobTexts.h"
#include "platform/Clock.h"

namespace {

using apptest::CPackerFixture;
using apptest::CWhileRunning;
using NSFerryman::AlertId;
using NSFerryman::kAlertButton1;
using NSFerryman::kAlertButton2;

constexpr std::uint32_t kAllCommands[] = {command::kQuit,
                                          command::kSelectInputFolder,
                                          command::kSelectOutputFile,
                                          command::kCreateHamper,
                                          command::kWarnForExternalReferences,
                                          command::kAbout,
                                          command::kHomePage,
                                          command::kSupportPage};

QString ValueOf(CCreateWindow& window, const char* name) {
  return window.findChild<CBorderTransparentStaticTextView*>(name)->Text();
}

// A window with a content folder and an output file chosen, ready to pack.
struct CReadyToPack : CPackerFixture {
  CReadyToPack() {
    apptest::WriteContentFolder(*this / "Content");
    Packer().OpenItem((*this / "Content").string());
    Window().SetOutputFile(NSFerryman::CFileSpec((*this / "Out" / "Test Kit.hmp").string()));
    std::filesystem::create_directories(*this / "Out");
  }
  std::filesystem::path Output() const { return *this / "Out" / "Test Kit.hmp"; }
  QPushButton* CreateButton() { return Window().findChild<QPushButton*>("createButton"); }
};

TEST(PackFromWindowTest, JobShowsItsProgressWithMenusDisabledAndEndsIdle) {
  CReadyToPack f;
  QPushButton* button = f.CreateButton();
  QProgressBar* bar = f.Window().findChild<QProgressBar*>("progressBar");
  // Twice: the second job replaces the first one's file and shows no label left from it.
  for (int job = 1; job <= 2; ++job) {
    SCOPED_TRACE(job);
    f.alerts.shown.clear();
    std::vector<QString> labels = {button->text()};
    bool sawBusy = false, menuEnabledWhileBusy = false, barHiddenWhileBusy = false;
    {
      CWhileRunning watch([&] {
        if (!f.Window().IsBusy()) return;
        sawBusy = true;
        if (button->isVisible() && button->text() != labels.back()) labels.push_back(button->text());
        barHiddenWhileBusy = barHiddenWhileBusy || !bar->isVisible();
        for (std::uint32_t command : kAllCommands) {
          menuEnabledWhileBusy = menuEnabledWhileBusy || f.Packer().Menus()->Action(command)->isEnabled();
        }
      });
      f.Packer().DoCommand(command::kCreateHamper);
    }
    labels.push_back(button->text());

    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(labels, (std::vector<QString>{"&Create Hamper...", "Stop", "Skip", "&Create Hamper..."}));
    EXPECT_FALSE(menuEnabledWhileBusy);
    EXPECT_FALSE(barHiddenWhileBusy);
    EXPECT_FALSE(bar->isVisible());
    for (std::uint32_t command : kAllCommands) {
      EXPECT_TRUE(f.Packer().Menus()->Action(command)->isEnabled()) << command;
    }
    EXPECT_EQ(f.alerts.Ids().back(), jobtext::kPackCompleteAlert);
    EXPECT_EQ(f.alerts.shown.back().message, "The Hamper file has been packed successfully! 4 files were added.");
    EXPECT_TRUE(std::filesystem::exists(f.Output()));
    EXPECT_EQ(ValueOf(f.Window(), "fileCountValue"), "4");
    EXPECT_EQ(ValueOf(f.Window(), "externalHampersValue"), "Drum Basics");
    EXPECT_EQ(ValueOf(f.Window(), "statusLine"), "");
  }
  EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{jobtext::kFileExistsAlert, jobtext::kPackCompleteAlert}));
}

TEST(PackFromWindowTest, StopsEndTheJobQuietlyAndLeaveNoOutput) {
  enum class EWay { kButton, kEscapeYes, kEscapeNo, kCtrlBreak, kCtrlBreakOnX11 };
  const struct {
    const char* name;
    EWay way;
    std::vector<std::uint32_t> alerts;
    bool completes;
  } cases[] = {
      {"the Stop button stops at once", EWay::kButton, {}, false},
      {"Escape answered Yes", EWay::kEscapeYes, {jobtext::kStopPackAlert}, false},
      {"Escape answered No goes on", EWay::kEscapeNo, {jobtext::kStopPackAlert, jobtext::kPackCompleteAlert}, true},
      {"Ctrl+Break stops without asking", EWay::kCtrlBreak, {}, false},
      {"Ctrl+Break as X11 delivers it", EWay::kCtrlBreakOnX11, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CReadyToPack f;
    if (c.way == EWay::kEscapeNo) f.alerts.answers[jobtext::kStopPackAlert] = kAlertButton2;
    bool done = false;
    {
      CWhileRunning stop([&] {
        // Once the job shows its Stop button, as a user would see it.
        if (done || !f.Window().IsBusy() || !f.CreateButton()->isVisible()) return;
        done = true;
        switch (c.way) {
          case EWay::kButton: QTest::mouseClick(f.CreateButton(), Qt::LeftButton); break;
          case EWay::kEscapeYes:
          case EWay::kEscapeNo: QTest::keyClick(&f.Window(), Qt::Key_Escape); break;
          case EWay::kCtrlBreak: QTest::keyClick(&f.Window(), Qt::Key_Pause, Qt::ControlModifier); break;
          case EWay::kCtrlBreakOnX11: {
            // Ctrl+Pause gives the keysym Break (0xff6b), for which Qt has no key: it reports 0.
            QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 110, 0xff6b, 0x4);
            QApplication::sendEvent(&f.Window(), &press);
            break;
          }
        }
      });
      f.Packer().DoCommand(command::kCreateHamper);
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(f.alerts.Ids(), c.alerts);
    EXPECT_EQ(std::filesystem::exists(f.Output()), c.completes);
    EXPECT_FALSE(f.Window().IsBusy());
    EXPECT_EQ(f.CreateButton()->text(), "&Create Hamper...");
    EXPECT_TRUE(f.Packer().Menus()->Action(command::kCreateHamper)->isEnabled());
  }
}

TEST(PackFromWindowTest, CloseIsRefusedWhileBusyAndAsksToStop) {
  CReadyToPack f;
  f.alerts.answers[jobtext::kStopPackAlert] = kAlertButton2;  // No: the job goes on
  std::optional<bool> closed;
  {
    CWhileRunning close([&] {
      if (!closed && f.Window().IsBusy()) closed = f.Window().close();
    });
    f.Packer().DoCommand(command::kCreateHamper);
  }
  ASSERT_TRUE(closed.has_value());
  EXPECT_FALSE(*closed);
  EXPECT_TRUE(f.Window().isVisible());
  EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{jobtext::kStopPackAlert, jobtext::kPackCompleteAlert}));
  EXPECT_TRUE(std::filesystem::exists(f.Output()));
  // Idle, the window closes.
  EXPECT_TRUE(f.Window().close());
}

TEST(PackFromWindowTest, CtrlBreakWhileIdleDoesNotEndTheNextJob) {
  CReadyToPack f;
  QTest::keyClick(&f.Window(), Qt::Key_Pause, Qt::ControlModifier);
  f.Packer().DoCommand(command::kCreateHamper);
  EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{jobtext::kPackCompleteAlert}));
  EXPECT_TRUE(std::filesystem::exists(f.Output()));
}

TEST(PackFromWindowTest, TheButtonPostsTheCommandAndBusyIgnoresCommandsQueuedBefore) {
  CReadyToPack f;
  // Two clicks before the first posted command runs: the second must not start a job inside
  // the first, nor stop it.
  QTest::mouseClick(f.CreateButton(), Qt::LeftButton);
  QTest::mouseClick(f.CreateButton(), Qt::LeftButton);
  EXPECT_TRUE(f.alerts.shown.empty());
  CPackerFixture::Settle();
  EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{jobtext::kPackCompleteAlert}));
}

TEST(PackFromWindowTest, MissingSelectionsAreAskedForAndCancelChangesNothing) {
  CPackerFixture f;
  apptest::WriteContentFolder(f / "Content");
  std::filesystem::create_directories(f / "Out");
  CFolderDialogState("HMID").Remember((f / "Start").string());
  CFolderDialogState("HMOD").Remember((f / "Out").string() + "/");

  // Cancelled folder dialog: nothing else happens.
  f.Packer().DoCommand(command::kCreateHamper);
  ASSERT_EQ(f.dialogs.asked.size(), 1u);
  EXPECT_EQ(f.dialogs.asked[0].title, "Select a  source folder");
  EXPECT_EQ(f.dialogs.asked[0].startFolder, (f / "Start").string());
  EXPECT_FALSE(f.Window().Job().GetInputFolder());

  // A folder, then a cancelled save dialog, which proposed the Name in the remembered folder.
  f.dialogs.folders.push_back((f / "Content").string());
  f.Packer().DoCommand(command::kCreateHamper);
  ASSERT_EQ(f.dialogs.asked.size(), 3u);
  EXPECT_EQ(f.dialogs.asked[2].title, "Select a destination folder");
  EXPECT_EQ(f.dialogs.asked[2].startFolder, (f / "Out").string() + "/");
  EXPECT_EQ(f.dialogs.asked[2].proposedName, "Test Kit.hmp");
  EXPECT_TRUE(f.Window().Job().GetInputFolder());
  EXPECT_FALSE(f.Window().Job().GetOutputFile());
  EXPECT_EQ(CFolderDialogState("HMID").GetFolder(), (f / "Content").string());
  EXPECT_TRUE(f.alerts.shown.empty());

  // Both chosen: the job runs, and the output's folder is remembered.
  const std::string output = (f / "Elsewhere" / "Kit.hmp").string();
  std::filesystem::create_directories(f / "Elsewhere");
  f.dialogs.saveFiles.push_back(output);
  f.Packer().DoCommand(command::kCreateHamper);
  EXPECT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{jobtext::kPackCompleteAlert}));
  EXPECT_TRUE(std::filesystem::exists(output));
  EXPECT_EQ(CFolderDialogState("HMOD").GetFolder(), (f / "Elsewhere").string() + "/");
}

TEST(PackFromWindowTest, AnyOtherFailureIsShownOnceAndTheWindowIsIdleAgain) {
  CReadyToPack f;
  // A folder the output cannot be written in.
  f.Window().SetOutputFile(NSFerryman::CFileSpec((f / "Missing" / "Kit.hmp").string()));
  f.Packer().DoCommand(command::kCreateHamper);
  ASSERT_EQ(f.alerts.shown.size(), 1u);
  EXPECT_EQ(NSFerryman::DecodeResourceId(f.alerts.shown[0].id).resource, NSFerryman::kFrameworkResources);
  EXPECT_FALSE(f.Window().IsBusy());
  EXPECT_TRUE(f.Packer().Menus()->Action(command::kCreateHamper)->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(f / "Missing"));
}

}  // namespace

namespace {

// A pack that has run long, ending while the user works in another window: the notification comes
// before "Pack complete", which waits for an answer; and with the window active, none comes.
TEST(PackFromWindowTest, ALongPackTellsAUserElsewhereBeforeItsAlertWaits) {
  for (const bool elsewhere : {true, false}) {
    SCOPED_TRACE(elsewhere ? "working elsewhere" : "watching the pack");
    CReadyToPack f;
    QWidget other;
    other.show();
    QApplication::setActiveWindow(elsewhere ? &other : static_cast<QWidget*>(&f.Window()));
    // An hour passes as soon as the job runs.
    std::uint64_t offset = 0;
    f.Window().Job().Progress().SetClock([&offset] { return platform::MillisecondsNow() + offset; });
    std::size_t notifiedBeforeAlert = 0;
    f.alerts.onAlert = [&](const NSFerryman::CAlert& alert) {
      if (alert.id == jobtext::kPackCompleteAlert) notifiedBeforeAlert = f.notifications.size();
    };
    {
      CWhileRunning later([&] {
        if (f.Window().IsBusy()) offset = 60 * 60 * 1000;
      });
      f.Packer().DoCommand(command::kCreateHamper);
    }
    ASSERT_EQ(f.alerts.Ids().back(), jobtext::kPackCompleteAlert);
    if (!elsewhere) {
      EXPECT_TRUE(f.notifications.empty());
      continue;
    }
    EXPECT_EQ(notifiedBeforeAlert, 1u);
    ASSERT_EQ(f.notifications.size(), 1u);
    EXPECT_EQ(f.notifications[0].first, "The pack of \"Test Kit\" has ended.");
    EXPECT_TRUE(f.notifications[0].second.startsWith("The Hamper file has been packed successfully!"))
        << f.notifications[0].second.toStdString();
  }
}

}  // namespace
