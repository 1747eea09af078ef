#pragma once
// CPackReport: what a pack job leaves for its user to read, whatever its end: what was packed and
// where, what was left out and why, the warnings, the other Hampers needed, the sizes and the time
// taken. The job fills it; each host words it (the window's report, `hamper pack --json`).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "navigation/ExternalHamperNames.h"
#include "pack/FolderWarning.h"

struct CPackReport {
  enum class EOutcome {
    kNotRun,
    kComplete,      // the Hamper is in place (the final verification may have been skipped)
    kStopped,       // the user stopped the job
    kEndedByAlert,  // a question answered No, or a failure the job told the user about
    kFailed,        // any other failure, for the host to report
  };
  struct CLeftOut {
    std::string file;   // relative path
    std::string kind;   // "bad format" or "unsupported format"
    std::string cause;  // what the file's check found
  };

  EOutcome outcome = EOutcome::kNotRun;
  std::string inputFolder;
  std::string output;
  std::string hamperName;
  // How the job ended when it did not complete: the alert last shown ("Title: message") and the
  // cause behind it, or the failure's own words.
  std::string endedBy;
  std::string cause;
  bool verificationSkipped = false;

  std::uint32_t filesPacked = 0;
  std::vector<CLeftOut> leftOut;
  std::vector<std::pair<std::string, std::string>> nameTwins;
  std::vector<std::string> missingFiles;
  // The other Hampers, in the order found, and file by file.
  std::vector<std::string> externalHampers;
  std::vector<std::pair<std::string, ExternalHamperNames>> externalHampersByFile;

  // Bytes of the finished Hamper, of the packed items in it, and of the source files packed.
  std::uint64_t outputBytes = 0;
  std::uint64_t dataBytes = 0;
  std::uint64_t sourceBytes = 0;
  // The job's time, without the time it waited for answers.
  std::uint64_t milliseconds = 0;

  // The warnings: name twins, then links to nothing.
  std::vector<CFolderWarning> Warnings() const;
};

// "complete", "stopped", "ended", "failed" ("" before a job).
const char* OutcomeName(CPackReport::EOutcome outcome);
