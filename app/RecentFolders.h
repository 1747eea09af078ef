#pragma once
// CRecentFolders: the input folders used last, most recent first, kept with the other settings
// (QSettings, key "RecentInputFolders"), for the File menu's list.
//
//   recent.Add(folder);          // when a folder becomes the input folder
//   for (const std::string& folder : recent.Folders()) ...

#include <string>
#include <vector>

class CRecentFolders {
 public:
  static constexpr std::size_t kMaximum = 8;

  std::vector<std::string> Folders() const;
  // Puts the folder first; a folder listed already moves up, the oldest beyond the maximum goes.
  void Add(const std::string& folder);
  void Clear();
};
