#pragma once
// CBrowserMenus: the menus of a Hamper browser window, from the menu scripts: File (Open...,
// Open Recent, Extract Selected... Ctrl+E, Extract All..., Packer Window, Close Ctrl+W, Quit
// Ctrl+Q), Edit (Find Ctrl+F, Copy Path), View (Show Hidden Items, Failures Only), Item (Play
// Space, Verify F5, Verify Against Source..., Properties Alt+Return), and the items' context menu
// (Play, Extract..., Copy Path, Properties).
//
// Space is the tree's own key (a shortcut of the window would take it from the filter box and the
// buttons): the menu only names it. Open Recent lists the last Hampers opened (CRecentFolders
// "RecentHampers"), most recent first, numbered, with Clear List.
//
//   CBrowserMenus menus(window, [&](std::uint32_t command) { ... }, [&](const std::string& path) { ... });
//   menus.Update(state);   // whenever what can be done changes

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/RecentFolders.h"

class CMenuCommands;
class QAction;
class QMainWindow;
class QMenu;
class QPoint;

// What the menus offer now.
struct CBrowserMenuState {
  bool busy = false;          // a verification or extraction runs
  bool described = false;     // the Hamper's description reads (what Verify needs)
  bool hasItems = false;
  bool hasSelection = false;
  bool playable = false;      // the current item is a sample
  bool hasFailures = false;   // damaged records, or failures of a Verify
  bool showHidden = true;
  bool failuresOnly = false;
};

class CBrowserMenus {
 public:
  using Handler = std::function<void(std::uint32_t command)>;

  CBrowserMenus(QMainWindow& window, Handler handler, std::function<void(const std::string& hamper)> openRecent);
  ~CBrowserMenus();
  CBrowserMenus(const CBrowserMenus&) = delete;
  CBrowserMenus& operator=(const CBrowserMenus&) = delete;

  void Update(const CBrowserMenuState& state);
  // The context menu at a point of the screen.
  void ShowContextMenu(const QPoint& global);

  // The action of a command in the menu bar, or in the context menu.
  QAction* Action(std::uint32_t command) const;
  QAction* ContextAction(std::uint32_t command) const;
  QMenu* ContextMenu() const;
  QMenu* RecentMenu() const { return recentMenu_; }
  // Remembers a Hamper opened, first in Open Recent.
  void RememberHamper(const std::string& path);
  // Brings Open Recent up to date with the settings.
  void FillRecentMenu();

 private:
  std::unique_ptr<CMenuCommands> bar_;
  std::unique_ptr<CMenuCommands> context_;
  QMenu* contextMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  std::function<void(const std::string&)> openRecent_;
  CRecentFolders recent_{"RecentHampers"};
};
