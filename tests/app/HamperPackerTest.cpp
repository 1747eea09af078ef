// The application object: start-up behind the splash, the menus of the menu resource, the about
// dialog and the web pages.

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include "app/AboutDialog.h"
#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/CreateWindow.h"
#include "app/HamperPacker.h"
#include "app/SplashScreen.h"
#include "references/Database.h"

namespace {

using apptest::CPackerFixture;

int VisibleAboutDialogs() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<CAboutDialog*>(widget) && widget->isVisible()) ++count;
  }
  return count;
}

TEST(HamperPackerTest, StartsBehindTheSplashForItsMinimumTimeAndShutsDown) {
  apptest::CScriptedAlerts alerts;
  CHamperPackerOptions options;
  options.minimumSplashTime = std::chrono::milliseconds(300);
  CHamperPackerServices services;
  services.alerts = &alerts;
  CHamperPacker packer(options, services);
  bool splashShownWhileWaiting = false;
  QTimer::singleShot(100, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      splashShownWhileWaiting = splashShownWhileWaiting || (qobject_cast<CSplashScreen*>(widget) && widget->isVisible());
    }
  });
  QElapsedTimer took;
  took.start();
  packer.Initialise();
  EXPECT_GE(took.elapsed(), 300);
  EXPECT_TRUE(splashShownWhileWaiting);
  EXPECT_EQ(GetDatabase(), packer.Database());
  ASSERT_TRUE(packer.Database());

  packer.CreateMainWindow();
  std::vector<QString> titles;
  for (const QAction* menu : packer.Window()->menuBar()->actions()) titles.push_back(menu->text());
  // Each menu with its mnemonic: Alt and the letter open it.
  EXPECT_EQ(titles, (std::vector<QString>{"&File", "&Hamper", "H&elp"}));
  EXPECT_EQ(packer.Menus()->Action(command::kQuit)->shortcut(), QKeySequence("Ctrl+Q"));
  EXPECT_EQ(packer.Menus()->Action(command::kSelectOutputFile)->text(), "S&elect Output Folder...");

  packer.ShutDown();
  EXPECT_EQ(GetDatabase(), nullptr);
  EXPECT_EQ(packer.Window(), nullptr);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST(HamperPackerTest, AboutChosenTwiceGivesOneDialog) {
  CPackerFixture f;
  f.Packer().DoCommand(command::kAbout);
  f.Packer().DoCommand(command::kAbout);
  EXPECT_EQ(VisibleAboutDialogs(), 1);
  CAboutDialog* about = f.Packer().AboutDialog();
  ASSERT_TRUE(about);
  EXPECT_EQ(about->windowTitle(), "About Hamper packer...");
  EXPECT_TRUE(about->findChild<QLabel*>("aboutVersion")->text() == "Application version: 9.8.7");

  // Closed, it goes; the next About makes a new one.
  about->close();
  CPackerFixture::Settle();
  EXPECT_EQ(f.Packer().AboutDialog(), nullptr);
  f.Packer().DoCommand(command::kAbout);
  EXPECT_EQ(VisibleAboutDialogs(), 1);
}

TEST(HamperPackerTest, WebItemsNeedABrowserAndSayWhenAPageCannotBeOpened) {
  {
    CPackerFixture f([] { return false; });
    EXPECT_FALSE(f.Packer().Menus()->Action(command::kHomePage)->isEnabled());
    EXPECT_FALSE(f.Packer().Menus()->Action(command::kSupportPage)->isEnabled());
    EXPECT_TRUE(f.Packer().Menus()->Action(command::kAbout)->isEnabled());
  }
  std::vector<std::string> opened;
  bool opens = true;
  CPackerFixture f([] { return true; }, [&](const std::string& address) {
    opened.push_back(address);
    return opens;
  });
  EXPECT_TRUE(f.Packer().Menus()->Action(command::kHomePage)->isEnabled());
  f.Packer().Menus()->Action(command::kHomePage)->trigger();
  EXPECT_EQ(opened, (std::vector<std::string>{"https://www.harborlantern.example/"}));
  EXPECT_TRUE(f.alerts.shown.empty());

  opens = false;
  f.Packer().DoCommand(command::kSupportPage);
  ASSERT_EQ(f.alerts.Ids(), (std::vector<std::uint32_t>{apptext::kCannotOpenWebPageAlert}));
  EXPECT_EQ(f.alerts.shown[0].message,
            "The web page 'https://www.harborlantern.example/tessel/support/' could not be opened, please make sure "
            "the address has been entered correctly.");
}

}  // namespace
