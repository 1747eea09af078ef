#pragma once
// CCreateWindow: the packer's document window, titled "Hamper Packer". It shows the input folder
// and output file chosen, the description of the Hamper to be built with its splash picture,
// and, while a pack job runs, the status line, the time-remaining line, the progress bar and the
// Stop (in the final stage Skip) button.
//
// The window owns the pack job (CPackJob) and is its host. The job runs on the user-interface
// thread, inside command 103, and keeps the window alive by letting pending events run on every
// progress call; a click on Stop, Escape (after "Stop Pack?") or Ctrl+Break then only sets the
// job's stop flag. While a job runs, commands 101 to 104 do nothing and the window cannot close.
//
//   CCreateWindow window(services);
//   connect(&window, &CCreateWindow::CommandPosted, app, ..., Qt::QueuedConnection);
//   window.show();
//   window.SetInputFolder(CDirSpec(folder));    // XAlertAlreadyShown after alert 4, 10 or 11
//   window.DoCommand(command::kCreateHamper);   // failures other than stops and alerts shown are thrown
//
// What the window asks of the desktop (alerts, file dialogs, remembered folders) comes in
// through CCreateWindowServices, which tests fill with their own.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <cstdint>
#include <string>

#include "framework/media/FileSpec.h"
#include "pack/PackJob.h"
#include "pack/PackJobHost.h"

class CBorderTransparentStaticTextView;
class CDatabase;
class CDirectBitmapView;
class CFolderDialogState;
class CMenuCommands;
class CReportWindow;
class CSLCLibraryState;
class MFileDialogs;
class QProgressBar;
class QPushButton;

struct CCreateWindowServices {
  CDatabase& database;
  CSLCLibraryState& slc;
  NSFerryman::MAlertHost& alerts;
  MFileDialogs& dialogs;
  CFolderDialogState& inputFolders;   // "HMID"
  CFolderDialogState& outputFolders;  // "HMOD"
  // The desktop's file manager, on the folder of a file; a notification while the window is not
  // active. Unset: the desktop's own (DesktopServices.h).
  std::function<bool(const std::string& path)> showInFolder;
  std::function<void(const QString& summary, const QString& body)> notify;
  // A pack that has run this long tells a user who works elsewhere when it asks or ends.
  std::uint64_t longJobMs = 10000;
};

class CCreateWindow : public QMainWindow, public MPackJobHost {
  Q_OBJECT
 public:
  explicit CCreateWindow(const CCreateWindowServices& services, QWidget* parent = nullptr);
  ~CCreateWindow() override;

  // Commands 101 to 104; false for any other command (not the window's). Ignored while busy.
  bool DoCommand(std::uint32_t command);
  // Items 101, 102 and 103 enabled when idle; 104 too, with its check mark when the warning of
  // external references is on.
  void UpdateMenus(CMenuCommands& menus) const;

  // The folder dialog; false when cancelled. The folder chosen is remembered, then set as below.
  bool SelectInputFolder();
  // The save dialog, proposing the Hamper's Name and ".hmp" ("Packed.hmp" without a Name); false
  // when cancelled.
  bool SelectOutputFile();
  // Reads the folder's description and splash and takes it as the input folder. The same folder
  // again only redraws. An output file chosen before is renamed after the new Name, in its
  // folder. Alert 4, 10 or 11 and XAlertAlreadyShown when the folder gives no Name or no good
  // splash; the folder is then not taken. XFileNotFound when it is not a folder.
  void SetInputFolder(const NSFerryman::CDirSpec& folder);
  void SetOutputFile(const NSFerryman::CFileSpec& file);
  // Command 103: the selections that are missing, then the job. Stops and failures the user was
  // told about end quietly; other failures are thrown once the window is idle again. However it
  // ends, the job's report is shown in the report window.
  void CreateHamper();
  // Command 105: the dry run of a pack over the input folder (or a folder chosen now, which need
  // not be packable yet), every problem at once in the report window; nothing is written.
  void CheckFolder();
  // The report window of the last pack or check; null before the first.
  CReportWindow* ReportWindow() const { return report_; }

  CPackJob& Job() { return job_; }
  const CPackJob& Job() const { return job_; }
  // A job or a check runs.
  bool IsBusy() const { return job_.IsBusy() || checking_; }

  // MPackJobHost
  int PresentAlert(const NSFerryman::CAlert& alert) override;
  void Redraw() override;
  void HandlePendingEvents() override;
  void SetWaitCursor(bool shown) override;
  void SetSplashPreview(const CBitmap32* splash) override;

 signals:
  // The Create Hamper... button, clicked while idle, sends command 103 to the application, so
  // that it runs as the menu item does.
  void CommandPosted(quint32 command);
  // Busy went on or off: the application's menus change.
  void BusyChanged(bool busy);
  // A folder was dropped on the window while idle: the application opens it as an item.
  void FolderDropped(std::string path);
  // A Hamper file was dropped on the window: the application opens it in a browser window.
  void HamperDropped(std::string path);
  // A folder became the input folder: the application keeps it among the recent ones.
  void InputFolderTaken(std::string path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildViews();
  void UpdateContents();
  void ClickCreateButton();
  CReportWindow& Report();
  // After a job however it ended: its report, and a notification when the user is elsewhere and
  // none was sent for the alert that ended it.
  void TellJobEnded();
  // A notification (and the window's request for attention) when a job that has run long asks
  // or tells something while the user works in another window: before its alert, which waits.
  void NotifyIfAway(const QString& summary, const QString& body);

  CCreateWindowServices services_;
  CPackJob job_;
  bool waitCursor_ = false;
  bool shownBusy_ = false;
  bool checking_ = false;
  bool inJob_ = false;            // within RunPackJob, "Pack complete" included
  std::uint64_t jobStarted_ = 0;  // on the job's progress clock
  bool notified_ = false;         // of this job's end
  CReportWindow* report_ = nullptr;

  CBorderTransparentStaticTextView* inputFolderValue_ = nullptr;
  QPushButton* inputFolderButton_ = nullptr;
  CBorderTransparentStaticTextView* outputFileValue_ = nullptr;
  QPushButton* outputFileButton_ = nullptr;
  CBorderTransparentStaticTextView* nameValue_ = nullptr;
  CBorderTransparentStaticTextView* commentsValue_ = nullptr;
  CBorderTransparentStaticTextView* externalHampersValue_ = nullptr;
  CBorderTransparentStaticTextView* copyrightValue_ = nullptr;
  CBorderTransparentStaticTextView* urlValue_ = nullptr;
  CBorderTransparentStaticTextView* fileCountValue_ = nullptr;
  CDirectBitmapView* splashView_ = nullptr;
  CBorderTransparentStaticTextView* statusLine_ = nullptr;
  CBorderTransparentStaticTextView* timeLine_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* createButton_ = nullptr;
};
