#pragma once
// CReportWindow: what a pack left for its author to read (or what Check Folder found), in a window
// of its own beside the packer window: the text can be selected, copied and saved as a text file,
// and "Show in Folder" opens the file manager on the Hamper. One window serves every report; it
// does not block the packer window.
//
//   report.Show(title, text, hamperPath, "Harbor Drums report.txt");

#include <QDialog>
#include <functional>
#include <string>

#include "framework/resources/AlertHost.h"

class MFileDialogs;
class QPlainTextEdit;
class QPushButton;

class CReportWindow : public QDialog {
  Q_OBJECT
 public:
  using ShowInFolder = std::function<bool(const std::string& path)>;

  CReportWindow(MFileDialogs& dialogs, NSFerryman::MAlertHost& alerts, ShowInFolder showInFolder,
                QWidget* parent = nullptr);

  // Shows the report, raised. `revealPath` is the file "Show in Folder" shows ("" hides the
  // button); `proposedName` the name the save dialog offers.
  void ShowReport(const QString& title, const std::string& text, const std::string& revealPath,
                  const std::string& proposedName);
  QString Text() const;

  // Show in Folder: the file manager on the Hamper; without one, an alert naming its folder.
  void RevealInFolder();

  // The save dialog for a text file, then the text written through a hidden file; a file that
  // stands at the name chosen is replaced only when the user agrees ("File already exists",
  // whose default is No). False when cancelled or not agreed.
  bool SaveAs();

 private:
  MFileDialogs& dialogs_;
  NSFerryman::MAlertHost& alerts_;
  ShowInFolder showInFolder_;
  std::string revealPath_;
  std::string proposedName_;
  std::string text_;
  QPlainTextEdit* view_ = nullptr;
  QPushButton* showInFolderButton_ = nullptr;
};
