#pragma once
// What the tests of the Hamper browser share: the demo Hamper packed once, and an application
// (scripted alerts and dialogs, no audio device) whose browser windows the tests open and drive.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "app/HamperBrowserWindow.h"
#include "cli/PackedContent.h"

namespace browsertest {

namespace fs = std::filesystem;

inline const fs::path kDemo = fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums";
inline const QString kNoDevice = QStringLiteral("There is no audio output device to play samples on.");

// The demo, packed once for every test of the program.
inline const fs::path& DemoHamper() {
  static test::TempDir dir;
  static const fs::path demo = [] {
    const fs::path path = dir / "Harbor Drums.hmp";
    packedtest::Pack(kDemo, path);
    return path;
  }();
  return demo;
}

// Every regular file below a folder, by its path below it.
inline std::map<std::string, std::vector<std::uint8_t>> FilesBelow(const fs::path& root) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = test::ReadFileBytes(entry.path());
  }
  return files;
}

// Runs the event loop until `done` holds, for ten seconds at most; whether it holds.
inline bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class BrowserTest : public ::testing::Test {
 protected:
  BrowserTest() : BrowserTest([] { return kNoDevice; }) {}
  // `audioAvailability` answers why no sample can be played ("" when one can).
  explicit BrowserTest(std::function<QString()> audioAvailability)
      : f([] { return true; }, [](const std::string&) { return true; }, std::move(audioAvailability)) {}

  CHamperBrowserWindow& Open(const fs::path& path) {
    const std::size_t before = f.Packer().HamperWindows().size();
    f.Packer().OpenHamper(path.string());
    EXPECT_EQ(f.Packer().HamperWindows().size(), before + 1);
    return *f.Packer().HamperWindows().back();
  }

  // The names of the rows the tree shows below `parent`, one level.
  static std::vector<std::string> Rows(const CHamperBrowserWindow& window, const QModelIndex& parent = {}) {
    std::vector<std::string> rows;
    const QAbstractItemModel* model = window.Tree()->model();
    for (int r = 0; r < model->rowCount(parent); ++r) rows.push_back(model->index(r, 0, parent).data().toString().toStdString());
    return rows;
  }

  template <typename T>
  static T* Find(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    EXPECT_TRUE(found) << name;
    return found;
  }

  static bool WaitForVerification(CHamperBrowserWindow& window) {
    if (!window.IsVerifying()) return true;
    QSignalSpy finished(&window, &CHamperBrowserWindow::VerificationFinished);
    return finished.wait(60000);
  }
  static bool WaitForExtraction(CHamperBrowserWindow& window) {
    if (!window.IsExtracting()) return true;
    QSignalSpy finished(&window, &CHamperBrowserWindow::ExtractionFinished);
    return finished.wait(60000);
  }

  apptest::CPackerFixture f;
};

}  // namespace browsertest
