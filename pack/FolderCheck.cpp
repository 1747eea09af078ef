#include "pack/FolderCheck.h"

#include "framework/media/Exceptions.h"
#include "items/ItemOperations.h"
#include "items/JPEGImage.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
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

  void CheckSplash(const CFileEntry* splash) {
    if (!splash) {
      Problem(EKind::kNoSplash, "", "a 64 x 64 Splash.jpg is needed at the top level");
      return;
    }
    try {
      const auto media = splash->GetItem().Open();
      const CBitmap32 bitmap = DecodeJPEGBitmap(*media, kSplashWidth, kSplashHeight);
      if (bitmap.width != kSplashWidth || bitmap.height != kSplashHeight) {
        Problem(EKind::kBadSplash, splash->GetRelativePath(),
                std::to_string(bitmap.width) + " x " + std::to_string(bitmap.height) + " pixels, not 64 x 64");
      }
    } catch (const std::exception& e) {
      Problem(EKind::kBadSplash, splash->GetRelativePath(), e.what());
    }
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

  CNavigationHolder root;

 private:
  void Problem(EKind kind, std::string file, std::string detail) {
    report_.problems.push_back({kind, std::move(file), std::move(detail)});
  }

  void CheckFile(CFileEntry& entry) {
    ++report_.packableFiles;
    const std::string path = entry.GetRelativePath();
    if (onFile_) onFile_(path);
    if (entry.GetName().find(':') != std::string::npos) {
      Problem(EKind::kBadName, path, "\":\" separates the folders of a Hamper path");
      return;
    }
    std::vector<std::string> unresolved;
    ExternalHamperNames names;
    try {
      const CFileType* type = entry.GetItem().GetFileType();
      if (!type) throw NSFerryman::XFileNotFound("no longer there");
      const auto media = entry.GetItem().Open();
      CItemContext context;
      context.references.rootFolder = root;
      context.references.hamperName = report_.description.GetName();
      context.references.hamperUrl = report_.description.GetURL();
      context.references.referencingItem = entry.GetItem().GetItem();
      context.references.referencingName = entry.GetName();
      context.references.database = &database_;
      context.references.alerts = &alerts_;
      context.references.unresolved = &unresolved;
      context.slcLibrary = &slc_.Library();
      if (IsSlicedLoop(*type) && !slc_.IsLoaded()) return;
      CheckItem(*type, *media, context, names);
    } catch (const NSFerryman::XUnsupportedFormat& e) {
      Problem(EKind::kUnsupportedFormat, path, e.what());
    } catch (const NSFerryman::XBadFormat& e) {
      Problem(EKind::kBadFormat, path, e.what());
    } catch (const std::exception& e) {
      Problem(EKind::kUnreadable, path, e.what());
    }
    for (const std::string& name : unresolved) Problem(EKind::kBadReference, path, name);
    if (!names.empty()) report_.externalHampers.emplace_back(path, names);
  }

  static bool IsSlicedLoop(const CFileType& type) {
    return TypeMatchesType(Slivver1FileType(), type) || TypeMatchesType(Slivver2FileType(), type) ||
           TypeMatchesType(SlcFileType(), type);
  }


 public:
  // A pack loads the library before anything else and stops without it.
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

const char* ProblemKindName(CFolderProblem::EKind kind) {
  switch (kind) {
    case EKind::kNoName: return "no name";
    case EKind::kNoSplash: return "no splash";
    case EKind::kBadSplash: return "bad splash";
    case EKind::kBadName: return "bad name";
    case EKind::kBadFormat: return "bad format";
    case EKind::kUnsupportedFormat: return "unsupported format";
    case EKind::kUnreadable: return "cannot be checked";
    case EKind::kBadReference: return "bad reference";
    case EKind::kNoSlicedLoopLibrary: return "no sliced-loop library";
  }
  return "";
}

CFolderCheckReport CheckFolder(const NSFerryman::CDirSpec& folder, CDatabase& database, CSLCLibraryState& slc,
                               const std::function<void(const std::string&)>& onFile) {
  CFolderCheckReport report;
  CDatabaseScope scope(database);
  CChecker checker(database, slc, report, onFile);
  checker.LoadSlicedLoopLibrary();
  checker.root = database.ItemForPath(folder.GetPath());
  if (!checker.root || !checker.root->IsContainer()) throw NSFerryman::XFileNotFound(folder.GetPath() + ": not a folder");

  CFileEntryList topLevel = ListTopLevel(CItemReference(checker.root));
  CDescriptionFiles description = ReadDescriptionFiles(topLevel);
  report.description = description.description;
  if (report.description.GetName().empty()) {
    report.problems.push_back({EKind::kNoName, "", "no NAME.TXT, and no NAME in INFO.TXT"});
  }
  checker.CheckSplash(description.splash);
  for (auto& entry : topLevel) ScanFolder(*entry);
  report.nameTwins = FindNameTwins(topLevel);
  checker.Walk(topLevel);
  return report;
}
