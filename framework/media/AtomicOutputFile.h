#pragma once
// An output file that appears only when it is complete.
//
//   InstallPartialOutputRemoval();                  // once, in a command that writes files
//   CAtomicOutputFile output(path, {inputPath});
//   Write(output.Media());
//   output.Commit();
//
// A regular file (or a name not yet taken) is written under a short hidden name in the output's
// own folder, created exclusively, and renamed over the output by Commit; destroyed without
// Commit, as when writing failed, or ended by a signal after InstallPartialOutputRemoval, the
// partial file is removed and an existing output is left untouched. A symbolic link is followed
// to its final target, which is what gets replaced: the link stays. A device, FIFO or socket is
// never replaced by a regular file: it is written directly, front to back, and Commit only
// closes it.
//
// An output that is one of the given input files (same device and inode, by any path or link)
// is refused, before anything is written, as is an output that is a folder or whose folder does
// not exist.

#include <memory>
#include <string>
#include <vector>

#include "framework/media/Media.h"

namespace NSFerryman {

class CAtomicOutputFile {
 public:
  // XCreateFailed for an output that is an input or a folder; XFileNotFound when its folder does
  // not exist; the XFile family when the file cannot be created.
  explicit CAtomicOutputFile(std::string path, const std::vector<std::string>& inputs = {});
  ~CAtomicOutputFile();
  CAtomicOutputFile(const CAtomicOutputFile&) = delete;
  CAtomicOutputFile& operator=(const CAtomicOutputFile&) = delete;

  // Where the output is written; errors name the output's path.
  CMedia& Media() { return *file_; }
  // Closes the file and puts it in place of the output; XFile when the rename fails.
  void Commit();

 private:
  std::string path_;         // as given
  std::string target_;       // what is replaced: the path, or its symbolic links' final target
  std::string partialPath_;  // the hidden file being written; empty when writing directly
  int registrySlot_ = -1;
  std::unique_ptr<CMedia> file_;
  bool committed_ = false;
};

}  // namespace NSFerryman
