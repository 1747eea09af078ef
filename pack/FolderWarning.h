#pragma once
// What `check` and `pack` warn about in a folder, which does not stop a pack: names that differ
// only in letter case (NameTwins.h), and links to files that are not there, which are left out
// (FolderScan.h). A warning is held as facts (its kind, the paths it names) and worded by whoever
// shows it: a sentence for people, or its cause beside the paths for JSON.
//
//   for (const CFolderWarning& w : report.Warnings()) err << FolderWarningText(w) << "\n";

#include <string>
#include <utility>
#include <vector>

struct CFolderWarning {
  enum class EKind { kNameTwins, kLinkToNothing };
  EKind kind;
  std::string path;  // relative path of the file (or folder) it is about
  std::string twin;  // kNameTwins: the other of the two, which the folder lists first
};

// "letter-case twins", "link to nothing".
const char* FolderWarningKindName(CFolderWarning::EKind kind);
// Why it is worth a warning, naming no path.
std::string FolderWarningCause(const CFolderWarning& warning);
// The whole sentence, paths and cause.
std::string FolderWarningText(const CFolderWarning& warning);

// The warnings of a folder: its name twins (each pair in walk order), then its links to nothing.
std::vector<CFolderWarning> FolderWarnings(const std::vector<std::pair<std::string, std::string>>& twins,
                                           const std::vector<std::string>& missingFiles);
