#pragma once
// MINIShellItem: a file, folder or volume of the file system as a navigation item.
//
// Folders list their entries in the order the file system gives them, leaving out "." and ".."
// and hidden entries (names that begin with "."). The listing is taken once per walk: the first
// child carries it, and GetNextChild/GetPreviousChild with a child of that walk step through the
// same listing, so a walk is linear in the number of entries and unaffected by later changes.
// A child obtained some other way is looked up in a fresh listing by name.
//
// Two shell items are the same when they denote the same file-system object (same device and
// inode while it exists, else the same path).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "navigation/NavigationInterface.h"
#include "navigation/VolumeTable.h"

class MINIShellItem : public MINavigationInterface {
 public:
  enum class Kind { kFile, kFolder, kVolume };

  // The item for a path: a folder when the path names one (links followed), else a file. A
  // relative path is taken relative to the working folder.
  static CNavigationHolder ForPath(const std::string& path);
  // The item for a mounted volume.
  static CNavigationHolder ForVolume(const CShellVolume& volume);

  // An item for a path whose kind is known. The path is made absolute and normal.
  MINIShellItem(const std::string& path, Kind kind);
  explicit MINIShellItem(const CShellVolume& volume);

  Kind GetKind() const { return kind_; }
  // The absolute path ("/" for the top of the file system; a volume's mount point).
  const std::string& GetPath() const { return path_; }

  CNavigationHolder GetParent() const override;
  CNavigationHolder GetFirstChild() const override;
  CNavigationHolder GetLastChild() const override;
  bool IsSame(const MINavigationInterface& other) const override;
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override;
  CNavigationHolder GetPreviousChild(const MINavigationInterface& child) const override;
  bool IsContainer() const override { return kind_ != Kind::kFile; }
  bool IsFileSystemObject() const override { return true; }
  std::string GetName() const override;
  bool IsAvailable() const override;
  std::unique_ptr<NSFerryman::CMedia> OpenMedia() const override;
  std::uint64_t GetSize() const override;
  const CFileType* GetFileType() const override;
  std::optional<CFileIdentity> GetFileIdentity() const override;

 protected:
  ~MINIShellItem() override = default;

 private:
  struct CListedEntry {
    std::string name;
    bool isFolder;
  };
  struct CListing {
    std::string folder;  // path of the listed folder
    std::vector<CListedEntry> entries;
  };

  // A child found in a listing: its path is already absolute and normal.
  struct CNormalPathTag {};
  MINIShellItem(std::string normalPath, Kind kind, CNormalPathTag)
      : path_(std::move(normalPath)), kind_(kind) {}

  std::shared_ptr<const CListing> List() const;
  CNavigationHolder ChildAt(const std::shared_ptr<const CListing>& listing, std::size_t index) const;
  // Where `child` stands in a listing of this folder; false when it is not one of its entries.
  bool FindChild(const MINavigationInterface& child, std::shared_ptr<const CListing>& listing,
                 std::size_t& index) const;

  std::string path_;
  Kind kind_;
  std::string volumeName_;
  // The listing this item was found in, and its place there (empty when not found by a walk).
  std::shared_ptr<const CListing> origin_;
  std::size_t originIndex_ = 0;
};
