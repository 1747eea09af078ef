#pragma once
// Where files and folders live. A CFileSpec is a volume, a folder path that ends with '/', and a
// file name; its full path is folder + name.

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "framework/media/Media.h"

namespace NSFerryman {

class CABCMediaSpec {
 public:
  virtual ~CABCMediaSpec() = default;
  // Opens a new media for reading; the caller owns it.
  virtual std::unique_ptr<CMedia> OpenMedia() const = 0;
  virtual std::unique_ptr<CABCMediaSpec> Clone() const = 0;
};

class CFileSpec : public CABCMediaSpec {
 public:
  CFileSpec() = default;
  // From a path; a relative path is taken relative to the working folder.
  explicit CFileSpec(const std::string& path);
  CFileSpec(std::string volume, std::string folder, std::string name);

  std::unique_ptr<CMedia> OpenMedia() const override;
  std::unique_ptr<CABCMediaSpec> Clone() const override;

  const std::string& GetVolume() const { return volume_; }
  const std::string& GetFolder() const { return folder_; }
  const std::string& GetName() const { return name_; }
  std::string GetFullPath() const { return folder_ + name_; }

  bool Exists() const;
  // Deletes the file; XFile family on failure (XFileNotFound when it is not there).
  void Delete() const;

  bool operator==(const CFileSpec& other) const {
    return volume_ == other.volume_ && folder_ == other.folder_ && name_ == other.name_;
  }

 private:
  std::string volume_;
  std::string folder_;
  std::string name_;
};

using CFileSpecList = std::list<CFileSpec>;

class CDirSpec {
 public:
  CDirSpec() = default;
  // From a path; the stored path always ends with '/'.
  explicit CDirSpec(const std::string& path);

  const std::string& GetPath() const { return path_; }
  // The last component of the path ("" for the top of the file system).
  std::string GetName() const;
  bool Exists() const;
  CFileSpec FileSpec(const std::string& name) const { return CFileSpec("", path_, name); }
  CDirSpec SubDir(const std::string& name) const { return CDirSpec(path_ + name); }

  bool operator==(const CDirSpec& other) const = default;

 private:
  std::string path_;
};

class CVolumeSpec {
 public:
  CVolumeSpec() = default;
  explicit CVolumeSpec(std::string mountPoint) : mountPoint_(std::move(mountPoint)) {}
  const std::string& GetMountPoint() const { return mountPoint_; }

 private:
  std::string mountPoint_;
};

class CVolumeInfo {
 public:
  explicit CVolumeInfo(const CVolumeSpec& volume);
  // Bytes free for an unprivileged user on the volume.
  std::uint64_t GetFreeSpace() const { return freeBytes_; }

 private:
  std::uint64_t freeBytes_ = 0;
};

}  // namespace NSFerryman
