#include "browse/ConfinedFolder.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "framework/media/FileErrors.h"
#include "framework/media/FileRename.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"

using NSFerryman::XCreateFailed;

// The files named through one confined folder, by identity. A file system that does not tell some
// names apart (letter case, on vfat or exFAT) takes a second name for the first file: that file
// is then "there already", and must be neither replaced nor taken for a file the user had there.
struct CNamedFiles {
  using CIdentity = std::pair<dev_t, ino_t>;
  void Add(const CIdentity& file) {
    std::lock_guard lock(mutex);
    files.insert(file);
  }
  bool Holds(const struct stat& st) {
    std::lock_guard lock(mutex);
    return files.contains({st.st_dev, st.st_ino});
  }
  // Whether `name` in `folder` is one of them.
  bool HoldsName(int folder, const std::string& name) {
    struct stat st;
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && Holds(st);
  }

  std::mutex mutex;  // the committing thread adds while the writing one asks
  std::set<CIdentity> files;
};

struct CConfinedFolderHandle {
  CConfinedFolderHandle(int fd, std::string path, std::string shown)
      : fd(fd), path(std::move(path)), shownPath(std::move(shown)) {
    struct stat st;
    device = ::fstat(fd, &st) == 0 ? st.st_dev : 0;
  }
  ~CConfinedFolderHandle() { ::close(fd); }
  CConfinedFolderHandle(const CConfinedFolderHandle&) = delete;
  CConfinedFolderHandle& operator=(const CConfinedFolderHandle&) = delete;

  int fd;
  std::string path;       // the whole path
  std::string shownPath;  // below the confined folder (the whole path for the folder itself)
  dev_t device;
  // The folder this one was made in, while the entry that names it may not be on the disk yet.
  std::shared_ptr<CConfinedFolderHandle> madeIn;
  // The file system here cannot create files without a name.
  bool noAnonymousFiles = false;
  std::shared_ptr<CNamedFiles> named;
};

// A file we created in a folder we hold open, as a media.
class CCreatedFile : public NSFerryman::COpenFile {
 public:
  CCreatedFile(int fd, std::string path) : COpenFile(fd, std::move(path)), fd_(fd) {}
  int Descriptor() const { return fd_; }

 private:
  int fd_;
};

namespace {

constexpr const char* kFolderInTheWay = "a folder of that name is in the way (folders are never replaced)";
constexpr const char* kNamedBefore =
    "the file system here takes this name for that of a file written before, and cannot hold both";
// At most this many files in a batch; a sync for each this many costs next to nothing.
constexpr std::size_t kLargestBatch = 4096;
// Files with a hidden name in one batch: each takes a slot of the signal handler's list.
constexpr std::size_t kLargestNamedBatch = 16;

// /proc shows each open file, so a file without a name can be linked through it, and a partial
// file removed by a name that stays short however deep its folder lies.
bool ProcShowsOpenFiles() {
  static const bool shows = ::access("/proc/self/fd", X_OK) == 0;
  return shows;
}
std::string OpenFilePath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

void CheckPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos) {
    throw NSFerryman::XBadFormat("\"" + name + "\" is not a plain file name");
  }
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

// Enters `name` below `folder`, making it when missing (`made` then says so); never through a
// symbolic link.
int EnterFolder(int folder, const std::string& name, const std::string& shown, bool& made) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(folder, name.c_str(), kFlags);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(folder, name.c_str(), 0777) == 0) {
      made = true;
    } else if (errno != EEXIST) {
      NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kCreate, shown);
    }
    // Whatever is there now is opened with the same care: a link put in place of the new folder
    // is refused like any other.
    fd = ::openat(folder, name.c_str(), kFlags);
  }
  if (fd < 0) NotAFolder(folder, name, shown, errno);
  return fd;
}

// Syncs a folder: what was named in it, or made in it, is on the disk.
void SyncFolder(const CConfinedFolderHandle& folder) {
  // Some file systems cannot sync a folder, and say so; there is nothing more to be done there.
  if (::fsync(folder.fd) != 0 && errno != EINVAL && errno != EROFS) {
    NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kWrite, folder.shownPath);
  }
}

