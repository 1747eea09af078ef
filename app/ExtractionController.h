#pragma once
// CExtractionController: the browser's Extract Selected... and Extract All... (and a drop in a
// file manager that names its folder): the items written as `hamper extract` writes them
// (browse/ExtractionRun.h), through the file the window opened, on a thread of their own, so
// that the window answers throughout. Progress in bytes comes back with the item being written;
// Stop (RequestStop) ends the run between items or inside one, leaving whole files only.
//
//   CExtractionController extract(alerts, dialogs, extractFolders, window);
//   connect(&extract, &CExtractionController::Progress, ...);   // per mille, the status line
//   connect(&extract, &CExtractionController::Finished, ...);   // the summary
//   extract.ChooseFolderAndStart(contents, records);            // or Start(contents, items, folder)
//
// When files are there already, the user is asked once, after the others are written, whether
// to replace them ("Files already there", whose default is No: Return and Escape keep them).
// The summary says how many were written, kept and failed (and, after a stop, not extracted);
// failures are listed in an alert. The contents must outlive the run; StopAndWait ends it first.

#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "browse/ExtractionRun.h"
#include "framework/resources/AlertHost.h"

class CFolderDialogState;
class CHamperContents;
class MFileDialogs;
class QWidget;

class CExtractionController : public QObject {
  Q_OBJECT
 public:
  CExtractionController(NSFerryman::MAlertHost& alerts, MFileDialogs& dialogs, CFolderDialogState& folders,
                        QWidget* window);
  ~CExtractionController() override;

  // The folder dialog (starting in the folder used last), then Start; nothing when cancelled.
  void ChooseFolderAndStart(const CHamperContents& contents, std::vector<std::size_t> records, bool description = false);
  // Starts writing the items into the folder (with `description`, the description files too, as
  // `hamper extract` writes them for a whole Hamper); returns at once. Nothing while a run goes on.
  void Start(const CHamperContents& contents, std::vector<CExtractionItem> items, std::string folder,
             bool description = false);
  void RequestStop() { stop_ = true; }
  void StopAndWait();
  bool IsRunning() const { return running_; }

 signals:
  void Progress(int perMille, QString status);
  void Finished(QString summary);

 private:
  // `description`: the description files too, or (when replacing) those named.
  void RunPass(std::vector<CExtractionItem> items, bool replace, bool description, std::vector<std::string> only = {});
  void OnPassDone(CExtractionOutcome outcome, std::exception_ptr failure, bool replace);
  void Finish(const QString& summary);
  void Join();

  NSFerryman::MAlertHost& alerts_;
  MFileDialogs& dialogs_;
  CFolderDialogState& folders_;
  QWidget* window_;
  const CHamperContents* contents_ = nullptr;
  std::string folder_;
  std::size_t asked_ = 0;  // records asked for
  std::unique_ptr<CExtractionRun> run_;  // used by one thread at a time: the worker's, between passes none
  CExtractionOutcome first_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  bool running_ = false;
  // A pass that ends after StopAndWait (a reload, a close) is not taken up.
  std::uint64_t generation_ = 0;
};
