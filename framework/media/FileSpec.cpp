#include "framework/media/FileSpec.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/OpenFile.h"

namespace NSFerryman {

namespace fs = std::filesystem;

CFileSpec::CFileSpec(const std::string& path) {
  fs::path p = fs::absolute(fs::path(path)).lexically_normal();
  name_ = p.filename().string();
  folder_ = p.parent_path().string();
  if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

CFileSpec::CFileSpec(std::string volume, std::string folder, std::string name)
    : volume_(std::move(volume)), folder_(std::move(folder)), name_(std::move(name)) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::unique_ptr<CMedia> CFileSpec::OpenMedia() const { return std::make_unique<COpenFile>(*this); }

std::unique_ptr<CABCMediaSpec> CFileSpec::Clone() const { return std::make_unique<CFileSpec>(*this); }

bool CFileSpec::Exists() const {
  struct stat st;
  return ::stat(GetFullPath().c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void CFileSpec::Delete() const {
  if (::unlink(GetFullPath().c_str()) != 0) ThrowFileError(errno, FileOperation::kDelete, GetFullPath());
}

CDirSpec::CDirSpec(const std::string& path) {
  path_ = fs::absolute(fs::path(path)).lexically_normal().string();
  if (path_.empty() || path_.back() != '/') path_ += '/';
}

std::string CDirSpec::GetName() const {
  if (path_.size() <= 1) return "";
  const std::string trimmed = path_.substr(0, path_.size() - 1);
  return trimmed.substr(trimmed.rfind('/') + 1);
}

bool CDirSpec::Exists() const {
  struct stat st;
  return ::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

CVolumeInfo::CVolumeInfo(const CVolumeSpec& volume) {
  struct statvfs sv;
  if (::statvfs(volume.GetMountPoint().c_str(), &sv) != 0) {
    ThrowFileError(errno, FileOperation::kOther, volume.GetMountPoint());
  }
  freeBytes_ = static_cast<std::uint64_t>(sv.f_bavail) * sv.f_frsize;
}

}  // namespace NSFerryman
