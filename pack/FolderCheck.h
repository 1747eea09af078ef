#pragma once
// A dry run of a pack job over a folder: the scan, the description, the check of every packable
// file and of every reference, writing nothing and stopping at nothing, so that one run reports
// every problem a pack would meet.
//
//   CFolderCheckReport report = CheckFolder(CDirSpec(path), database, slc);
//   if (!report.problems.empty()) ...   // a pack would stop (or, with --skip-bad, leave files out)

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "container/HamperDescription.h"
#include "framework/media/FileSpec.h"
#include "navigation/ExternalHamperNames.h"
#include "pack/FolderWarning.h"
#include "pack/SLCLibraryState.h"

class CDatabase;

struct CFolderProblem {
  enum class EKind {
    kNoName,             // the description gives no Name
    kNoSplash,           // no Splash.jpg at the top level
    kBadSplash,          // not a JPEG of 64 x 64 pixels
    kBadFormat,          // the file's check found it damaged (a pack asks to leave it out)
    kUnsupportedFormat,  // well-formed, but not something a Hamper can hold (likewise)
    kUnreadable,         // the file could not be checked at all
    kBadReference,       // an internal reference that resolves nowhere
    kNoSlicedLoopLibrary,
    kTooLarge,           // the Hamper would pass 4 GiB, as the files stored as they are show
  };
  EKind kind;
  std::string file;    // relative path ("" for the folder as a whole)
  std::string detail;  // the reason, or the reference's display name
  std::string reason;  // a bad reference's: why it resolves nowhere
};

// A short word for a kind ("bad format", "bad reference", ...).
const char* ProblemKindName(CFolderProblem::EKind kind);

struct CFolderCheckReport {
  CHamperDescription description;
  std::uint32_t packableFiles = 0;
  std::vector<CFolderProblem> problems;
  // Files that refer to other Hampers, with their names, in walk order.
  std::vector<std::pair<std::string, ExternalHamperNames>> externalHampers;
  // Letter-case twins (NameTwins.h): warnings, not problems.
  std::vector<std::pair<std::string, std::string>> nameTwins;
  // Links to nothing, left out (FolderScan.h): warnings too.
  std::vector<std::string> missingFiles;

  // The warnings of both, twins first.
  std::vector<CFolderWarning> Warnings() const;
};

// `onFile` is told each file as it is checked (for progress); it may be empty.
CFolderCheckReport CheckFolder(const NSFerryman::CDirSpec& folder, CDatabase& database, CSLCLibraryState& slc,
                               const std::function<void(const std::string&)>& onFile = {});
