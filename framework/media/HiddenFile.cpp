#include "framework/media/HiddenFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/PartialOutputRegistry.h"

namespace NSFerryman {

namespace {

constexpr char kPrefix[] = ".hamper-";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr std::size_t kRandomLength = 10;
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";

const char* SuffixOf(EHiddenKind kind) { return kind == EHiddenKind::kPart ? ".part" : ".spill"; }

// Short, whatever the output's name: that may be as long as the file system allows.
std::string NewNameOf(EHiddenKind kind) {
  thread_local std::mt19937_64 random{(std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}() ^
                                      static_cast<std::uint64_t>(::getpid())};
  std::string name = kPrefix;
  for (std::size_t i = 0; i < kRandomLength; ++i) name += kAlphabet[random() % 36];
  return name + SuffixOf(kind);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Takes the lock without waiting: 1 taken, 0 held by someone else, -1 the file system has no locks.
int TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 1;
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? 0 : -1;
  }
}

void RemoveIfLeftover(int folder, const char* name) {
  struct stat there;
  // Only regular files are opened: opening a device can have effects of its own.
  if (::fstatat(folder, name, &there, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(there.st_mode)) return;
  const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened;
  // Still the file looked at, its writer gone, and still at that name when removed.
  if (::fstat(fd, &opened) == 0 && SameFile(opened, there) && TryLock(fd) == 1 &&
      ::fstatat(folder, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, there)) {
    ::unlinkat(folder, name, 0);
  }
  ::close(fd);
}

// Sweeps the folder open as `folder`, and closes it.
void RemoveLeftoversIn(int folder) {
  DIR* listing = ::fdopendir(folder);
  if (!listing) {
    ::close(folder);
    return;
  }
  while (const dirent* entry = ::readdir(listing)) {
    if (IsHiddenFileName(entry->d_name)) RemoveIfLeftover(::dirfd(listing), entry->d_name);
  }
  ::closedir(listing);
}

}  // namespace

std::string NewHiddenFileName(EHiddenKind kind) { return NewNameOf(kind); }

bool IsHiddenFileName(const std::string& name) {
  if (!name.starts_with(kPrefix)) return false;
  const std::string_view rest = std::string_view(name).substr(kPrefixLength);
  if (rest.size() <= kRandomLength) return false;
  const std::string_view suffix = rest.substr(kRandomLength);
  if (suffix != SuffixOf(EHiddenKind::kPart) && suffix != SuffixOf(EHiddenKind::kSpill)) return false;
  return std::all_of(rest.begin(), rest.begin() + kRandomLength,
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

void RemoveLeftoverFiles(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  RemoveLeftoversIn(fd);
}

void RemoveLeftoverFilesAt(int folder) {
  // A descriptor of its own: the listing's position is not shared with the caller's.
  const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) RemoveLeftoversIn(fd);
}

CHiddenFileLock::CHiddenFileLock(int fd) : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0)) {}

CHiddenFileLock& CHiddenFileLock::operator=(CHiddenFileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void CHiddenFileLock::Release() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool LockNewHiddenFile(int fd, int folder, const std::string& name) {
  // Without locks on this file system no sweep can take the file either.
  const int locked = TryLock(fd);
  if (locked != 1) return locked == -1;
  // A sweep may have removed the file between its creation and the lock: then it is not ours to
  // write, whatever the descriptor says.
  struct stat mine, there;
  return ::fstat(fd, &mine) == 0 && ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
         SameFile(mine, there);
}

std::pair<int, std::string> CreateHiddenFile(int folder, const std::string& folderPath, EHiddenKind kind, int mode,
                                             const std::string& shownAs) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = NewNameOf(kind);
    const std::string where = folder == AT_FDCWD ? (folderPath.empty() ? name : folderPath + "/" + name) : name;
    // Exclusive and not through a link: a name that is taken, by a file or a link, is never opened.
    const int fd = ::openat(folder, where.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      ThrowFileError(errno, FileOperation::kCreate, shownAs);
    }
    if (LockNewHiddenFile(fd, folder, where)) return {fd, where};
    ::close(fd);
  }
  throw XCreateFailed(shownAs + ": no free name for a hidden file beside it");
}

CHiddenFile::CHiddenFile(const std::string& folder, EHiddenKind kind, const std::string& shownAs)
    : CHiddenFile(CreateHiddenFile(AT_FDCWD, folder, kind, 0600, shownAs), shownAs) {}

CHiddenFile::CHiddenFile(std::pair<int, std::string> created, const std::string& shownAs)
    : COpenFile(created.first, shownAs),
      hiddenPath_(std::move(created.second)),
      // Spilled data can be large: a process ended by a signal removes it too.
      registrySlot_(RegisterPartialOutput(hiddenPath_)) {}

CHiddenFile::~CHiddenFile() {
  // Removed while still locked: no sweep can find it unlocked first.
  ::unlink(hiddenPath_.c_str());
  Close();
  UnregisterPartialOutput(registrySlot_);
}

}  // namespace NSFerryman