// Syncs the folder and each folder this run made above it, whose entries must be on the disk too.
void SyncFolderAndMadeParents(CConfinedFolderHandle& folder) {
  SyncFolder(folder);
  for (CConfinedFolderHandle* made = &folder; made->madeIn;) {
    SyncFolder(*made->madeIn);
    made = std::exchange(made->madeIn, nullptr).get();
  }
}

std::pair<dev_t, ino_t> Identity(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? std::pair{st.st_dev, st.st_ino} : std::pair<dev_t, ino_t>{0, 0};
}

void AddOnce(std::vector<std::shared_ptr<CConfinedFolderHandle>>& folders,
             const std::shared_ptr<CConfinedFolderHandle>& folder) {
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
}

}  // namespace

CConfinedOutputFile::CConfinedOutputFile(std::shared_ptr<CConfinedFolderHandle> folder, std::string name,
                                         std::string shownPath, bool replace)
    : folder_(std::move(folder)), name_(std::move(name)), shownPath_(std::move(shownPath)), replace_(replace) {}

CConfinedOutputFile::~CConfinedOutputFile() {
  file_.reset();
  if (!committed_ && !partialName_.empty()) ::unlinkat(folder_->fd, partialName_.c_str(), 0);
  lock_.Release();
  NSFerryman::UnregisterPartialOutput(registrySlot_);
}

NSFerryman::CMedia& CConfinedOutputFile::Media() { return *file_; }

void CConfinedOutputFile::SyncData() {
  if (::fsync(file_->Descriptor()) != 0 && errno != EINVAL && errno != EROFS) {
    NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kWrite, shownPath_);
  }
}

void CConfinedOutputFile::RenameIntoPlace() {
  if (replace_ && folder_->named->HoldsName(folder_->fd, name_)) throw XCreateFailed(shownPath_ + ": " + kNamedBefore);
  const int error = NSFerryman::RenameIntoPlace(folder_->fd, partialName_, folder_->fd, name_, replace_);
  if (error == EEXIST && folder_->named->HoldsName(folder_->fd, name_)) throw XCreateFailed(shownPath_ + ": " + kNamedBefore);
  if (error == EEXIST) throw XTargetExists(shownPath_ + ": is there already");
  if (error == EISDIR || error == ENOTEMPTY) throw XCreateFailed(shownPath_ + ": " + kFolderInTheWay);
  if (error != 0) NSFerryman::ThrowFileError(error, NSFerryman::FileOperation::kCreate, shownPath_);
}

void CConfinedOutputFile::Name() {
  if (!anonymous_) {
    file_.reset();
    RenameIntoPlace();
    committed_ = true;
    lock_.Release();
    folder_->named->Add(identity_);
    return;
  }
  const std::string self = OpenFilePath(file_->Descriptor());
  if (!replace_) {
    // A link never replaces what is there, whatever appeared meanwhile.
    if (::linkat(AT_FDCWD, self.c_str(), folder_->fd, name_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      const int error = errno;
      struct stat st;
      if (error == EEXIST && ::fstatat(folder_->fd, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode)) throw XCreateFailed(shownPath_ + ": " + kFolderInTheWay);
        if (folder_->named->Holds(st)) throw XCreateFailed(shownPath_ + ": " + kNamedBefore);
      }
      if (error == EEXIST) throw XTargetExists(shownPath_ + ": is there already");
      NSFerryman::ThrowFileError(error, NSFerryman::FileOperation::kCreate, shownPath_);
    }
  } else {
    // Replacing is a rename, which only a named file can do: it gets a hidden name first.
    for (int attempt = 0; partialName_.empty(); ++attempt) {
      const std::string partial = NSFerryman::NewHiddenFileName(NSFerryman::EHiddenKind::kPart);
      if (::linkat(AT_FDCWD, self.c_str(), folder_->fd, partial.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        // A sweep that took it for a leftover before the lock has removed that name: take another.
        if (!NSFerryman::LockNewHiddenFile(file_->Descriptor(), folder_->fd, partial)) {
          if (attempt == 100) throw XCreateFailed(shownPath_ + ": no free name for a hidden file beside it");
          continue;
        }
        lock_ = NSFerryman::CHiddenFileLock(file_->Descriptor());
        partialName_ = partial;
        registrySlot_ = NSFerryman::RegisterPartialOutput(OpenFilePath(folder_->fd) + "/" + partial);
      } else if (errno != EEXIST || attempt == 100) {
        NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kCreate, shownPath_);
      }
    }
    RenameIntoPlace();
  }
  committed_ = true;
  lock_.Release();
  folder_->named->Add(identity_);
  file_.reset();
}

