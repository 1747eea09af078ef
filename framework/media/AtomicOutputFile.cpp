#include "framework/media/AtomicOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/FileRename.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"

namespace NSFerryman {

namespace {

namespace fs = std::filesystem;

// Beyond this many links in a row the path is taken to loop, as the system itself would.
constexpr int kMaxLinks = 40;

// A file we created and opened ourselves, as a media.
class CCreatedFile : public COpenFile {
 public:
  CCreatedFile(int fd, std::string path) : COpenFile(fd, std::move(path)) {}
};

// A device, FIFO or socket written front to back: such outputs cannot seek (pwrite on a pipe
// fails), and nothing ever reads back what was written.
class CStreamOutput : public CMedia {
 public:
  CStreamOutput(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~CStreamOutput() override { ::close(fd_); }

  MediaSize GetSize() override { return position_; }
  MediaSize GetPosition() override { return position_; }
  void SetPosition(MediaSize position) override {
    if (position != position_) throw XPosition(path_ + ": is written front to back and cannot move its position");
  }
  void ReadAt(MediaSize, std::size_t, void*) override { throw XRead(path_ + ": is written only"); }
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override {
    SetPosition(position);
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    for (std::size_t done = 0; done < count;) {
      const ssize_t n = ::write(fd_, in + done, count - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowFileError(errno, FileOperation::kWrite, path_);
      }
      if (n == 0) throw XWrite(path_ + ": short write");
      done += static_cast<std::size_t>(n);
      position_ += static_cast<MediaSize>(n);
    }
  }

 private:
  int fd_;
  std::string path_;
  MediaSize position_ = 0;
};

// The path with its symbolic links followed to the last one's target. A link that leads to
// nothing is the output itself: following it would create a file wherever it points.
std::string FinalTarget(const std::string& path) {
  fs::path current(path);
  for (int links = 0;; ++links) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT) return links == 0 ? current.string() : path;
      ThrowFileError(errno, FileOperation::kOpen, path);
    }
    if (!S_ISLNK(st.st_mode)) return current.string();
    if (links == kMaxLinks) throw XFileNotFound(path + ": too many levels of symbolic links");
    std::error_code ec;
    const fs::path target = fs::read_symlink(current, ec);
    if (ec) ThrowFileError(ec.value(), FileOperation::kOpen, path);
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
}

// The rename itself reaches the disk with the folder's entry; a failure here loses nothing that
// the rename did not already promise, so it is not reported.
void SyncFolderOf(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

CAtomicOutputFile::CAtomicOutputFile(std::string path, const std::vector<std::string>& inputs, EKind kind)
    : path_(std::move(path)), target_(FinalTarget(path_)) {
  struct stat out;
  const bool exists = ::stat(target_.c_str(), &out) == 0;
  if (exists) {
    for (const std::string& input : inputs) {
      struct stat in;
      if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
        throw XCreateFailed(path_ + ": is the input file itself" + (input == path_ ? "" : " (" + input + ")") +
                            "; write the output elsewhere");
      }
    }
    if (S_ISDIR(out.st_mode)) throw XCreateFailed(path_ + ": is a folder");
    if (!S_ISREG(out.st_mode)) {
      if (kind == EKind::kRegularFile) {
        throw XCreateFailed(path_ + ": is not a regular file, and this output is written only to one");
      }
      // Nothing to rename over: write through it, as the shell's > would.
      const int fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd < 0) ThrowFileError(errno, FileOperation::kCreate, path_);
      file_ = std::make_unique<CStreamOutput>(fd, path_);
      return;
    }
  }

  const fs::path target(target_);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw XFileNotFound(path_ + ": its folder does not exist");
  // What killed commands left here goes before another hidden file joins it.
  RemoveLeftoverFiles(folder.string());
  const auto [fd, partial] = CreateHiddenFile(AT_FDCWD, folder.string(), EHiddenKind::kPart, 0666, path_);
  partialPath_ = partial;
  lock_ = CHiddenFileLock(fd);
  registrySlot_ = RegisterPartialOutput(partialPath_);
  // A replaced file keeps its permissions.
  if (exists) (void)::fchmod(fd, out.st_mode & 07777);
  file_ = std::make_unique<CCreatedFile>(fd, path_);
}

CAtomicOutputFile::~CAtomicOutputFile() {
  file_.reset();
  if (committed_ || partialPath_.empty()) return;
  ::unlink(partialPath_.c_str());
  UnregisterPartialOutput(registrySlot_);
}

COpenFile* CAtomicOutputFile::File() {
  return partialPath_.empty() || closed_ ? nullptr : static_cast<COpenFile*>(file_.get());
}

bool CAtomicOutputFile::TargetExists() const {
  struct stat st;
  return ::lstat(target_.c_str(), &st) == 0;
}

bool CAtomicOutputFile::Commit(EReplace replace) {
  if (committed_) return true;
  if (!closed_) {
    // On the disk before it takes the output's name: after a crash the name holds the old file or
    // the whole new one, never an empty or short one.
    if (auto* created = dynamic_cast<CCreatedFile*>(file_.get())) created->SyncAndClose();
    file_.reset();
    closed_ = true;
  }
  if (!partialPath_.empty()) {
    const int error = RenameIntoPlace(AT_FDCWD, partialPath_, AT_FDCWD, target_, replace == EReplace::kReplace);
    if (error == EEXIST) return false;
    if (error == EISDIR || error == ENOTEMPTY) throw XCreateFailed(path_ + ": is a folder");
    if (error != 0) throw XFile(path_ + ": cannot put the finished file in place: " + SystemErrorText(error));
    SyncFolderOf(target_);
  }
  // Held until the file has its final name, which no sweep looks at.
  lock_.Release();
  committed_ = true;
  UnregisterPartialOutput(registrySlot_);
  return true;
}

}  // namespace NSFerryman
