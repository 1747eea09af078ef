#include "pack/PackReport.h"

#include "pack/FolderWarning.h"

std::vector<CFolderWarning> CPackReport::Warnings() const { return FolderWarnings(nameTwins, missingFiles); }

const char* OutcomeName(CPackReport::EOutcome outcome) {
  switch (outcome) {
    case CPackReport::EOutcome::kNotRun: return "";
    case CPackReport::EOutcome::kComplete: return "complete";
    case CPackReport::EOutcome::kStopped: return "stopped";
    case CPackReport::EOutcome::kEndedByAlert: return "ended";
    case CPackReport::EOutcome::kFailed: return "failed";
  }
  return "";
}