void CConfinedOutputFile::Commit() {
  SyncData();
  Name();
  SyncFolderAndMadeParents(*folder_);
}

CConfinedFolder::CConfinedFolder(const std::string& path) : path_(path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) NSFerryman::ThrowFileError(ec.value(), NSFerryman::FileOperation::kCreate, path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kOpen, path);
  root_ = std::make_shared<CConfinedFolderHandle>(fd, path, path);
  NSFerryman::RemoveLeftoverFilesAt(fd);
  root_->named = std::make_shared<CNamedFiles>();
}

CConfinedFolder::~CConfinedFolder() {
  if (committer_.joinable()) committer_.join();
}

std::shared_ptr<CConfinedFolderHandle> CConfinedFolder::Enter(std::span<const std::string> folders, std::string& shown) {
  // Items come in the order of their paths, so most files go where the last one went.
  std::size_t kept = 0;
  while (kept < entered_.size() && kept < folders.size() && entered_[kept].first == folders[kept]) ++kept;
  entered_.resize(kept);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    shown += (i ? "/" : "") + folders[i];
    if (i < kept) continue;
    const std::shared_ptr<CConfinedFolderHandle>& parent = i == 0 ? root_ : entered_[i - 1].second;
    bool made = false;
    const int fd = EnterFolder(parent->fd, folders[i], shown, made);
    // What a killed extraction left here; a folder just made holds nothing.
    if (!made) NSFerryman::RemoveLeftoverFilesAt(fd);
    auto handle = std::make_shared<CConfinedFolderHandle>(fd, path_ + "/" + shown, shown);
    if (made) handle->madeIn = parent;
    handle->named = root_->named;
    entered_.emplace_back(folders[i], std::move(handle));
  }
  return folders.empty() ? root_ : entered_.back().second;
}

std::unique_ptr<CConfinedOutputFile> CConfinedFolder::CreateFile(std::span<const std::string> folders,
                                                                 const std::string& name, bool replace) {
  for (const std::string& folder : folders) CheckPlainName(folder);
  CheckPlainName(name);

  // Each folder reached is held open: what the names lead to cannot change under us.
  std::string shown;
  const std::shared_ptr<CConfinedFolderHandle> folder = Enter(folders, shown);
  shown += (shown.empty() ? "" : "/") + name;
  std::unique_ptr<CConfinedOutputFile> file(new CConfinedOutputFile(folder, name, shown, replace));

  // Refused early, before any work is spent on it; naming it checks again. A folder in the way
  // is said as such: it is never replaced, so being allowed to replace files would not help.
  struct stat st;
  if (::fstatat(folder->fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(st.st_mode)) throw XCreateFailed(shown + ": " + kFolderInTheWay);
    if (folder->named->Holds(st)) throw XCreateFailed(shown + ": " + kNamedBefore);
    if (!replace) throw XTargetExists(shown + ": is there already");
  }
  // Without a name, nothing is left behind when the process ends before the file is complete,
  // however it ends.
  if (ProcShowsOpenFiles() && !folder->noAnonymousFiles) {
    const int fd = ::openat(folder->fd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd >= 0) {
      file->anonymous_ = true;
      file->file_ = std::make_unique<CCreatedFile>(fd, path_ + "/" + shown);
      file->identity_ = Identity(fd);
      return file;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kCreate, shown);
    }
    folder->noAnonymousFiles = true;
  }
  // Exclusive, not through a link, and locked while it is written, so that a later command here
  // never takes it for a leftover.
  auto [fd, partial] = NSFerryman::CreateHiddenFile(folder->fd, "", NSFerryman::EHiddenKind::kPart, 0666, shown);
  file->lock_ = NSFerryman::CHiddenFileLock(fd);
  file->partialName_ = partial;
  file->registrySlot_ = NSFerryman::RegisterPartialOutput(
      ProcShowsOpenFiles() ? OpenFilePath(folder->fd) + "/" + partial : folder->path + "/" + partial);
  file->file_ = std::make_unique<CCreatedFile>(fd, path_ + "/" + shown);
  file->identity_ = Identity(fd);
  return file;
}

