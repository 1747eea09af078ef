#pragma once
// An output file that appears only when it is complete.
//
//   InstallPartialOutputRemoval();                  // once, in a command that writes files
//   CAtomicOutputFile output(path, {inputPath});
//   Write(output.Media());
//   output.Commit();                                // or Commit(EReplace::kKeep), see below
//
// A regular file (or a name not yet taken) is written under a short hidden name in the output's
// own folder (".hamper-....part", HiddenFile.h), created exclusively and locked while this object
// keeps it, and renamed over the output by Commit, once it has been synced to the disk and closed
// without error, so that a crash or a power cut never leaves a short file under the output's name.
// Before it is made, the hidden files that killed commands left in that folder are removed. Destroyed without Commit, as when writing failed, or ended by a signal
// after InstallPartialOutputRemoval, the partial file is removed and an existing output is left
// untouched. A symbolic link is followed to its final target, which is what gets replaced: the
// link stays. A link that leads to nothing is never followed: it is what stands at the output,
// and it is replaced itself. A device, FIFO or socket is never replaced by a regular file: it is
// written directly, front to back, and Commit only closes it, unless the output must be a
// regular file (kRegularFile), when it is refused like a folder.
//
// Commit(EReplace::kKeep) never replaces what stands at the output's place, even a file that
// appeared there while the output was being written: it answers false and leaves the finished
// partial file as it is, for another Commit (with the user's consent, kReplace) or for the
// destructor to remove.
//
// An output that is one of the given input files (same device and inode, by any path or link)
// is refused, before anything is written, as is an output that is a folder or whose folder does
// not exist.

#include <memory>
#include <string>
#include <vector>

#include "framework/media/HiddenFile.h"
#include "framework/media/Media.h"

namespace NSFerryman {

class CAtomicOutputFile {
 public:
  enum class EKind { kAnyFile, kRegularFile };
  enum class EReplace { kReplace, kKeep };

  // XCreateFailed for an output that is an input or a folder (or, for kRegularFile, anything but
  // a regular file); XFileNotFound when its folder does not exist; the XFile family when the file
  // cannot be created.
  explicit CAtomicOutputFile(std::string path, const std::vector<std::string>& inputs = {},
                             EKind kind = EKind::kAnyFile);
  ~CAtomicOutputFile();
  CAtomicOutputFile(const CAtomicOutputFile&) = delete;
  CAtomicOutputFile& operator=(const CAtomicOutputFile&) = delete;

  // Where the output is written; errors name the output's path.
  CMedia& Media() { return *file_; }
  // The same as a file, for what a stream cannot do (copies inside the kernel, cutting the file
  // short); null when the output is written directly.
  COpenFile* File();
  // The output as given.
  const std::string& GetPath() const { return path_; }
  // What is replaced: the path, or its symbolic links' final target when there is one.
  const std::string& GetTarget() const { return target_; }
  // The hidden file being written; empty when writing directly.
  const std::string& GetPartialPath() const { return partialPath_; }
  // Whether something stands at the target now.
  bool TargetExists() const;

  // Syncs and closes the file (once) and puts it in place; XFile family when that fails. With
  // kKeep, false when something stands at the target (see above).
  bool Commit(EReplace replace = EReplace::kReplace);

 private:
  std::string path_;         // as given
  std::string target_;       // what is replaced: the path, or its symbolic links' final target
  std::string partialPath_;  // the hidden file being written; empty when writing directly
  int registrySlot_ = -1;
  CHiddenFileLock lock_;     // the hidden file's, until it is renamed or removed
  std::unique_ptr<CMedia> file_;
  bool closed_ = false;
  bool committed_ = false;
};

}  // namespace NSFerryman
