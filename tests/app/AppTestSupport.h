#pragma once
// What the desktop application's tests share: alerts and file dialogs answered by the test,
// content folders written in the test, the application made with those, and work run while a
// pack job is under way.

#include <QApplication>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FileDialogs.h"
#include "app/HamperPacker.h"
#include "framework/resources/Alert.h"
#include "framework/resources/AlertHost.h"
#include "support/TestSupport.h"

// Qt's strings as text in test messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace apptest {

namespace fs = std::filesystem;

// Every alert is recorded and answered: with the answer set for its id, else as Return answers it,
// with its default (OK, Yes of most questions, No of those that keep files). `onAlert` runs
// first, while the alert is up.
class CScriptedAlerts : public NSFerryman::MAlertHost {
 public:
  int PresentAlert(const NSFerryman::CAlert& alert) override;
  // The ids of the alerts shown, in order.
  std::vector<std::uint32_t> Ids() const;

  std::vector<NSFerryman::CAlert> shown;
  std::map<std::uint32_t, int> answers;
  std::function<void(const NSFerryman::CAlert&)> onAlert;
};

// Each dialog takes the next answer of its queue (none: cancelled) and records what it was shown.
class CScriptedDialogs : public MFileDialogs {
 public:
  std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title,
                                          const std::string& startFolder) override;
  std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& title, const std::string& startFolder,
                                            const std::string& proposedName, ESavedFileKind kind) override;
  std::optional<std::string> ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                const std::string& startFolder) override;

  std::deque<std::optional<std::string>> folders;
  std::deque<std::optional<std::string>> saveFiles;
  std::deque<std::optional<std::string>> hampers;
  struct CAsked {
    std::string title, startFolder, proposedName;
    std::optional<ESavedFileKind> kind;  // of a save dialog
  };
  std::vector<CAsked> asked;
};

// A content folder: its Name in NAME.TXT (none when empty), a splash of the given size (none when
// 0 wide), WAV samples in Samples/, and a song in Songs/ that refers to the first sample and to
// another Hamper, "Drum Basics".
struct CContent {
  std::string name = "Test Kit";
  std::string comments = "Two samples and a song";
  std::uint32_t splashWidth = 64, splashHeight = 64;
  int samples = 2;
  std::uint32_t frames = 20000;
  bool song = true;
};
void WriteContentFolder(const fs::path& folder, const CContent& content = {});
// How many files lie below `folder`.
std::size_t FilesBelow(const fs::path& folder);

// The application with scripted alerts and dialogs, started without the splash's wait, its
// window made, and the sliced-loop library of the build.
class CPackerFixture {
 public:
  explicit CPackerFixture(std::function<bool()> hasWebBrowser = [] { return true; },
                          std::function<bool(const std::string&)> openWebPage = [](const std::string&) { return true; },
                          std::function<QString()> audioAvailability = {});
  ~CPackerFixture();

  CHamperPacker& Packer() { return *packer_; }
  CCreateWindow& Window();
  fs::path operator/(const std::string& name) const { return dir_ / name; }
  // Runs the queued events, so that posted commands arrive and deleted windows go.
  static void Settle();

  CScriptedAlerts alerts;
  CScriptedDialogs dialogs;
  // The desktop notifications sent: summary and body.
  std::vector<std::pair<QString, QString>> notifications;
  // The paths the file manager was asked to show.
  std::vector<std::string> shownInFolder;

 private:
  test::TempDir dir_;
  std::unique_ptr<CHamperPacker> packer_;
};

// While it lives, `work` runs on every pass of the event loop, so also between the steps of a
// pack job (which lets events run on every progress call).
class CWhileRunning {
 public:
  explicit CWhileRunning(std::function<void()> work);
  ~CWhileRunning();

 private:
  QTimer timer_;
};

}  // namespace apptest
