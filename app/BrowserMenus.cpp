#include "app/BrowserMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/AppTexts.h"
#include "app/BrowserTexts.h"
#include "app/MenuCommands.h"
#include "app/Mnemonics.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

namespace {

// The letters of the mnemonics a menu's items have taken.
QString TakenMnemonics(const QMenu& menu) {
  QString taken;
  for (const QAction* action : menu.actions()) {
    const qsizetype mark = action->text().indexOf('&');
    if (mark >= 0 && mark + 1 < action->text().size()) taken += action->text()[mark + 1].toLower();
  }
  return taken;
}

}  // namespace

CBrowserMenus::CBrowserMenus(QMainWindow& window, Handler handler, std::function<void(const std::string&)> openRecent)
    : bar_(std::make_unique<CMenuCommands>(handler)),
      context_(std::make_unique<CMenuCommands>(handler)),
      openRecent_(std::move(openRecent)) {
  QMenu& file = bar_->AddMenu(browsertext::kBrowserFileMenu);
  bar_->AddMenu(browsertext::kBrowserEditMenu);
  bar_->AddMenu(browsertext::kBrowserViewMenu);
  bar_->AddMenu(browsertext::kBrowserItemMenu);

  // Open Recent, right after Open...
  QAction* open = bar_->Action(command::kOpenHamper);
  const QList<QAction*> fileActions = file.actions();
  const qsizetype afterOpen = fileActions.indexOf(open) + 1;
  QString taken = TakenMnemonics(file);
  recentMenu_ = new QMenu(&file);
  recentMenu_->setObjectName("recentHampersMenu");
  recentMenu_->setTitle(WithMnemonic(DisplayText(NSFerryman::GetString(browsertext::kOpenRecent)), taken));
  file.insertMenu(afterOpen < fileActions.size() ? fileActions[afterOpen] : nullptr, recentMenu_);
  QObject::connect(recentMenu_, &QMenu::aboutToShow, recentMenu_, [this] { FillRecentMenu(); });

  // Keys the scripts cannot write (they give Ctrl and a letter).
  bar_->Action(command::kVerify)->setShortcut(QKeySequence(Qt::Key_F5));
  bar_->Action(command::kProperties)->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
  QAction* play = bar_->Action(command::kPlay);
  play->setText(play->text() + QStringLiteral("\t") + QKeySequence(Qt::Key_Space).toString(QKeySequence::NativeText));
  bar_->SetChecked(command::kShowHiddenItems, true);
  bar_->SetChecked(command::kFailuresOnly, false);
  bar_->InstallInto(*window.menuBar());

  contextMenu_ = &context_->AddMenu(browsertext::kBrowserContextMenu);
  contextMenu_->setObjectName("itemContextMenu");
  FillRecentMenu();
}

CBrowserMenus::~CBrowserMenus() = default;

void CBrowserMenus::Update(const CBrowserMenuState& state) {
  for (CMenuCommands* menus : {bar_.get(), context_.get()}) {
    menus->SetEnabled(command::kExtractSelected, !state.busy && state.hasSelection);
    menus->SetEnabled(command::kExtractAll, !state.busy && state.hasItems);
    menus->SetEnabled(command::kCopyPath, state.hasSelection);
    menus->SetEnabled(command::kPlay, state.playable);
    menus->SetEnabled(command::kVerify, !state.busy && state.described);
    menus->SetEnabled(command::kVerifyAgainstSource, !state.busy && state.described);
    menus->SetEnabled(command::kFailuresOnly, state.hasFailures || state.failuresOnly);
  }
  bar_->SetChecked(command::kShowHiddenItems, state.showHidden);
  bar_->SetChecked(command::kFailuresOnly, state.failuresOnly);
}

void CBrowserMenus::ShowContextMenu(const QPoint& global) { contextMenu_->popup(global); }

QAction* CBrowserMenus::Action(std::uint32_t command) const { return bar_->Action(command); }

QAction* CBrowserMenus::ContextAction(std::uint32_t command) const { return context_->Action(command); }

QMenu* CBrowserMenus::ContextMenu() const { return contextMenu_; }

void CBrowserMenus::RememberHamper(const std::string& path) {
  recent_.Add(path);
  FillRecentMenu();
}

void CBrowserMenus::FillRecentMenu() {
  recentMenu_->clear();
  const std::vector<std::string> hampers = recent_.Folders();
  for (std::size_t i = 0; i < hampers.size(); ++i) {
    // Numbered as desktop tools number them, the number its mnemonic; "&" in a name is a character.
    QAction* action = recentMenu_->addAction(QStringLiteral("&%1 ").arg(i + 1) + PathText(hampers[i]).replace('&', "&&"));
    const std::string hamper = hampers[i];
    QObject::connect(action, &QAction::triggered, recentMenu_, [this, hamper] { openRecent_(hamper); });
  }
  recentMenu_->addSeparator();
  QString taken;
  QAction* clear = recentMenu_->addAction(WithMnemonic(DisplayText(NSFerryman::GetString(apptext::kClearList)), taken));
  clear->setEnabled(!hampers.empty());
  QObject::connect(clear, &QAction::triggered, recentMenu_, [this] {
    recent_.Clear();
    FillRecentMenu();
  });
}
