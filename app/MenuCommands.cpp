#include "app/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/Mnemonics.h"
#include "app/TextConversion.h"
#include "framework/resources/MenuScript.h"


CMenuCommands::CMenuCommands(Handler handler) : handler_(std::move(handler)) {}

CMenuCommands::~CMenuCommands() = default;

QMenu& CMenuCommands::AddMenu(NSFerryman::ResourceId script) {
  const NSFerryman::CMenuScript parsed = NSFerryman::LoadMenuScript(script);
  auto menu = std::make_unique<QMenu>(WithMnemonic(DisplayText(parsed.title), takenInBar_));
  QString taken;
  for (const NSFerryman::CMenuItem& item : parsed.items) {
    if (item.separator) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(WithMnemonic(DisplayText(item.label), taken));
    if (item.shortcut) action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + QChar::fromLatin1(item.shortcut)));
    const std::uint32_t command = item.command;
    QObject::connect(action, &QAction::triggered, action, [this, command] { handler_(command); });
    actions_.emplace(command, action);
  }
  QObject::connect(menu.get(), &QMenu::aboutToShow, menu.get(), [this] {
    if (aboutToShow_) aboutToShow_();
  });
  menus_.push_back(std::move(menu));
  return *menus_.back();
}

void CMenuCommands::InstallInto(QMenuBar& bar) const {
  for (const auto& menu : menus_) bar.addMenu(menu.get());
}

void CMenuCommands::SetAboutToShow(std::function<void()> update) { aboutToShow_ = std::move(update); }

QAction* CMenuCommands::Action(std::uint32_t command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void CMenuCommands::SetEnabled(std::uint32_t command, bool enabled) {
  if (QAction* action = Action(command)) action->setEnabled(enabled);
}

void CMenuCommands::SetChecked(std::uint32_t command, bool checked) {
  if (QAction* action = Action(command)) {
    action->setCheckable(true);
    action->setChecked(checked);
  }
}
