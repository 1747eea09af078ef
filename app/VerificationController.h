#pragma once
// CVerificationController: the browser's Verify and Verify Against Source...: the verification of
// the Hamper a window shows, through the file it opened (never its name, which may hold another
// file by now), on a thread of its own (CBackgroundVerification), its progress and its outcome in
// words, and the failing items for the tree.
//
//   CVerificationController verify(database, slc, dialogs, window);
//   connect(&verify, &CVerificationController::Progress, ...);    // per mille, the status line
//   connect(&verify, &CVerificationController::Finished, ...);
//   verify.Start(contents);                 // or ChooseSourceAndStart(contents)
//   verify.RequestStop();
//
// The contents must outlive the verification; StopAndWait ends it first (a reload, a close).

#include <QObject>
#include <QString>
#include <cstddef>
#include <map>
#include <string>

class CBackgroundVerification;
class CDatabase;
class CHamperContents;
class CSLCLibraryState;
class MFileDialogs;
class QWidget;

class CVerificationController : public QObject {
  Q_OBJECT
 public:
  CVerificationController(CDatabase& database, CSLCLibraryState& slc, MFileDialogs& dialogs, QWidget* window);
  ~CVerificationController() override;

  // Starts verifying (against the source folder when one is given); nothing while one runs.
  void Start(const CHamperContents& contents, const std::string& source = {});
  // The folder dialog for the source, then Start; nothing when cancelled.
  void ChooseSourceAndStart(const CHamperContents& contents);
  void RequestStop();
  void StopAndWait();
  bool IsRunning() const;

 signals:
  void Progress(int perMille, QString status);
  // `verified`: the items were verified, and `failures` (by record) are the whole finding; false
  // when the verification could not be made at all. `status` says how it ended.
  void Finished(bool verified, std::map<std::size_t, std::string> failures, QString status);

 private:
  CDatabase& database_;
  CSLCLibraryState& slc_;
  MFileDialogs& dialogs_;
  QWidget* window_;
  CBackgroundVerification* worker_ = nullptr;
  std::string source_;
  std::string readablePath_;
  std::string path_;
};
