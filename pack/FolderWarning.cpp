#include "pack/FolderWarning.h"

const char* FolderWarningKindName(CFolderWarning::EKind kind) {
  switch (kind) {
    case CFolderWarning::EKind::kNameTwins: return "letter-case twins";
    case CFolderWarning::EKind::kLinkToNothing: return "link to nothing";
  }
  return "";
}

std::string FolderWarningCause(const CFolderWarning& warning) {
  switch (warning.kind) {
    case CFolderWarning::EKind::kNameTwins:
      return "the two differ only in letter case: both are packed, but a reader that ignores case cannot tell them "
             "apart";
    case CFolderWarning::EKind::kLinkToNothing:
      return "a link to a file that is not there: it is left out";
  }
  return "";
}

std::string FolderWarningText(const CFolderWarning& warning) {
  switch (warning.kind) {
    case CFolderWarning::EKind::kNameTwins:
      return "\"" + warning.twin + "\" and \"" + warning.path +
             "\" differ only in letter case: both are packed, but a reader that ignores case cannot tell them apart";
    case CFolderWarning::EKind::kLinkToNothing:
      return "\"" + warning.path + "\" is a link to a file that is not there: it is left out";
  }
  return "";
}

std::vector<CFolderWarning> FolderWarnings(const std::vector<std::pair<std::string, std::string>>& twins,
                                           const std::vector<std::string>& missingFiles) {
  std::vector<CFolderWarning> warnings;
  for (const auto& [first, second] : twins) warnings.push_back({CFolderWarning::EKind::kNameTwins, second, first});
  for (const std::string& missing : missingFiles) warnings.push_back({CFolderWarning::EKind::kLinkToNothing, missing, {}});
  return warnings;
}
