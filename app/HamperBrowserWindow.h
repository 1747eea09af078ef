#pragma once
// CHamperBrowserWindow: a finished Hamper opened to be looked at, listened to, verified and
// taken apart, one window per Hamper (File > Open Hamper..., a .hmp named on the command line or
// dropped on a window). Its model is browse/ (no Qt); the window only shows it:
//
//   - the description (Name, Comments, URL as a link, Copyright) and the splash picture, and what
//     is wrong with the file when it is damaged (it opens as far as it reads);
//   - the items as a tree of folders with their kinds, sizes and sample facts, hidden items grey
//     (a toggle hides them), narrowed as one types in the filter box;
//   - for the selected item: a sample's facts and waveform, and Play (Space) to hear it; a
//     picture; the reference records of a song or patch, each marked where it leads;
//   - Verify (optionally against the source folder) on a thread of its own, with the progress bar
//     and Stop, every failing item marked in the tree with its reason;
//   - Extract Selected... and Extract All... (and items dragged out of the tree) with the rules of
//     `hamper extract`: never outside the folder chosen, audio as WAV, files there kept unless the
//     user agrees to replace them.
//
// Keys: Space plays and stops, F5 verifies, Escape stops the verification, Ctrl+F goes to the
// filter box (where Return goes to the first item shown), Ctrl+E extracts the selection.
//
// What it asks of the desktop comes in through CHamperBrowserServices, which tests fill.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "framework/resources/AlertHost.h"

class CBackgroundVerification;
class CDatabase;
class CFolderDialogState;
class CHamperContents;
class CHamperTreeFilter;
class CHamperTreeModel;
class CSLCLibraryState;
class CSamplePlayer;
class CWaveformView;
class MFileDialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class QTreeView;
struct CHamperVerificationReport;

struct CHamperBrowserServices {
  CDatabase& database;
  CSLCLibraryState& slc;
  NSFerryman::MAlertHost& alerts;
  MFileDialogs& dialogs;
  CFolderDialogState& extractFolders;
  // Why samples cannot be played here ("" when they can); the desktop's audio outputs when unset.
  std::function<QString()> audioAvailability;
};

class CHamperBrowserWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Reads the Hamper; a damaged or missing file still opens, saying what is wrong.
  CHamperBrowserWindow(const std::string& path, const CHamperBrowserServices& services, QWidget* parent = nullptr);
  ~CHamperBrowserWindow() override;

  const CHamperContents& Contents() const { return *contents_; }
  CHamperTreeModel& Model() const { return *model_; }
  QTreeView* Tree() const { return tree_; }

  // Selects the item or folder of a Path (":" between folders), showing it; false when not shown.
  bool Select(const std::string& path);
  // The records of the items at or below the selected rows, in index order.
  std::vector<std::size_t> SelectedRecords() const;

  void SetFilter(const QString& text);
  void SetShowHidden(bool shown);
  // Space and the Play button: plays the selected sample, or stops it.
  void TogglePlay();
  bool IsPlaying() const;

  // Extracts the records into a folder the user chooses (none: the whole Hamper).
  void ExtractSelected();
  void ExtractAll();

  // Starts the verification (against a source folder when one is given); Stop ends it.
  void StartVerification(const std::string& source = {});
  void VerifyAgainstSource();
  void StopVerification();
  bool IsVerifying() const;

 signals:
  // A Hamper was dropped on the window: the application opens it in a window of its own.
  void HamperDropped(std::string path);
  void VerificationFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildViews();
  void ShowDescription();
  // Shows the current row's details unless they are shown already (or `again`).
  void ShowSelected(bool again = false);
  void SelectFirstShownItem();
  void ShowSample(std::size_t record);
  void ShowPicture(std::size_t record);
  void ShowReferences(std::size_t record);
  void ShowOther(std::uint32_t node);
  // With `description`, the description files as well, as `hamper extract` writes them for a whole Hamper.
  void Extract(const std::vector<std::size_t>& records, bool description = false);
  void OnVerificationFinished(const std::shared_ptr<const CHamperVerificationReport>& report, const QString& failure);
  void UpdateButtons();
  std::size_t SelectedSample() const;

  CHamperBrowserServices services_;
  std::unique_ptr<CHamperContents> contents_;
  std::unique_ptr<CHamperTreeModel> model_;
  CHamperTreeFilter* filter_ = nullptr;
  CSamplePlayer* player_ = nullptr;
  CBackgroundVerification* verification_ = nullptr;
  std::string verifiedSource_;
  std::uint32_t shownNode_ = 0;

  QLabel* splashView_ = nullptr;
  QLabel* nameValue_ = nullptr;
  QLabel* commentsValue_ = nullptr;
  QLabel* urlValue_ = nullptr;
  QLabel* copyrightValue_ = nullptr;
  QLabel* problemLine_ = nullptr;
  QLineEdit* filterEdit_ = nullptr;
  QCheckBox* hiddenToggle_ = nullptr;
  QTreeView* tree_ = nullptr;
  QStackedWidget* details_ = nullptr;
  QLabel* factsLabel_ = nullptr;
  CWaveformView* waveform_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QLabel* pictureView_ = nullptr;
  QLabel* pictureFacts_ = nullptr;
  QTextBrowser* referencesView_ = nullptr;
  QLabel* otherFacts_ = nullptr;
  QPushButton* verifyButton_ = nullptr;
  QPushButton* verifySourceButton_ = nullptr;
  QPushButton* extractSelectedButton_ = nullptr;
  QPushButton* extractAllButton_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* stopButton_ = nullptr;
  QLabel* statusLine_ = nullptr;
};
