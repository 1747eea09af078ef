#pragma once
// CHamperPacker: the application object of the desktop tool. It starts the tool behind its
// splash screen, owns the menus, the installed-Hamper database, the sliced-loop library's state,
// the remembered dialog folders and the one packer window, enables and dispatches the menu
// commands, opens the maker's web pages and shows the about dialog.
//
//   CHamperPacker packer(options);
//   packer.Initialise();          // splash for at least two seconds; menus; database
//   packer.CreateMainWindow();
//   packer.OpenItem(folder);      // a folder named on the command line
//   return app.exec();
//
// Commands come in through DoCommand (the menus, the window's Create button): 20 Open Hamper...
// (a browser window for each Hamper opened, app/HamperBrowserWindow.h), 21 the packer window,
// 25 Quit, 400 About, 800 and 804 the web pages; 101 to 104 go on to the window. A failure of a command is
// shown once as the framework's alert for it; stops and failures already told end quietly.
//
// What the application asks of the desktop (alerts, file dialogs, the browser) comes in through
// CHamperPackerServices; an unset service is the desktop's own. Tests set their own.

#include <QObject>
#include <QPointer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDialog.h"
#include "app/AlertDialog.h"
#include "app/FileDialogs.h"
#include "app/FolderDialogState.h"
#include "app/MenuCommands.h"
#include "app/RecentFolders.h"
#include "app/VolumeSearchDialog.h"
#include "pack/SLCLibraryState.h"

class CCreateWindow;
class CDatabase;
class QMenu;
class CHamperBrowserWindow;
class CSplashScreen;

struct CHamperPackerOptions {
  // Folders of installed Hampers searched besides the program's own (at most four).
  std::vector<std::string> hamperFolders;
  // Where the sliced-loop library is ("" to search for it).
  std::string slcLibrary;
  // The splash stays up at least this long once the menus exist.
  std::chrono::milliseconds minimumSplashTime{2000};
  // Without it (Hampers opened from a file manager), no splash and no wait.
  bool showSplash = true;
  std::string version;
};

struct CHamperPackerServices {
  NSFerryman::MAlertHost* alerts = nullptr;
  MFileDialogs* dialogs = nullptr;
  std::function<bool(const std::string& address)> openWebPage;
  std::function<bool()> hasWebBrowser;
  // Why the browser windows cannot play samples ("" when they can); the desktop's audio outputs
  // when unset.
  std::function<QString()> audioAvailability;
  // A desktop notification (summary, body); the desktop's own when unset.
  std::function<void(const QString& summary, const QString& body)> notify;
  // The file manager on the folder of a file (the report window's Show in Folder); the desktop's
  // own when unset.
  std::function<bool(const std::string& path)> showInFolder;
};

class CHamperPacker : public QObject {
  Q_OBJECT
 public:
  // XBase for more than four Hamper folders.
  explicit CHamperPacker(CHamperPackerOptions options, CHamperPackerServices services = {});
  ~CHamperPacker() override;
  CHamperPacker(const CHamperPacker&) = delete;
  CHamperPacker& operator=(const CHamperPacker&) = delete;

  // Start-up: the splash, the menus (File, Hamper and Help of menu resource 128), the database,
  // then the splash stays until the minimum time has passed since the menus existed. On failure
  // the splash closes, everything made is shut down and the failure is thrown.
  void Initialise();
  // Unloads the sliced-loop library, destroys the database and the menus. Closes the window.
  void ShutDown();
  // The packer window, titled "Hamper Packer", made and shown; the menus are installed in it.
  void CreateMainWindow();

  // Quit and About enabled when not busy; the web items when not busy and a browser is
  // registered; 101 to 104 as the window says.
  void UpdateMenus();
  // Runs a command; failures are reported, never thrown.
  void DoCommand(std::uint32_t command);
  // Makes the window if there is none and sets `path` as its input folder; failures are reported.
  void OpenItem(const std::string& path);
  // A browser window of its own for the Hamper file, damaged or not; a file that is not a Hamper
  // at all (nor one damaged so that not even its description reads) gets an alert and no window.
  // True when a window opened.
  bool OpenHamper(const std::string& path);
  // The packer window, made when there is none, shown and raised (the browser's Packer Window).
  void ShowPackerWindow();
  // The browser windows open now.
  std::vector<CHamperBrowserWindow*> HamperWindows() const;
  // True when the desktop's browser took the address.
  bool OpenWebPage(const std::string& address);
  // Loads the sliced-loop library unless it is loaded: alert 16 and XAlertAlreadyShown when it
  // cannot be.
  void EnsureSLCLibrary(NSFerryman::MAlertHost& alerts);

  CCreateWindow* Window() const { return window_.get(); }
  CMenuCommands* Menus() const { return menus_.get(); }
  CDatabase* Database() const { return database_.get(); }
  CSLCLibraryState& Slc() { return slc_; }
  // The about dialog while it is open.
  CAboutDialog* AboutDialog() const { return about_.data(); }
  QMenu* RecentFoldersMenu() const { return recentMenu_; }
  NSFerryman::MAlertHost& Alerts() { return *alerts_; }
  bool IsBusy() const;

 private:
  void Quit();
  void ShowAbout();
  // The File menu's list of recent input folders, before Quit.
  void AddRecentFoldersMenu(QMenu& file);
  void FillRecentFoldersMenu();
  void ChooseHamperToOpen();

  CHamperPackerOptions options_;
  // The application's alerts belong to the packer window when it is shown: a pack's alerts never
  // come up over a browser window the user works in.
  CAlertBoxes alertBoxes_;
  CDesktopFileDialogs desktopDialogs_;
  NSFerryman::MAlertHost* alerts_;
  MFileDialogs* dialogs_;
  std::function<bool(const std::string&)> openWebPage_;
  std::function<bool()> hasWebBrowser_;
  std::function<QString()> audioAvailability_;
  std::function<void(const QString&, const QString&)> notify_;
  std::function<bool(const std::string&)> showInFolder_;

  CRecentFolders recent_;
  QMenu* recentMenu_ = nullptr;
  CFolderDialogState inputFolders_{"HMID"};
  CFolderDialogState outputFolders_{"HMOD"};
  CFolderDialogState openedHampers_{"HMOH"};
  CFolderDialogState extractFolders_{"HMEX"};
  std::vector<QPointer<CHamperBrowserWindow>> hamperWindows_;
  CSLCLibraryState slc_;
  CVolumeSearchDialog volumeSearch_;
  std::unique_ptr<CSplashScreen> splash_;
  std::unique_ptr<CMenuCommands> menus_;
  std::unique_ptr<CDatabase> database_;
  std::unique_ptr<CCreateWindow> window_;
  QPointer<CAboutDialog> about_;
};
