#include "framework/media/MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"

namespace NSFerryman {

CMappedFile::CMappedFile(const CFileSpec& file) : path_(file.GetFullPath()) {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError(errno, FileOperation::kOpen, path_);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    ThrowFileError(err, FileOperation::kOpen, path_);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw XFileNotFound(path_ + ": is a folder, not a file");
  }
  size_ = static_cast<MediaSize>(st.st_size);
  if (size_ > 0) {
    void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      const int err = errno;
      ::close(fd);
      ThrowFileError(err, FileOperation::kRead, path_);
    }
    // Read once from start to end.
    ::madvise(p, size_, MADV_SEQUENTIAL | MADV_WILLNEED);
    data_ = static_cast<const std::uint8_t*>(p);
  }
  ::close(fd);  // the mapping stays valid without the descriptor
}

CMappedFile::~CMappedFile() {
  if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

void CMappedFile::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  if (position > size_ || count > size_ - position) {
    throw XRead(path_ + ": " + std::to_string(count) + " bytes asked at " + std::to_string(position) +
                " of a file of " + std::to_string(size_));
  }
  if (count > 0) std::memcpy(buffer, data_ + position, count);
  position_ = position + count;
}

void CMappedFile::WriteAt(MediaSize, std::size_t, const void*) { throw XWrite(path_ + ": opened for reading only"); }

}  // namespace NSFerryman
