#include "app/HamperFileWatch.h"

#include <QFileInfo>

#include "app/TextConversion.h"

namespace {

// Changes closer together than this are told once.
constexpr int kSettleMs = 100;

}  // namespace

CHamperFileWatch::CHamperFileWatch(const std::string& path, QObject* parent)
    : QObject(parent), file_(QFileInfo(PathText(path)).absoluteFilePath()), folder_(QFileInfo(file_).absolutePath()) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] {
    Rearm();
    emit MayHaveChanged();
  });
  const auto changed = [this] { settle_.start(); };
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changed);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
  Rearm();
}

void CHamperFileWatch::Rearm() {
  // A file renamed over or removed is no longer watched: the name is, again, when it holds one.
  if (!watcher_.files().contains(file_) && QFileInfo::exists(file_)) watcher_.addPath(file_);
  if (!watcher_.directories().contains(folder_) && QFileInfo(folder_).isDir()) watcher_.addPath(folder_);
}
