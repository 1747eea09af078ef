#pragma once
// CRecentFolders: the folders (or files) used last, most recent first, kept with the other
// settings (QSettings, under a key of each list's own), for a menu's list: the input folders of
// the packer ("RecentInputFolders"), the Hampers opened in browsers ("RecentHampers").
//
//   recent.Add(folder);          // when a folder becomes the input folder
//   for (const std::string& folder : recent.Folders()) ...

#include <string>
#include <vector>

class CRecentFolders {
 public:
  static constexpr std::size_t kMaximum = 8;

  explicit CRecentFolders(const char* key = "RecentInputFolders") : key_(key) {}

  std::vector<std::string> Folders() const;
  // Puts the folder first; a folder listed already moves up, the oldest beyond the maximum goes.
  void Add(const std::string& folder);
  void Clear();

 private:
  const char* key_;
};
