#include "framework/media/OpenFile.h"

#include <cerrno>
#include <fcntl.h>
#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"

namespace NSFerryman {

COpenFile::COpenFile(const CFileSpec& fileSpec) : path_(fileSpec.GetFullPath()) {
  // Opened without waiting: a FIFO would otherwise block the open until a writer came along.
  fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) ThrowFileError(errno, FileOperation::kOpen, path_);
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    const int error = errno;
    Close();
    ThrowFileError(error, FileOperation::kOpen, path_);
  }
  if (S_ISDIR(st.st_mode)) {
    Close();
    throw XFileNotFound(path_ + ": is a folder, not a file");
  }
  // Reads are positioned, which only files and disks allow.
  if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode)) {
    Close();
    throw XOpenFailed(path_ + ": is not a regular file");
  }
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  readOnly_ = true;
  size_ = static_cast<MediaSize>(st.st_size);
}

COpenFile::COpenFile(const CFileSpec& fileSpec, std::uint32_t /*creator*/, std::uint32_t /*fileType*/)
    : path_(fileSpec.GetFullPath()) {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) ThrowFileError(errno, FileOperation::kCreate, path_);
}

COpenFile::~COpenFile() { Close(); }

std::unique_ptr<COpenFile> COpenFile::Duplicate() const {
  const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) ThrowFileError(errno, FileOperation::kOpen, path_);
  std::unique_ptr<COpenFile> copy(new COpenFile(fd, path_));
  struct stat st;
  if (::fstat(fd, &st) != 0) ThrowFileError(errno, FileOperation::kOpen, path_);
  copy->readOnly_ = true;
  copy->size_ = static_cast<MediaSize>(st.st_size);
  return copy;
}

void COpenFile::SyncAndClose() {
  if (fd_ < 0) return;
  if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
    const int error = errno;
    Close();
    ThrowFileError(error, FileOperation::kWrite, path_);
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0 && errno != EINTR) ThrowFileError(errno, FileOperation::kWrite, path_);
}

void COpenFile::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

MediaSize COpenFile::GetSize() {
  if (readOnly_) return size_;
  struct stat st;
  if (::fstat(fd_, &st) != 0) throw XPosition(path_ + ": size cannot be read");
  return static_cast<MediaSize>(st.st_size);
}

void COpenFile::SetPosition(MediaSize position) {
  if (position == position_) return;
  if (position > static_cast<MediaSize>(std::numeric_limits<off_t>::max())) {
    throw XPosition(path_ + ": position out of range");
  }
  position_ = position;
}

namespace {

// Reads up to this size are served from the read-ahead block, which holds this much.
constexpr std::size_t kSmallRead = 4096;
constexpr std::size_t kReadAheadBlock = 65536;

}  // namespace

void COpenFile::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  if (!readOnly_ || count > kSmallRead) {
    ReadDirect(position, count, buffer);
    return;
  }
  SetPosition(position);
  if (position < blockStart_ || position + count > blockStart_ + blockLength_) {
    if (!block_) block_ = std::make_unique<std::uint8_t[]>(kReadAheadBlock);
    blockStart_ = position;
    blockLength_ = 0;
    while (blockLength_ < kReadAheadBlock) {
      const ssize_t n = ::pread(fd_, block_.get() + blockLength_, kReadAheadBlock - blockLength_,
                                static_cast<off_t>(blockStart_ + blockLength_));
      if (n < 0) {
        if (errno == EINTR) continue;
        blockLength_ = 0;
        ThrowFileError(errno, FileOperation::kRead, path_);
      }
      if (n == 0) break;
      blockLength_ += static_cast<std::size_t>(n);
    }
    if (blockLength_ < count) {
      throw XRead(path_ + ": " + std::to_string(count) + " bytes asked at " + std::to_string(position) + ", " +
                  std::to_string(blockLength_) + " there");
    }
  }
  if (count > 0) std::memcpy(buffer, block_.get() + (position - blockStart_), count);
  position_ = position + count;
}

void COpenFile::ReadDirect(MediaSize position, std::size_t count, void* buffer) {
  SetPosition(position);
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(position_));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, FileOperation::kRead, path_);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    position_ += static_cast<MediaSize>(n);
  }
  if (done < count) {
    throw XRead(path_ + ": " + std::to_string(count) + " bytes asked at " + std::to_string(position) + ", " +
                std::to_string(done) + " there");
  }
}

void COpenFile::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  SetPosition(position);
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(position_));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, FileOperation::kWrite, path_);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    position_ += static_cast<MediaSize>(n);
  }
  if (done < count) throw XWrite(path_ + ": short write");
}

}  // namespace NSFerryman

namespace NSFerryman {

void COpenFile::Truncate(MediaSize size) {
  if (size > static_cast<MediaSize>(std::numeric_limits<off_t>::max())) throw XPosition(path_ + ": size out of range");
  while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) ThrowFileError(errno, FileOperation::kWrite, path_);
  }
}

void COpenFile::CopyFromFile(COpenFile& source, MediaSize from, MediaSize to, MediaSize count) {
  MediaSize done = 0;
  bool kernelCopy = true;
  while (done < count) {
    if (kernelCopy) {
      auto in = static_cast<off_t>(from + done);
      auto out = static_cast<off_t>(to + done);
      const ssize_t n = ::copy_file_range(source.fd_, &in, fd_, &out, static_cast<std::size_t>(count - done), 0);
      if (n > 0) {
        done += static_cast<MediaSize>(n);
        continue;
      }
      if (n == 0) throw XRead(source.path_ + ": " + std::to_string(count) + " bytes asked at " + std::to_string(from) +
                              ", " + std::to_string(done) + " there");
      if (errno == EINTR) continue;
      // Not between these file systems or files: the buffered copy below does the rest.
      if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        ThrowFileError(errno, FileOperation::kWrite, path_);
      }
      kernelCopy = false;
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<MediaSize>(count - done, 1 << 20)));
    while (done < count) {
      const auto n = static_cast<std::size_t>(std::min<MediaSize>(count - done, buffer.size()));
      source.ReadAt(from + done, n, buffer.data());
      WriteAt(to + done, n, buffer.data());
      done += n;
    }
  }
  position_ = to + count;
}

}  // namespace NSFerryman
