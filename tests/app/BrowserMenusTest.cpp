// The browser's menus and keys: every command in the menu bar with its key and no key twice,
// Return and the items' context menu (Play, Extract..., Copy Path, Properties) by what they do,
// Open Recent, and Properties of the Hamper against `hamper info`.

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QShortcut>
#include <QTest>
#include <QTreeView>
#include <set>

#include "app/BrowserMenus.h"
#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/LocaleFormat.h"
#include "app/PropertiesDialog.h"
#include "browse/HamperContents.h"
#include "browse/HamperSummary.h"
#include "browse/ItemKind.h"
#include "cli/PackedContent.h"

namespace {

namespace fs = std::filesystem;
using namespace browsertest;
using BrowserMenus = BrowserTest;

QString Plain(QString text) { return text.remove('&'); }

std::vector<QString> Labels(const QMenu& menu) {
  std::vector<QString> labels;
  for (const QAction* action : menu.actions()) labels.push_back(Plain(action->text()));
  return labels;
}

CPropertiesDialog* ShownProperties(const CHamperBrowserWindow& window) {
  const QList<CPropertiesDialog*> dialogs = window.findChildren<CPropertiesDialog*>();
  return dialogs.isEmpty() ? nullptr : dialogs.back();
}

TEST_F(BrowserMenus, TheMenuBarHoldsEveryCommandWithItsKeyAndNoKeyTwice) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  std::vector<QString> titles;
  for (const QAction* menu : window.menuBar()->actions()) titles.push_back(Plain(menu->text()));
  EXPECT_EQ(titles, (std::vector<QString>{"File", "Edit", "View", "Item"}));
  const QList<QAction*> menus = window.menuBar()->actions();
  EXPECT_EQ(Labels(*menus[0]->menu()), (std::vector<QString>{"Open...", "Open Recent", "", "Extract Selected...",
                                                             "Extract All...", "", "Packer Window", "", "Close", "Quit"}));
  EXPECT_EQ(Labels(*menus[1]->menu()), (std::vector<QString>{"Find", "Copy Path"}));
  EXPECT_EQ(Labels(*menus[2]->menu()), (std::vector<QString>{"Show Hidden Items", "Failures Only"}));
  EXPECT_EQ(Labels(*menus[3]->menu()), (std::vector<QString>{"Play\tSpace", "Verify", "Verify Against Source...", "",
                                                             "Properties"}));
  const std::pair<std::uint32_t, QKeySequence> keys[] = {
      {command::kOpenHamper, QKeySequence("Ctrl+O")},      {command::kCloseWindow, QKeySequence("Ctrl+W")},
      {command::kExtractSelected, QKeySequence("Ctrl+E")}, {command::kFind, QKeySequence("Ctrl+F")},
      {command::kVerify, QKeySequence(Qt::Key_F5)},         {command::kProperties, QKeySequence("Alt+Return")},
  };
  for (const auto& [command, key] : keys) EXPECT_EQ(window.Menus().Action(command)->shortcut(), key) << command;

  // Qt takes a key from both actions that have it.
  std::multiset<QKeySequence> all;
  for (const QAction* menu : menus) {
    for (const QAction* action : menu->menu()->actions()) {
      for (const QKeySequence& key : action->shortcuts()) all.insert(key);
    }
  }
  for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) all.insert(shortcut->key());
  for (const QKeySequence& key : all) EXPECT_EQ(all.count(key), 1u) << key.toString().toStdString();

  // Show Hidden Items is the checkbox's state.
  QAction* hidden = window.Menus().Action(command::kShowHiddenItems);
  EXPECT_TRUE(hidden->isChecked());
  hidden->trigger();
  EXPECT_FALSE(hidden->isChecked());
  EXPECT_EQ(Rows(window).size(), 6u);
  window.SetShowHidden(true);
  EXPECT_TRUE(hidden->isChecked());

  // Find goes to the filter box; Close closes the window.
  window.Menus().Action(command::kFind)->trigger();
  EXPECT_TRUE(Find<QLineEdit>(window, "filterEdit")->hasFocus() || !window.isActiveWindow());
  window.Menus().Action(command::kCloseWindow)->trigger();
  f.Settle();
  EXPECT_TRUE(f.Packer().HamperWindows().empty());
}

