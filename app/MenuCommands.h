#pragma once
// CMenuCommands: the application's menus, built from menu scripts, with one action per command.
// The menus belong to this object; a window's menu bar only shows them.
//
//   CMenuCommands menus([&](std::uint32_t command) { DoCommand(command); });
//   menus.AddMenu(apptext::kFileMenu);             // "File": "Quit" (Ctrl+Q) = 25
//   menus.InstallInto(*window->menuBar());
//   menus.SetEnabled(command::kQuit, !busy);
//
// A shortcut letter of the script becomes Ctrl plus that letter. An item's label is shown as
// written ("&" is not taken as a mnemonic), with a mnemonic of its own (Mnemonics.h): Alt and the
// menu's letter open it, its items' letters choose them.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "framework/resources/ResourceId.h"

class QAction;
class QMenu;
class QMenuBar;

class CMenuCommands {
 public:
  using Handler = std::function<void(std::uint32_t command)>;

  // `handler` receives the command of each item chosen.
  explicit CMenuCommands(Handler handler);
  ~CMenuCommands();
  CMenuCommands(const CMenuCommands&) = delete;
  CMenuCommands& operator=(const CMenuCommands&) = delete;

  // Adds the menu of a menu script. XBadFormat when the script is missing or malformed.
  QMenu& AddMenu(NSFerryman::ResourceId script);
  // Shows every menu, in the order added, in `bar`.
  void InstallInto(QMenuBar& bar) const;
  // Called just before any of the menus opens, to bring the items up to date.
  void SetAboutToShow(std::function<void()> update);

  // The action of a command; null when no item has it.
  QAction* Action(std::uint32_t command) const;
  void SetEnabled(std::uint32_t command, bool enabled);
  // Gives the item a check mark (making it checkable) or takes it away.
  void SetChecked(std::uint32_t command, bool checked);

 private:
  Handler handler_;
  std::function<void()> aboutToShow_;
  std::vector<std::unique_ptr<QMenu>> menus_;
  std::map<std::uint32_t, QAction*> actions_;
  QString takenInBar_;
};
