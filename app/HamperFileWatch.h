#pragma once
// CHamperFileWatch: says when the name of a Hamper a window shows may hold something else now:
// the file there or the folder that holds it changed (inotify, through QFileSystemWatcher). It
// watches the name, not the file: after a pack renames a new Hamper over it, that one is watched.
// What became of the file is for the window to ask (CHamperContents::ChangeOnDisk); a burst of
// changes (a pack writing beside the file) comes as one signal.
//
//   CHamperFileWatch watch(path, this);
//   connect(&watch, &CHamperFileWatch::MayHaveChanged, this, [this] { CheckFile(); });

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

class CHamperFileWatch : public QObject {
  Q_OBJECT
 public:
  CHamperFileWatch(const std::string& path, QObject* parent = nullptr);

 signals:
  void MayHaveChanged();

 private:
  void Rearm();

  QString file_;
  QString folder_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
};
