#pragma once
// Which item Paths `hamper extract` writes as files, and why it refuses the others: one rule that
// extract applies before it writes and that `hamper verify` (and the browser's Verify) report,
// so that a Hamper that verifies is extracted whole.
//
//   CExtractablePaths paths;
//   for (const CHamperIndexEntry& record : chosen) {
//     if (const std::string problem = paths.Check(record.GetPath()); !problem.empty()) refuse(problem);
//     else { write(record); paths.Claim(record.GetPath()); }
//   }
//
// A Path is refused on its own (PathExtractionProblem) when a name in it is empty (a leading,
// trailing or doubled ":"), "." or "..", or holds "/" or a zero byte (container/HamperItemPath.h);
// when a name is longer than kMaxExtractedNameBytes; or when it is a file at the top whose name is
// one of the description's text files (INFO.TXT, NAME.TXT, COMMENTS.TXT, URL.TXT, COPYRIGHT.TXT
// in any letter case): extract writes the description there, and a pack would take the item for
// it. Against the Paths claimed before it, it is refused when one of them is the same Path, when
// one of them is a file where this one needs a folder ("A" before "A:B"), or when this one is a
// file where they made a folder ("A:B" before "A"). Paths are compared byte for byte, as Linux
// names are: "Kick.wav" and "KICK.WAV" are two files.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "container/HamperIndexEntry.h"

// The longest name the file systems of Linux hold, in bytes (NAME_MAX).
inline constexpr std::size_t kMaxExtractedNameBytes = 255;

// Why the Path alone cannot be written as a file below a folder; "" when it can.
std::string PathExtractionProblem(const std::string& path);

class CExtractablePaths {
 public:
  // Why the Path cannot be written, alone or beside the Paths claimed so far; "" when it can.
  std::string Check(const std::string& path) const;
  // Records a Path that was written (after Check found no problem).
  void Claim(const std::string& path);

 private:
  std::unordered_set<std::string> files_;
  // Each folder made, with the first Path below it.
  std::unordered_map<std::string, std::string> folders_;
};

struct CUnextractablePath {
  std::size_t record;   // its place in the index
  std::string problem;  // without the Path
};

// Every record that extract would refuse when writing the whole index in order, in index order.
std::vector<CUnextractablePath> FindUnextractablePaths(const std::vector<CHamperIndexEntry>& index);