TEST_F(BrowserMenus, ReturnPlaysASampleShowsAPictureAndOpensAFolder) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  QLabel* status = Find<QLabel>(window, "statusLine");
  ASSERT_TRUE(window.Select("Drums"));
  const QModelIndex drums = window.Tree()->currentIndex();
  const bool expanded = window.Tree()->isExpanded(drums);
  QTest::keyClick(window.Tree(), Qt::Key_Return);
  EXPECT_NE(window.Tree()->isExpanded(drums), expanded);
  QTest::keyClick(window.Tree(), Qt::Key_Return);
  EXPECT_EQ(window.Tree()->isExpanded(drums), expanded);

  // Without an audio device, playing says why.
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  status->clear();
  QTest::keyClick(window.Tree(), Qt::Key_Return);
  EXPECT_EQ(status->text(), kNoDevice);
  status->clear();
  emit window.Tree()->doubleClicked(window.Tree()->currentIndex());
  EXPECT_EQ(status->text(), kNoDevice);

  ASSERT_TRUE(window.Select("Art:Cover.tif"));
  QTest::keyClick(window.Tree(), Qt::Key_Return);
  EXPECT_FALSE(Find<QLabel>(window, "pictureView")->pixmap().isNull());
}

TEST_F(BrowserMenus, TheContextMenuPlaysExtractsCopiesThePathAndShowsProperties) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  QMenu* context = window.Menus().ContextMenu();
  EXPECT_EQ(Labels(*context), (std::vector<QString>{"Play", "Extract...", "Copy Path", "", "Properties"}));
  // A right-click on a row opens it.
  QTreeView* tree = window.Tree();
  emit tree->customContextMenuRequested(tree->visualRect(tree->currentIndex()).center());
  EXPECT_TRUE(context->isVisible());
  context->hide();

  QLabel* status = Find<QLabel>(window, "statusLine");
  status->clear();
  window.Menus().ContextAction(command::kPlay)->trigger();
  EXPECT_EQ(status->text(), kNoDevice);

  QGuiApplication::clipboard()->clear();
  window.Menus().ContextAction(command::kCopyPath)->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Drums:Kick.wav");

  const fs::path out = f / "out";
  f.dialogs.folders = {out.string()};
  window.Menus().ContextAction(command::kExtractSelected)->trigger();
  ASSERT_TRUE(WaitForExtraction(window));
  EXPECT_EQ(test::ReadFileBytes(out / "Drums/Kick.wav"), test::ReadFileBytes(kDemo / "Drums/Kick.wav"));

  window.Menus().ContextAction(command::kProperties)->trigger();
  const CPropertiesDialog* properties = ShownProperties(window);
  ASSERT_TRUE(properties);
  EXPECT_TRUE(properties->isVisible());
  EXPECT_EQ(properties->windowTitle(), "Properties of Kick.wav");
  EXPECT_EQ(properties->Value("Path"), "Drums:Kick.wav");
  EXPECT_EQ(properties->Value("Kind"), "Sample");
  const std::uint32_t bytes = window.Contents().Index().ItemSize(window.SelectedRecords().front());
  EXPECT_EQ(properties->Value("Size"), SizeText(bytes) + " (" + CountText(bytes) + " bytes)");
  EXPECT_TRUE(properties->Value("As 16-bit PCM").contains(", stored at ")) << properties->Value("As 16-bit PCM").toStdString();
  EXPECT_FALSE(properties->Value("Rate").isEmpty());
}

