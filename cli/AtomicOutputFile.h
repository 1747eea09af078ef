#pragma once
// An output file that appears only when it is complete. It is written under a temporary name in
// the output's own folder (so the final rename stays on one file system) and renamed over the
// output by Commit. Destroyed without Commit, as when writing failed, it removes the temporary
// file and leaves an existing output untouched.

#include <memory>
#include <string>

#include "framework/media/OpenFile.h"

namespace cli {

class CAtomicOutputFile {
 public:
  // Creates the temporary file beside `path`; XFile family when the folder cannot take it.
  explicit CAtomicOutputFile(std::string path);
  ~CAtomicOutputFile();
  CAtomicOutputFile(const CAtomicOutputFile&) = delete;
  CAtomicOutputFile& operator=(const CAtomicOutputFile&) = delete;

  NSFerryman::CMedia& Media() { return *file_; }
  // Closes the file and puts it in place of the output; XFile when the rename fails.
  void Commit();

 private:
  std::string path_;
  std::string temporaryPath_;
  std::unique_ptr<NSFerryman::COpenFile> file_;
  bool committed_ = false;
};

}  // namespace cli
