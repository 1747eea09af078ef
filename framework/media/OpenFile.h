#pragma once
// Files as media, over POSIX descriptors with positioned reads and writes. The position is cached
// so that reads and writes that continue where the last one ended cost no seek.
//
// A file opened for reading serves small reads from a read-ahead block: parsers read fields of a
// few bytes each, and a system call for every one of them would cost more than the parsing. Its
// size is taken once, when it is opened. One object serves one thread at a time.

#include <memory>
#include <string>

#include "framework/media/FileSpec.h"
#include "framework/media/Media.h"

namespace NSFerryman {

class COpenFile : public CMedia {
 public:
  enum class Mode { kRead, kCreate };

  // Opens an existing file for reading.
  explicit COpenFile(const CFileSpec& fileSpec);
  // Creates the file, or truncates an existing one, for reading and writing. The creator and
  // type codes are for platforms that store them; here only the path is used.
  COpenFile(const CFileSpec& fileSpec, std::uint32_t creator, std::uint32_t fileType);
  ~COpenFile() override;

  MediaSize GetSize() override;
  MediaSize GetPosition() override { return position_; }
  void SetPosition(MediaSize position) override;
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  const std::string& GetPath() const { return path_; }

  // Another descriptor of this same open file (dup), read-only: it reads the file this one reads
  // even when the name now holds another file or none, with a position and read-ahead of its own,
  // so that another thread can read it. The XFile family when no descriptor is left to give.
  std::unique_ptr<COpenFile> Duplicate() const;
  // The descriptor, for what media do not say (the file's identity, a path to it in /proc).
  int GetDescriptor() const { return fd_; }

  // Puts what was written on the disk, then closes the file: the XFile family when either fails
  // (a full disk or a quota may only show here). The media cannot be used afterwards.
  void SyncAndClose();

  // Cuts the file to `size` bytes (or lengthens it with zeros). The XFile family when it fails.
  void Truncate(MediaSize size);

  // Copies `count` bytes from `source` at `from` to this file at `to`, inside the kernel where the
  // file systems allow it (copy_file_range), else through a buffer. The position ends behind the
  // bytes written. XRead when the source has fewer bytes.
  void CopyFromFile(COpenFile& source, MediaSize from, MediaSize to, MediaSize count);

 protected:
  // Takes an already open descriptor (used by temporary files, which create theirs exclusively).
  COpenFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  void Close() noexcept;

 private:
  // Reads `count` bytes at `position` from the file itself.
  void ReadDirect(MediaSize position, std::size_t count, void* buffer);

  int fd_ = -1;
  MediaSize position_ = 0;
  std::string path_;
  // Read-only files: the size at opening, and the read-ahead block.
  bool readOnly_ = false;
  MediaSize size_ = 0;
  std::unique_ptr<std::uint8_t[]> block_;
  MediaSize blockStart_ = 0;
  std::size_t blockLength_ = 0;
};

}  // namespace NSFerryman
