#include "pack/FolderCheck.h"

#include "framework/media/Exceptions.h"
#include "items/ItemOperations.h"
#include "pack/FileWork.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/HamperPlan.h"
#include "pack/NameTwins.h"
#include "references/Database.h"

namespace {

using EKind = CFolderProblem::EKind;

// Alerts are not shown in a dry run: a recorder answers them with their default button.
class CSilentAlerts : public NSFerryman::MAlertHost {
 public:
  int PresentAlert(const NSFerryman::CAlert& alert) override {
    return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
  }
};

class CChecker {
 public:
  CChecker(CDatabase& database, CSLCLibraryState& slc, CFolderCheckReport& report,
           const std::function<void(const std::string&)>& onFile)
      : database_(database), slc_(slc), report_(report), onFile_(onFile) {}

  void CheckSplashes(const std::vector<const CFileEntry*>& splashes) {
    if (splashes.empty()) {
      Problem(EKind::kNoSplash, "", "a 64 x 64 Splash.jpg is needed at the top level");
      return;
    }
    for (const CFileEntry* splash : splashes) CheckSplash(splash);
  }

  void CheckSplash(const CFileEntry* splash) {
    std::string problem;
    try {
      problem = ReadSplashPicture(*splash).problem;
    } catch (const std::exception& e) {
      problem = e.what();
    }
    if (!problem.empty()) Problem(EKind::kBadSplash, splash->GetRelativePath(), problem);
  }

  void Walk(CFileEntryList& list) {
    for (auto& entry : list) {
      if (entry->IsFolder()) {
        Walk(entry->GetChildren());
      } else if (entry->GetItemType() != 0) {
        CheckFile(*entry);
      }
    }
  }

  // The check's folder: alerts are answered silently, and references are listed, not shown.
  CPackFolder folder;

 private:
  void Problem(EKind kind, std::string file, std::string detail, std::string reason = {}) {
    report_.problems.push_back({kind, std::move(file), std::move(detail), std::move(reason)});
  }

  void CheckFile(CFileEntry& entry) {
    ++report_.packableFiles;
    const std::string path = entry.GetRelativePath();
    if (onFile_) onFile_(path);
    const CFileType* type = entry.GetItem().GetFileType();
    // Without the library a pack stops before any file; that is reported once, not per file.
    if (type && IsSlicedLoop(*type) && !slc_.IsLoaded()) return;
    std::vector<CUnresolvedReference> unresolved;
    CItemContext context = ItemContextFor(entry, folder);
    context.references.unresolved = &unresolved;
    CFileOutcome outcome;
    RunFileCheck(entry, context, false, outcome);
    // A pack leaves out what fails its check (or stops): the Hamper's size counts the rest.
    if (outcome.error) entry.SetIncluded(false);
    switch (ClassifyFileFailure(outcome.error)) {
      case EFileFailure::kNone: break;
      case EFileFailure::kUnsupportedFormat: Problem(EKind::kUnsupportedFormat, path, DescribeFailure(outcome.error)); break;
      case EFileFailure::kBadFormat: Problem(EKind::kBadFormat, path, DescribeFailure(outcome.error)); break;
      case EFileFailure::kCannotHandle:
      case EFileFailure::kAlertShown: Problem(EKind::kUnreadable, path, DescribeFailure(outcome.error)); break;
      // A stop or a lack of memory ends the check as it ends a pack.
      case EFileFailure::kPassOn: std::rethrow_exception(outcome.error);
    }
    for (const CUnresolvedReference& reference : unresolved) {
      Problem(EKind::kBadReference, path, reference.displayName, reference.reason);
    }
    if (!outcome.names.empty()) report_.externalHampers.emplace_back(path, outcome.names);
  }

  static bool IsSlicedLoop(const CFileType& type) {
    return TypeMatchesType(Slivver1FileType(), type) || TypeMatchesType(Slivver2FileType(), type) ||
           TypeMatchesType(SlcFileType(), type);
  }


 public:
  // A pack loads the library before anything else and stops without it.
  NSFerryman::MAlertHost& SilentAlerts() { return alerts_; }

  void LoadSlicedLoopLibrary() {
    try {
      slc_.EnsureSLCLibrary(alerts_);
    } catch (const NSFerryman::XAlertAlreadyShown& e) {
      Problem(EKind::kNoSlicedLoopLibrary, "", std::string("the sliced-loop library cannot be loaded: ") + e.what());
    }
  }

 private:
  CDatabase& database_;
  CSLCLibraryState& slc_;
  CFolderCheckReport& report_;
  const std::function<void(const std::string&)>& onFile_;
  CSilentAlerts alerts_;
};

}  // namespace

std::vector<CFolderWarning> CFolderCheckReport::Warnings() const { return FolderWarnings(nameTwins, missingFiles); }

const char* ProblemKindName(CFolderProblem::EKind kind) {
  switch (kind) {
    case EKind::kNoName: return "no name";
    case EKind::kNoSplash: return "no splash";
    case EKind::kBadSplash: return "bad splash";
    case EKind::kBadFormat: return "bad format";
    case EKind::kUnsupportedFormat: return "unsupported format";
    case EKind::kUnreadable: return "cannot be checked";
    case EKind::kBadReference: return "bad reference";
    case EKind::kNoSlicedLoopLibrary: return "no sliced-loop library";
    case EKind::kTooLarge: return "too large";
  }
  return "";
}

CFolderCheckReport CheckFolder(const NSFerryman::CDirSpec& folder, CDatabase& database, CSLCLibraryState& slc,
                               const std::function<void(const std::string&)>& onFile) {
  CFolderCheckReport report;
  CDatabaseScope scope(database);
  CChecker checker(database, slc, report, onFile);
  checker.LoadSlicedLoopLibrary();
  CPackFolder& packFolder = checker.folder;
  packFolder.root = database.ItemForPath(folder.GetPath());
  if (!packFolder.root || !packFolder.root->IsContainer()) {
    throw NSFerryman::XFileNotFound(folder.GetPath() + ": not a folder");
  }

  CFileEntryList topLevel = ListTopLevel(CItemReference(packFolder.root));
  CDescriptionFiles description = ReadDescriptionFiles(topLevel);
  report.description = description.description;
  packFolder.hamperName = report.description.GetName();
  packFolder.hamperUrl = report.description.GetURL();
  packFolder.database = &database;
  packFolder.alerts = &checker.SilentAlerts();
  packFolder.slcLibrary = &slc.Library();
  if (report.description.GetName().empty()) {
    report.problems.push_back({EKind::kNoName, "", "no NAME.TXT, and no NAME in INFO.TXT"});
  }
  checker.CheckSplashes(description.splashes);
  for (auto& entry : topLevel) ScanFolder(*entry);
  report.nameTwins = FindNameTwins(topLevel);
  report.missingFiles = FindMissingFiles(topLevel);
  checker.Walk(topLevel);
  try {
    PlanHamper(topLevel, report.description);
  } catch (const NSFerryman::XWrite& e) {
    report.problems.push_back({EKind::kTooLarge, "", e.what()});
  } catch (const NSFerryman::XBadFormat&) {
    // A nameless Hamper, reported above (texts end at a zero byte, so that is all it can be).
  }
  return report;
}
