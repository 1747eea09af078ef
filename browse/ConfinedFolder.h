#pragma once
// A folder that files are written into, never outside it, whatever names they are given and
// whatever lies in the folder already:
//
//   InstallPartialOutputRemoval();
//   CConfinedFolder folder("/home/me/Extracted");               // made when missing
//   auto file = folder.CreateFile({"Kits", "Drums"}, "Kick.wav", /*replace=*/false);
//   Write(file->Media());
//   file->Commit();                                             // appears whole, or not at all
//
// Names must be plain names (not empty, ".", "..", nor holding "/" or a zero byte: XBadFormat).
// Folders below are made as needed and entered one by one without following symbolic links: a
// link, or anything that is not a folder, where a folder is needed is XCreateFailed, and nothing
// is written through it. The file is created exclusively under a short hidden name beside its
// target, registered for removal if a signal ends the process, and renamed into place by Commit;
// destroyed without Commit, it is removed. A target that exists is left alone (XTargetExists)
// unless `replace`, which replaces the entry itself: a symbolic link there is replaced, never
// followed. The folder given itself may be reached through links: it is the caller's choice.

#include <memory>
#include <span>
#include <string>

#include "framework/media/Exceptions.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/Media.h"

// A target that is there already, left as it is because replacing was not asked for.
class XTargetExists : public NSFerryman::XCreateFailed {
 public:
  using XCreateFailed::XCreateFailed;
};

class CConfinedOutputFile {
 public:
  ~CConfinedOutputFile();
  CConfinedOutputFile(const CConfinedOutputFile&) = delete;
  CConfinedOutputFile& operator=(const CConfinedOutputFile&) = delete;

  NSFerryman::CMedia& Media() { return *file_; }
  // Closes the file and puts it in place; XTargetExists when a target appeared meanwhile (without
  // `replace`), XCreateFailed when it is a folder, the XFile family for other failures of the rename.
  void Commit();

 private:
  friend class CConfinedFolder;
  CConfinedOutputFile(int folder, std::string partialName, std::string name, std::string shownPath, bool replace);

  int folder_;  // owned
  std::string partialName_;
  std::string name_;
  std::string shownPath_;  // for messages: the target below the confined folder
  bool replace_;
  int registrySlot_ = -1;
  NSFerryman::CHiddenFileLock lock_;  // held until the file is renamed or removed
  std::unique_ptr<NSFerryman::CMedia> file_;
  bool committed_ = false;
};

class CConfinedFolder {
 public:
  // Makes the folder (and its parents) when missing. The XFile family when it cannot.
  explicit CConfinedFolder(const std::string& path);
  ~CConfinedFolder();
  CConfinedFolder(const CConfinedFolder&) = delete;
  CConfinedFolder& operator=(const CConfinedFolder&) = delete;

  // Starts the file `name` in the folder reached through `folders`; see above.
  std::unique_ptr<CConfinedOutputFile> CreateFile(std::span<const std::string> folders, const std::string& name,
                                                  bool replace);

 private:
  int fd_;
  std::string path_;
};

