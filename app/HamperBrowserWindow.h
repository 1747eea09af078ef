#pragma once
// CHamperBrowserWindow: a finished Hamper opened to be looked at, listened to, verified and
// taken apart, one window per Hamper (File > Open Hamper..., a .hmp named on the command line or
// dropped on a window). Its model is browse/ (no Qt); the window shows it and wires its parts:
//
//   - the description (Name, Comments, URL as a link, Copyright) and the splash picture, and what
//     is wrong with the file when it is damaged (it opens as far as it reads);
//   - the items as a tree of folders with their kinds, sizes and sample facts, hidden items grey
//     (a toggle hides them), narrowed as one types in the filter box;
//   - the details of the selected item (CHamperDetailsPane), and Play (Space) for a sample;
//   - Verify (CVerificationController) and Extract (CExtractionController), each on a thread of its
//     own, with the progress bar and Stop; items dragged out of the tree (CDragOutData).
//
// The window reads the file it opened and nothing else: a pack that renames a new Hamper over
// the name, or a removal, changes nothing it shows or does. When the name holds something else,
// or the file itself was written to, "The Hamper was changed on disk" shows above the tree with
// Reload; while the file itself is changed, nothing more is read from it until Reload.
//
// Keys: Space plays and stops, F5 verifies, Escape stops what runs, Ctrl+F goes to the filter box
// (where Return goes to the first item shown), Ctrl+E extracts the selection, Alt+Return shows
// Properties, Return (or a double-click) plays a sample, shows a picture, opens or closes a
// folder. Its menus (CBrowserMenus) and the items' context menu hold every command; the status
// bar (CBrowserStatusBar) the totals; a click on a column's title sorts by it, folders first.
// What the commands do is HamperBrowserCommands.cpp; this file builds and wires the window.
//
// What it asks of the desktop comes in through CHamperBrowserServices, which tests fill.

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/resources/AlertHost.h"

class CBrowserDragOut;
class CBrowserMenus;
class CBrowserStatusBar;
struct CHamperSummary;
class CDatabase;
class CExtractionController;
class CFolderDialogState;
class CHamperContents;
class CHamperDescriptionView;
class CItemColumns;
class CHamperDetailsPane;
class CHamperFileWatch;
class CHamperTreeFilter;
class CHamperTreeModel;
class CSLCLibraryState;
class CSamplePlayer;
class CVerificationController;
class MFileDialogs;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTreeView;

struct CHamperBrowserServices {
  CDatabase& database;
  CSLCLibraryState& slc;
  NSFerryman::MAlertHost& alerts;
  MFileDialogs& dialogs;
  CFolderDialogState& extractFolders;
  // Why samples cannot be played here ("" when they can); the desktop's audio outputs when unset.
  std::function<QString()> audioAvailability;
  // Whether a drag has been dropped; the mouse button's state when unset.
  std::function<bool()> dragDropped;
  // The URI a drop target wrote back for a direct save (app/DirectSave.h); X11's when unset.
  std::function<QByteArray()> directSaveTarget;
};

class CHamperBrowserWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Shows contents read already (CHamperContents::Open), damaged or not.
  CHamperBrowserWindow(std::unique_ptr<CHamperContents> contents, const CHamperBrowserServices& services,
                       QWidget* parent = nullptr);
  ~CHamperBrowserWindow() override;


  const CHamperContents& Contents() const { return *contents_; }
  CHamperTreeModel& Model() const { return *model_; }
  QTreeView* Tree() const { return tree_; }
  CBrowserMenus& Menus() const { return *menus_; }

  // Selects the item or folder of a Path (":" between folders), showing it; false when not shown.
  bool Select(const std::string& path);
  // The records of the items at or below the selected rows, in index order.
  std::vector<std::size_t> SelectedRecords() const;

  void SetFilter(const QString& text);
  void SetShowHidden(bool shown);
  // View > Failures Only: the failing items and their folders only, with the name filter.
  void SetFailuresOnly(bool only);
  // Return and a double-click on the current row: plays a sample, shows a picture in the details,
  // opens or closes a folder.
  void ActivateCurrent();
  // The Hamper paths of the selected rows (":" between folders), a line each, to the clipboard.
  void CopyPath();
  // Properties of the current row, or of the Hamper when nothing is selected.
  void ShowProperties();
  // Space and the Play button: plays the selected sample, or stops it; says why when it cannot.
  void TogglePlay();
  bool IsPlaying() const;

  // Extracts the records into a folder the user chooses (none: the whole Hamper), in the background.
  void ExtractSelected();
  void ExtractAll();
  bool IsExtracting() const;

  // Starts the verification (against a source folder when one is given).
  void StartVerification(const std::string& source = {});
  void VerifyAgainstSource();
  bool IsVerifying() const;
  // Escape and Stop: ends the verification or extraction that runs.
  void StopWork();

  // Whether "The Hamper was changed on disk" shows; CheckFile looks again at once.
  bool ShowsChangedNotice() const;
  void CheckFile();
  // Reads the file at the name again; a file there that is not a Hamper is an alert, and the
  // window keeps what it shows.
  void Reload();

 signals:
  // A Hamper was dropped on the window, or chosen in Open Recent: the application opens it in a
  // window of its own.
  void HamperDropped(std::string path);
  // A command of the window's menus that is the application's (Open Hamper..., the packer window, Quit).
  void CommandPosted(quint32 command);
  void VerificationFinished();
  void ExtractionFinished();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The widths the tree and the details first get, side by side.
  static constexpr int kFirstTreeWidth = 820;
  static constexpr int kFirstDetailsWidth = 340;

  void BuildViews();
  void BuildMenus();
  void DoCommand(std::uint32_t command);
  void ShowTotals();
  // Shows contents read: a new model and filter for the tree, the description, the details.
  void TakeContents(std::unique_ptr<CHamperContents> contents);
  void ShowDescription();
  void ShowSelected();
  void SelectFirstShownItem();
  void UpdateButtons();
  std::size_t SelectedSample() const;
  // False, and says so in the status line, when the file itself was written to since it was read.
  bool FileStillReads();
  QMimeData* MakeDragData(std::vector<std::uint32_t> nodes);

  CHamperBrowserServices services_;
  std::unique_ptr<CHamperContents> contents_;
  std::unique_ptr<CHamperTreeModel> model_;
  CHamperTreeFilter* filter_ = nullptr;
  CSamplePlayer* player_ = nullptr;
  CVerificationController* verification_ = nullptr;
  CExtractionController* extraction_ = nullptr;
  CHamperFileWatch* watch_ = nullptr;
  std::unique_ptr<CBrowserMenus> menus_;
  std::unique_ptr<CHamperSummary> summary_;
  bool failuresOnly_ = false;
  std::unique_ptr<CBrowserDragOut> dragOut_;

  CHamperDescriptionView* description_ = nullptr;
  QFrame* changedNotice_ = nullptr;
  QLineEdit* filterEdit_ = nullptr;
  QCheckBox* hiddenToggle_ = nullptr;
  QTreeView* tree_ = nullptr;
  CItemColumns* columns_ = nullptr;
  CHamperDetailsPane* details_ = nullptr;
  QPushButton* verifyButton_ = nullptr;
  QPushButton* verifySourceButton_ = nullptr;
  QPushButton* extractSelectedButton_ = nullptr;
  QPushButton* extractAllButton_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* stopButton_ = nullptr;
  QLabel* statusLine_ = nullptr;
  QLabel* filterCount_ = nullptr;
  CBrowserStatusBar* statusBar_ = nullptr;
};
