#include "cli/AtomicOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "framework/media/Exceptions.h"
#include "framework/media/FileSpec.h"

namespace cli {

namespace fs = std::filesystem;

CAtomicOutputFile::CAtomicOutputFile(std::string path) : path_(std::move(path)) {
  const fs::path target(path_);
  if (fs::is_directory(target)) throw NSFerryman::XCreateFailed(path_ + ": is a folder");
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder)) throw NSFerryman::XFileNotFound(path_ + ": its folder does not exist");
  std::random_device seed;
  std::mt19937 random(seed());
  // A hidden name beside the output; a name that is taken is never reused, so nothing of
  // someone else's is truncated.
  for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
    const fs::path candidate = folder / ("." + target.filename().string() + ".part" +
                                                        std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000));
    std::error_code ec;
    if (fs::exists(fs::symlink_status(candidate, ec))) continue;
    temporaryPath_ = candidate.string();
    file_ = std::make_unique<NSFerryman::COpenFile>(NSFerryman::CFileSpec(temporaryPath_), 0, 0);
  }
  if (!file_) throw NSFerryman::XCreateFailed(path_ + ": no free temporary name beside it");
}

CAtomicOutputFile::~CAtomicOutputFile() {
  if (committed_) return;
  file_.reset();
  if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

void CAtomicOutputFile::Commit() {
  file_.reset();
  if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    throw NSFerryman::XFile(path_ + ": cannot put the finished file in place: " + std::strerror(error));
  }
  committed_ = true;
}

}  // namespace cli
