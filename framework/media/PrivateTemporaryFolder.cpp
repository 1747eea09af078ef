#include "framework/media/PrivateTemporaryFolder.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/PartialOutputRegistry.h"
#include "framework/media/TemporaryOpenFile.h"

namespace NSFerryman {

namespace {

// Gives up after this many folders swept away between their making and their locking.
constexpr int kAttempts = 8;

bool TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool SameFolder(int fd, const std::string& path) {
  struct stat opened, there;
  return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &there) == 0 && opened.st_dev == there.st_dev &&
         opened.st_ino == there.st_ino;
}

}  // namespace

CPrivateTemporaryFolder::CPrivateTemporaryFolder(const std::string& prefix) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = CTemporaryOpenFile::TemporaryFolder() + prefix + "XXXXXX";
    // Made with mode 0700, under a name no one had.
    if (!::mkdtemp(pattern.data())) ThrowFileError(errno, FileOperation::kCreate, pattern);
    const int fd = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) ThrowFileError(errno, FileOperation::kOpen, pattern);
    // A sweep may have taken it for a leftover before it was locked: then it is gone, or another.
    if (TryLock(fd) && SameFolder(fd, pattern)) {
      path_ = pattern;
      fd_ = fd;
      registrySlot_ = RegisterPartialFolder(path_);
      return;
    }
    ::close(fd);
  }
  throw XCreateFailed(CTemporaryOpenFile::TemporaryFolder() + prefix + "...: a temporary folder could not be made");
}

CPrivateTemporaryFolder::~CPrivateTemporaryFolder() {
  UnregisterPartialOutput(registrySlot_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  ::close(fd_);
}

void RemoveLeftoverTemporaryFolders(const std::string& prefix) {
  const std::string folder = CTemporaryOpenFile::TemporaryFolder();
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
    const std::string path = folder + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    // Still the folder looked at, its owner gone.
    if (SameFolder(fd, path) && TryLock(fd)) {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
    ::close(fd);
  }
  ::closedir(listing);
}

}  // namespace NSFerryman
