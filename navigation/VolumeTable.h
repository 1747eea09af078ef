#pragma once
// The mounted volumes, as the browse tree shows them. The real table comes from
// /proc/self/mountinfo; tests build one from text of the same format.

#include <map>
#include <string>
#include <vector>

struct CShellVolume {
  std::string mountPoint;      // absolute folder
  std::string name;            // the file-system label, else the last component of the mount point
  std::string fileSystemType;  // as mountinfo gives it, e.g. "ext4", "iso9660"
  std::string source;          // the mounted device or share

  // CD-ROM volumes are those with an optical-disc file system.
  bool IsCdRom() const { return fileSystemType == "iso9660" || fileSystemType == "udf"; }
};

class CVolumeTable {
 public:
  // Volumes of mountinfo text. Kept are whole file systems (root "/") on a device or a network
  // share, and the file system mounted at "/"; a later mount at the same point hides an earlier.
  // `labels` maps a device path to its file-system label.
  static std::vector<CShellVolume> Parse(const std::string& mountinfo,
                                         const std::map<std::string, std::string>& labels = {});
  // The volumes mounted now, with labels from /dev/disk/by-label.
  static std::vector<CShellVolume> ReadSystem();
};
