#include "navigation/ShellItem.h"

#include <cerrno>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>

#include "filetypes/FileType.h"
#include "framework/media/FileErrors.h"
#include "framework/media/OpenFile.h"

namespace {

namespace fs = std::filesystem;

std::string NormalPath(const std::string& path) {
  std::string p = fs::absolute(fs::path(path)).lexically_normal().string();
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

bool StatPath(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

struct CDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

CNavigationHolder MINIShellItem::ForPath(const std::string& path) {
  struct stat st;
  const std::string normal = NormalPath(path);
  const bool folder = StatPath(normal, st) && S_ISDIR(st.st_mode);
  return MakeNavigationItem<MINIShellItem>(normal, folder ? Kind::kFolder : Kind::kFile);
}

CNavigationHolder MINIShellItem::ForVolume(const CShellVolume& volume) {
  return MakeNavigationItem<MINIShellItem>(volume);
}

MINIShellItem::MINIShellItem(const std::string& path, Kind kind) : path_(NormalPath(path)), kind_(kind) {}

MINIShellItem::MINIShellItem(const CShellVolume& volume)
    : path_(NormalPath(volume.mountPoint)), kind_(Kind::kVolume), volumeName_(volume.name) {}

CNavigationHolder MINIShellItem::GetParent() const {
  // Volumes hang below the root of the browse tree, which is not a file-system object.
  if (kind_ == Kind::kVolume || path_ == "/") return {};
  return MakeNavigationItem<MINIShellItem>(fs::path(path_).parent_path().string(), Kind::kFolder);
}

std::shared_ptr<const MINIShellItem::CListing> MINIShellItem::List() const {
  auto listing = std::make_shared<CListing>();
  listing->folder = path_;
  std::unique_ptr<DIR, CDirCloser> dir(::opendir(path_.c_str()));
  if (!dir) NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kOpen, path_);
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (!entry) {
      if (errno != 0) NSFerryman::ThrowFileError(errno, NSFerryman::FileOperation::kRead, path_);
      break;
    }
    std::string name = entry->d_name;
    // Also drops "." and "..".
    if (name.empty() || name.front() == '.') continue;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // Links are followed: a link to a folder is a folder; a dangling link is a file that is not
      // available.
      struct stat st;
      isFolder = StatPath(JoinPath(path_, name), st) && S_ISDIR(st.st_mode);
    }
    listing->entries.push_back({std::move(name), isFolder});
  }
  return listing;
}

CNavigationHolder MINIShellItem::ChildAt(const std::shared_ptr<const CListing>& listing,
                                         std::size_t index) const {
  if (index >= listing->entries.size()) return {};
  const CListedEntry& entry = listing->entries[index];
  auto* child = new MINIShellItem(JoinPath(listing->folder, entry.name),
                                  entry.isFolder ? Kind::kFolder : Kind::kFile, CNormalPathTag{});
  CNavigationHolder holder = CNavigationHolder::Adopt(child);
  child->origin_ = listing;
  child->originIndex_ = index;
  return holder;
}

bool MINIShellItem::FindChild(const MINavigationInterface& child,
                              std::shared_ptr<const CListing>& listing, std::size_t& index) const {
  const auto* shellChild = dynamic_cast<const MINIShellItem*>(&child);
  if (shellChild && shellChild->origin_ && shellChild->origin_->folder == path_) {
    listing = shellChild->origin_;
    index = shellChild->originIndex_;
    return true;
  }
  listing = List();
  const std::string name = child.GetName();
  for (index = 0; index < listing->entries.size(); ++index) {
    const CListedEntry& entry = listing->entries[index];
    if (shellChild ? JoinPath(path_, entry.name) == shellChild->path_ : entry.name == name) return true;
  }
  return false;
}

CNavigationHolder MINIShellItem::GetFirstChild() const {
  if (kind_ == Kind::kFile) return {};
  return ChildAt(List(), 0);
}

CNavigationHolder MINIShellItem::GetLastChild() const {
  if (kind_ == Kind::kFile) return {};
  auto listing = List();
  if (listing->entries.empty()) return {};
  return ChildAt(listing, listing->entries.size() - 1);
}

CNavigationHolder MINIShellItem::GetNextChild(const MINavigationInterface& child) const {
  if (kind_ == Kind::kFile) return {};
  std::shared_ptr<const CListing> listing;
  std::size_t index = 0;
  if (!FindChild(child, listing, index)) return {};
  return ChildAt(listing, index + 1);
}

CNavigationHolder MINIShellItem::GetPreviousChild(const MINavigationInterface& child) const {
  if (kind_ == Kind::kFile) return {};
  std::shared_ptr<const CListing> listing;
  std::size_t index = 0;
  if (!FindChild(child, listing, index) || index == 0) return {};
  return ChildAt(listing, index - 1);
}

std::optional<CFileIdentity> MINIShellItem::GetFileIdentity() const {
  struct stat st;
  if (kind_ == Kind::kVolume || !StatPath(path_, st)) return std::nullopt;
  return CFileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool MINIShellItem::IsSame(const MINavigationInterface& other) const {
  if (this == &other) return true;
  const auto* shell = dynamic_cast<const MINIShellItem*>(&other);
  if (!shell || (kind_ == Kind::kVolume) != (shell->kind_ == Kind::kVolume)) return false;
  struct stat mine;
  struct stat theirs;
  if (StatPath(path_, mine) && StatPath(shell->path_, theirs)) {
    return mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
  }
  return path_ == shell->path_;
}

std::string MINIShellItem::GetName() const {
  if (kind_ == Kind::kVolume) return volumeName_;
  if (path_ == "/") return "/";
  return fs::path(path_).filename().string();
}

bool MINIShellItem::IsAvailable() const {
  if (kind_ == Kind::kVolume) return true;
  struct stat st;
  return StatPath(path_, st);
}

std::unique_ptr<NSFerryman::CMedia> MINIShellItem::OpenMedia() const {
  if (kind_ != Kind::kFile) return nullptr;
  return std::make_unique<NSFerryman::COpenFile>(NSFerryman::CFileSpec(path_));
}

std::uint64_t MINIShellItem::GetSize() const {
  struct stat st;
  if (kind_ != Kind::kFile || !StatPath(path_, st) || S_ISDIR(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

const CFileType* MINIShellItem::GetFileType() const {
  struct stat st;
  // FIFOs, devices and sockets are no files to pack, whatever their names say.
  if (kind_ != Kind::kFile || !StatPath(path_, st) || !S_ISREG(st.st_mode)) return nullptr;
  return &ClassifyFileName(GetName());
}