std::size_t CConfinedFolder::BatchCapacity() const {
  if (pendingNamed_ > 0) return kLargestNamedBatch;
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kLargestBatch;
  // Two batches open at once, and room for the process's other files.
  const rlim_t room = limit.rlim_cur > 128 ? (limit.rlim_cur - 64) / 2 : 1;
  return static_cast<std::size_t>(std::clamp<rlim_t>(room, 1, kLargestBatch));
}

void CConfinedFolder::CommitLater(std::unique_ptr<CConfinedOutputFile> file) {
  pendingBytes_ += file->Media().GetPosition();
  if (!file->anonymous_) ++pendingNamed_;
  pending_.push_back(std::move(file));
}

std::vector<CConfinedFolder::CCommitFailure> CConfinedFolder::CommitBatch(
    std::vector<std::unique_ptr<CConfinedOutputFile>>& batch) {
  std::vector<CCommitFailure> failures;
  // One sync of each file system puts every file's data on the disk, and the names and folders
  // of the batch before, for about one journal commit instead of one for each file.
  std::vector<dev_t> synced;
  bool allSynced = true;
  for (const auto& file : batch) {
    const CConfinedFolderHandle& folder = *file->folder_;
    if (std::find(synced.begin(), synced.end(), folder.device) != synced.end()) continue;
    if (::syncfs(folder.fd) != 0) allSynced = false;
    synced.push_back(folder.device);
  }
  // A sync that failed does not say what it failed for: each file and folder is then synced by itself.
  for (auto& folder : std::exchange(unsynced_, {})) {
    try {
      if (!allSynced) SyncFolderAndMadeParents(*folder);
      folder->madeIn = nullptr;
    } catch (...) {
      failures.push_back({folder->shownPath, std::current_exception()});
    }
  }
  for (auto& file : batch) {
    try {
      if (allSynced) {
        file->folder_->madeIn = nullptr;
      } else {
        file->SyncData();
      }
      file->Name();
      AddOnce(unsynced_, file->folder_);
    } catch (...) {
      failures.push_back({file->ShownPath(), std::current_exception()});
    }
    file.reset();
  }
  return failures;
}

std::vector<CConfinedFolder::CCommitFailure> CConfinedFolder::JoinCommitter() {
  if (committer_.joinable()) committer_.join();
  return std::exchange(committerFailures_, {});
}

std::vector<CConfinedFolder::CCommitFailure> CConfinedFolder::CommitPending() {
  std::vector<CCommitFailure> failures = JoinCommitter();
  if (pending_.empty()) return failures;
  auto batch = std::make_shared<std::vector<std::unique_ptr<CConfinedOutputFile>>>(std::exchange(pending_, {}));
  pendingBytes_ = 0;
  pendingNamed_ = 0;
  try {
    committer_ = std::thread([this, batch] {
      try {
        committerFailures_ = CommitBatch(*batch);
      } catch (...) {
        // Only memory running out gets here; the files not yet named are gone with the batch.
        committerFailures_.push_back({"", std::current_exception()});
      }
    });
  } catch (const std::system_error&) {
    // No thread to be had: the batch is committed here and now.
    std::vector<CCommitFailure> now = CommitBatch(*batch);
    failures.insert(failures.end(), now.begin(), now.end());
  }
  return failures;
}

std::vector<CConfinedFolder::CCommitFailure> CConfinedFolder::FinishCommits() {
  std::vector<CCommitFailure> failures = CommitPending();
  for (CCommitFailure& failure : JoinCommitter()) failures.push_back(std::move(failure));
  for (auto& folder : std::exchange(unsynced_, {})) {
    try {
      SyncFolderAndMadeParents(*folder);
    } catch (...) {
      failures.push_back({folder->shownPath, std::current_exception()});
    }
  }
  return failures;
}
