#pragma once
// CReportWindow: what a pack left for its author to read (or what Check Folder found), in a window
// of its own beside the packer window: a summary, and the files it is about as a list (kind, file,
// cause) that sorts by a click on a header, copies its selected rows (Ctrl+C) and shows a row's
// file in the file manager. Save As writes the whole report as a text file, and "Show Hamper in
// Folder" opens the file manager on the Hamper. One window serves every report; it does not block
// the packer window.
//
//   report.ShowReport(title, PackReportContents(job), hamperPath, "Harbor Drums report.txt");

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/ReportText.h"
#include "framework/resources/AlertHost.h"

class CReportListModel;
class MFileDialogs;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QTreeView;

class CReportWindow : public QDialog {
  Q_OBJECT
 public:
  using ShowInFolder = std::function<bool(const std::string& path)>;

  CReportWindow(MFileDialogs& dialogs, NSFerryman::MAlertHost& alerts, ShowInFolder showInFolder,
                QWidget* parent = nullptr);

  // Shows the report, raised; a window not open yet opens beside its parent. `revealPath` is the
  // file "Show Hamper in Folder" shows ("" hides the button); `proposedName` the name the save
  // dialog offers. A report without rows shows its summary alone.
  void ShowReport(const QString& title, const CReportContents& contents, const std::string& revealPath,
                  const std::string& proposedName);
  // The whole report, as Save As writes it; the summary above the list.
  QString Text() const;
  QString Summary() const;
  QTreeView& List() const { return *list_; }

  // The selected rows in the order the list shows them.
  std::vector<CReportRow> SelectedRows() const;
  // Ctrl+C: the selected rows as tab-separated text on the clipboard.
  void CopySelectedRows();

  // Show Hamper in Folder: the file manager on the Hamper; Show File in Folder: on the current
  // row's file (the folder itself for a row about the whole folder). Without a file manager, an
  // alert naming the folder.
  void RevealInFolder();
  void RevealSelectedFile();

  // The save dialog for a text file, then the text written through a hidden file; a file that
  // stands at the name chosen is replaced only when the user agrees ("File already exists",
  // whose default is No). False when cancelled or not agreed.
  bool SaveAs();

 private:
  void Reveal(const std::string& path);
  void ShowContextMenu(const QPoint& at);
  void UpdateActions();
  void SizeToContents();
  int SummaryHeight(int windowWidth) const;
  int WantedHeight() const;

  MFileDialogs& dialogs_;
  NSFerryman::MAlertHost& alerts_;
  ShowInFolder showInFolder_;
  std::string revealPath_;
  std::string proposedName_;
  std::string text_;
  QSplitter* splitter_ = nullptr;
  QPlainTextEdit* summary_ = nullptr;
  QTreeView* list_ = nullptr;
  CReportListModel* model_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* showFileAction_ = nullptr;
  QPushButton* showInFolderButton_ = nullptr;
  QPushButton* showFileButton_ = nullptr;
};