TEST_F(BrowserMenus, PropertiesOfTheHamperShowTheFiguresOfHamperInfo) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  window.Tree()->clearSelection();
  window.Menus().Action(command::kProperties)->trigger();
  const CPropertiesDialog* properties = ShownProperties(window);
  ASSERT_TRUE(properties);
  EXPECT_EQ(properties->Value("File"), QString::fromStdString(DemoHamper().string()));
  EXPECT_EQ(properties->Value("Name"), "Harbor Drums");

  fs::create_directories(f / "scratch");
  const packedtest::CommandRun info = packedtest::Hamper("info --json " + packedtest::Q(DemoHamper()), f / "scratch");
  ASSERT_EQ(info.code, 0) << info.err;
  const auto number = [&](const std::string& name, std::size_t from = 0) {
    const std::size_t at = info.out.find("\"" + name + "\": ", from);
    EXPECT_NE(at, std::string::npos) << name;
    return std::stoull(info.out.substr(at + name.size() + 4));
  };
  EXPECT_EQ(properties->Value("File size"), SizeWithBytesText(number("fileSize")));
  EXPECT_EQ(properties->Value("Items"), CountText(number("items")) + " items (" + CountText(number("hiddenItems")) +
                                            " hidden), " + SizeWithBytesText(number("itemBytes")));
  // Each kind, as `hamper info` counts it.
  std::size_t kinds = 0;
  for (std::size_t at = info.out.find("\"itemType\": "); at != std::string::npos; at = info.out.find("\"itemType\": ", at + 1)) {
    const int type = static_cast<int>(std::stoul(info.out.substr(at + 12)));
    const std::uint64_t items = number("items", at);
    EXPECT_EQ(properties->Value(QString::fromUtf8(ItemKindName(type).data())),
              (items == 1 ? QString("1 item") : CountText(items) + " items") + ", " + SizeWithBytesText(number("bytes", at)))
        << type;
    ++kinds;
  }
  EXPECT_GT(kinds, 3u);
  const std::uint64_t stored = number("storedBytes");
  const std::uint64_t pcm = number("pcmBytes");
  const QString audio = properties->Value("Audio");
  EXPECT_TRUE(audio.startsWith(CountText(number("samples")) + " samples, ")) << audio.toStdString();
  EXPECT_TRUE(audio.contains(SizeWithBytesText(stored) + " stored for " + SizeWithBytesText(pcm))) << audio.toStdString();
  // The ratio as the text of `hamper info` prints it.
  const packedtest::CommandRun text = packedtest::Hamper("info " + packedtest::Q(DemoHamper()), f / "scratch");
  const std::size_t open = text.out.rfind('(');
  const std::string percent = text.out.substr(open + 1, text.out.find(')', open) - open - 1);
  EXPECT_TRUE(audio.endsWith("(" + QString::fromStdString(percent) + ")")) << audio.toStdString() << " / " << percent;
  EXPECT_TRUE(Find<QLabel>(window, "audioRatio")->text().endsWith("(" + QString::fromStdString(percent) + ")"));
}

TEST_F(BrowserMenus, OpenRecentRemembersTheLastEightHampersMostRecentFirstAcrossARestart) {
  std::vector<std::string> hampers;
  for (int i = 1; i <= 9; ++i) {
    const fs::path copy = f / ("Hamper " + std::to_string(i) + ".hmp");
    fs::copy_file(DemoHamper(), copy);
    hampers.push_back(copy.string());
    Open(copy);
  }
  Open(hampers[2]);  // again: first once more
  std::vector<QString> expected;
  for (const int i : {2, 8, 7, 6, 5, 4, 3, 1}) expected.push_back(QString::fromStdString(hampers[static_cast<std::size_t>(i)]));
  const auto listed = [](const CBrowserMenus& menus) {
    std::vector<QString> paths;
    for (const QAction* action : menus.RecentMenu()->actions()) {
      if (!action->isSeparator() && action->text().startsWith('&') && action->text()[1].isDigit()) {
        paths.push_back(action->text().mid(action->text().indexOf(' ') + 1));
      }
    }
    return paths;
  };
  CHamperBrowserWindow& window = *f.Packer().HamperWindows().front();
  window.Menus().FillRecentMenu();
  EXPECT_EQ(listed(window.Menus()), expected);

  // Chosen: a window of its own.
  const std::size_t windows = f.Packer().HamperWindows().size();
  window.Menus().RecentMenu()->actions()[1]->trigger();
  f.Settle();
  ASSERT_EQ(f.Packer().HamperWindows().size(), windows + 1);
  EXPECT_EQ(f.Packer().HamperWindows().back()->Contents().Path(), hampers[8]);

  // The list lives in the settings: a program started afresh lists it too.
  QSettings().sync();
  QMainWindow fresh;
  const ::CBrowserMenus restarted(fresh, [](std::uint32_t) {}, [](const std::string&) {});
  std::vector<QString> after = expected;
  std::rotate(after.begin(), after.begin() + 1, after.begin() + 2);
  EXPECT_EQ(listed(restarted), after);
}

}  // namespace
