// Where windows open: inside the screen's available area whatever its size, and, for Hampers
// opened from a file manager, the browser alone, at once.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QScreen>

#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/CreateWindow.h"
#include "app/ReportWindow.h"

namespace {

using namespace browsertest;

// The offscreen screen is 800 x 600: smaller than what the browser would like.
TEST(WindowPlacementTest, EveryWindowOpensInsideTheScreensAvailableArea) {
  apptest::CPackerFixture f;
  apptest::WriteContentFolder(f / "Kit");
  f.Packer().OpenItem((f / "Kit").string());
  f.Packer().DoCommand(command::kCheckFolder);
  f.Packer().OpenHamper(DemoHamper().string());
  std::vector<QWidget*> windows = {&f.Window(), f.Window().ReportWindow(), f.Packer().HamperWindows().front()};
  for (QWidget* window : windows) {
    ASSERT_TRUE(window && window->isVisible());
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry())) << window->objectName().toStdString() << " at "
                                                        << window->frameGeometry().x() << "," << window->frameGeometry().y()
                                                        << " " << window->frameGeometry().width() << "x"
                                                        << window->frameGeometry().height();
  }
}

// Hampers named alone: no splash and no wait, no packer window until the browser's File menu
// asks for it.
TEST(WindowPlacementTest, HampersOpenWithoutTheSplashOrThePackerWindow) {
  apptest::CScriptedAlerts alerts;
  apptest::CScriptedDialogs dialogs;
  CHamperPackerOptions options;
  options.slcLibrary = HAMPER_SLC_LIBRARY_FILE;
  options.showSplash = false;  // the minimum time stays as it is: it is not waited for
  CHamperPackerServices services;
  services.alerts = &alerts;
  services.dialogs = &dialogs;
  services.audioAvailability = [] { return kNoDevice; };
  CHamperPacker packer(options, services);
  QElapsedTimer started;
  started.start();
  packer.Initialise();
  EXPECT_LT(started.elapsed(), 1500);
  ASSERT_TRUE(packer.OpenHamper(DemoHamper().string()));
  EXPECT_EQ(packer.Window(), nullptr);
  int shown = 0;
  for (const QWidget* window : QApplication::topLevelWidgets()) shown += window->isVisible() ? 1 : 0;
  EXPECT_EQ(shown, 1);

  emit packer.HamperWindows().front()->CommandPosted(command::kPackerWindow);
  apptest::CPackerFixture::Settle();
  ASSERT_TRUE(packer.Window());
  EXPECT_TRUE(packer.Window()->isVisible());
}

}  // namespace
