#include "browse/ConfinedFolder.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/FileRename.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"

using NSFerryman::XCreateFailed;

namespace {

constexpr const char* kFolderInTheWay = "a folder of that name is in the way (folders are never replaced)";

// A file we created in a folder we hold open, as a media.
class CCreatedFile : public NSFerryman::COpenFile {
 public:
  CCreatedFile(int fd, std::string path) : COpenFile(fd, std::move(path)) {}
};

void CheckPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos) {
    throw NSFerryman::XBadFormat("\"" + name + "\" is not a plain file name");
  }
}

std::string PartialName() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{(std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}() ^
                                      static_cast<std::uint64_t>(::getpid())};
  std::string name = ".hamper-";
  for (int i = 0; i < 10; ++i) name += kAlphabet[random() % 36];
  return name + ".part";
}

// Why `name` in `folder` cannot be entered as a folder.
[[noreturn]] void NotAFolder(int folder, const std::string& name, const std::string& shown, int error) {
  struct stat st;
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISLNK(st.st_mode)) throw XCreateFailed(shown + ": is a symbolic link; nothing is written through it");
    if (!S_ISDIR(st.st_mode)) throw XCreateFailed(shown + ": is there already and is not a folder");
  }
  NSFerryman::ThrowFileError(error, NSFerryman::FileOperation::kCreate, shown);
}

// Enters `name` below `folder`, making it when missing; never through a symbolic link.
int EnterFolder(int folder, const std::string& name, const std::string& shown) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(folder, name.c_str(), kFlags);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(folder, name.c_str(), 0777) != 0 && errno != EEXIST) {
      NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kCreate, shown);
    }
    // Whatever is there now is opened with the same care: a link put in place of the new folder
    // is refused like any other.
    fd = ::openat(folder, name.c_str(), kFlags);
  }
  if (fd < 0) NotAFolder(folder, name, shown, errno);
  return fd;
}

// The name a signal handler removes the partial file by: through the open folder where /proc
// shows it, which stays short and names the folder we hold however deep it lies.
std::string RemovalPath(int folder, const std::string& partialPath, const std::string& partialName) {
  if (::access("/proc/self/fd", X_OK) == 0) return "/proc/self/fd/" + std::to_string(folder) + "/" + partialName;
  return partialPath;
}

}  // namespace

CConfinedOutputFile::CConfinedOutputFile(int folder, std::string partialName, std::string name, std::string shownPath,
                                         bool replace)
    : folder_(folder),
      partialName_(std::move(partialName)),
      name_(std::move(name)),
      shownPath_(std::move(shownPath)),
      replace_(replace) {}

CConfinedOutputFile::~CConfinedOutputFile() {
  file_.reset();
  if (!committed_ && !partialName_.empty()) ::unlinkat(folder_, partialName_.c_str(), 0);
  lock_.Release();
  NSFerryman::UnregisterPartialOutput(registrySlot_);
  ::close(folder_);
}

void CConfinedOutputFile::Commit() {
  file_.reset();
  const int error = NSFerryman::RenameIntoPlace(folder_, partialName_, folder_, name_, replace_);
  if (error == EEXIST) throw XTargetExists(shownPath_ + ": is there already");
  if (error == EISDIR || error == ENOTEMPTY) throw XCreateFailed(shownPath_ + ": " + kFolderInTheWay);
  if (error != 0) NSFerryman::ThrowFileError(error, NSFerryman::FileOperation::kCreate, shownPath_);
  lock_.Release();
  committed_ = true;
}

CConfinedFolder::CConfinedFolder(const std::string& path) : path_(path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) NSFerryman::ThrowFileError(ec.value(), NSFerryman::FileOperation::kCreate, path);
  fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kOpen, path);
}

CConfinedFolder::~CConfinedFolder() { ::close(fd_); }

std::unique_ptr<CConfinedOutputFile> CConfinedFolder::CreateFile(std::span<const std::string> folders,
                                                                 const std::string& name, bool replace) {
  for (const std::string& folder : folders) CheckPlainName(folder);
  CheckPlainName(name);

  // Each step holds the folder it reached open: what the names lead to cannot change under us.
  std::string shown;
  int current = ::dup(fd_);
  if (current < 0) NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kOpen, path_);
  try {
    for (const std::string& folder : folders) {
      shown += (shown.empty() ? "" : "/") + folder;
      const int next = EnterFolder(current, folder, shown);
      ::close(current);
      current = next;
    }
  } catch (...) {
    ::close(current);
    throw;
  }
  const std::string folderPath = shown.empty() ? path_ : path_ + "/" + shown;
  shown += (shown.empty() ? "" : "/") + name;
  std::unique_ptr<CConfinedOutputFile> file(new CConfinedOutputFile(current, "", name, shown, replace));

  // Refused early, before any work is spent on it; Commit checks again. A folder in the way is
  // said as such: it is never replaced, so being allowed to replace files would not help.
  struct stat st;
  if (::fstatat(current, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(st.st_mode)) throw XCreateFailed(shown + ": " + kFolderInTheWay);
    if (!replace) throw XTargetExists(shown + ": is there already");
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string partial = PartialName();
    // Exclusive and not through a link: a name that is taken is never opened.
    const int fd = ::openat(current, partial.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kCreate, shown);
    }
    // Locked while it is written, so that a later command here never takes it for a leftover.
    if (!NSFerryman::LockNewHiddenFile(fd, current, partial)) {
      ::close(fd);
      continue;
    }
    file->lock_ = NSFerryman::CHiddenFileLock(fd);
    file->partialName_ = partial;
    file->registrySlot_ = NSFerryman::RegisterPartialOutput(RemovalPath(current, folderPath + "/" + partial, partial));
    file->file_ = std::make_unique<CCreatedFile>(fd, path_ + "/" + shown);
    return file;
  }
  throw XCreateFailed(shown + ": no free name for a temporary file beside it");
}

