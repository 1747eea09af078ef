#pragma once
// An item's Path as the names of files and folders below some folder of the file system, for
// commands that write items out or read the files they came from:
//
//   const CHamperItemPath path = SplitHamperItemPath(record.GetPath());
//   if (!path.problem.empty()) refuse(record, path.problem);
//   else for (const std::string& folder : path.Folders()) ...; path.FileName();
//
// A Path comes from the file and may hold anything: a component that is empty (a leading,
// trailing or doubled ":"), "." or "..", or that holds "/" or a zero byte would name something
// other than a file below the folder, and is refused with the reason.

#include <span>
#include <string>
#include <vector>

struct CHamperItemPath {
  std::vector<std::string> components;  // the Path split at ":"
  std::string problem;                  // empty when every component is a plain name

  // All components but the last; and the last (the item's own name).
  std::span<const std::string> Folders() const {
    return std::span<const std::string>(components).first(components.empty() ? 0 : components.size() - 1);
  }
  const std::string& FileName() const { return components.back(); }
  // The components joined by "/".
  std::string Relative() const;
};

CHamperItemPath SplitHamperItemPath(const std::string& path);
