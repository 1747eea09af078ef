#include "pack/FileWork.h"

#include <new>

#include "framework/media/Exceptions.h"
#include "framework/resources/ExceptionAlerts.h"
#include "pack/FolderScan.h"
#include "references/Database.h"

namespace {

constexpr std::uint64_t kFixedCost = std::uint64_t{1} << 20;
// A picture's decoder holds a few lines, or for a progressive JPEG its coefficients: a generous
// round figure, as the size is only known once the header is read.
constexpr std::uint64_t kPictureCost = std::uint64_t{16} << 20;
// Songs and patches are rewritten in memory up to this size (items/HostFile.cpp), beyond it in a
// temporary file.
constexpr std::uint64_t kRewriteLimit = std::uint64_t{8} << 20;

enum class EKind { kOther, kPicture, kSlicedLoop, kHostFile };

EKind KindOf(const CFileEntry& entry) {
  switch (entry.GetItemType()) {
    case 8: case 9: return EKind::kPicture;
    case 6: case 7: case 12: return EKind::kSlicedLoop;
    case 1: case 2: case 3: case 4: case 5: case 13: return EKind::kHostFile;
    default: return EKind::kOther;
  }
}

std::uint64_t SizeOf(const CFileEntry& entry) {
  const CNavigationHolder& item = entry.GetItem().GetItem();
  return item ? item->GetSize() : 0;
}

template <class Work>
void Run(const CFileEntry& entry, CItemContext& context, bool onWorker, CFileOutcome& outcome, Work&& work) {
  outcome = CFileOutcome();
  std::unique_ptr<CNoVolumeWaitingHere> noWaiting;
  if (onWorker) {
    context.references.alerts = &outcome.alerts;
    noWaiting = std::make_unique<CNoVolumeWaitingHere>();
  }
  try {
    const CFileType* type = entry.GetItem().GetFileType();
    if (!type) throw NSFerryman::XFileNotFound(entry.GetRelativePath() + ": no longer there");
    const auto media = entry.GetItem().Open();
    work(*type, *media);
  } catch (const XVolumeWaitNotHere&) {
    outcome = CFileOutcome();
    outcome.needsJobThread = true;
  } catch (...) {
    outcome.error = std::current_exception();
  }
}

}  // namespace

int CRecordedAlerts::PresentAlert(const NSFerryman::CAlert& alert) {
  alerts_.push_back(alert);
  return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
}

void CRecordedAlerts::ReplayTo(NSFerryman::MAlertHost& host) const {
  for (const NSFerryman::CAlert& alert : alerts_) host.PresentAlert(alert);
}

CItemContext ItemContextFor(const CFileEntry& entry, const CPackFolder& folder) {
  CItemContext context;
  context.references.rootFolder = folder.root;
  context.references.hamperName = folder.hamperName;
  context.references.hamperUrl = folder.hamperUrl;
  context.references.referencingItem = entry.GetItem().GetItem();
  context.references.referencingName = entry.GetName();
  context.references.database = folder.database;
  context.references.alerts = folder.alerts;
  context.slcLibrary = folder.slcLibrary;
  context.scratch = folder.scratch;
  return context;
}

EFileFailure ClassifyFileFailure(const std::exception_ptr& error) {
  if (!error) return EFileFailure::kNone;
  try {
    std::rethrow_exception(error);
  } catch (const NSFerryman::XAlertAlreadyShown&) {
    return EFileFailure::kAlertShown;
  } catch (const NSFerryman::XUserCancelled&) {
    return EFileFailure::kPassOn;
  } catch (const std::bad_alloc&) {
    // Memory is the machine's problem, not the file's: the framework's alert says so.
    return EFileFailure::kPassOn;
  } catch (const NSFerryman::XDiskFull&) {
    // So is room to write in (a scratch file, the Hamper itself): reading a file never lacks it.
    return EFileFailure::kPassOn;
  } catch (const NSFerryman::XUnsupportedFormat&) {
    return EFileFailure::kUnsupportedFormat;
  } catch (const NSFerryman::XBadFormat&) {
    return EFileFailure::kBadFormat;
  } catch (...) {
    return EFileFailure::kCannotHandle;
  }
}

std::string DescribeFailure(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return NSFerryman::OutOfMemoryText();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an unknown failure";
  }
}

void RunFileCheck(const CFileEntry& entry, CItemContext context, bool onWorker, CFileOutcome& outcome) {
  Run(entry, context, onWorker, outcome, [&](const CFileType& type, NSFerryman::CMedia& media) {
    CheckHamperPath(entry);
    CheckItem(type, media, context, outcome.names);
  });
}

void RunFilePack(const CFileEntry& entry, CItemContext context, bool onWorker, const CItemTarget& target,
                 CFileOutcome& outcome) {
  Run(entry, context, onWorker, outcome, [&](const CFileType& type, NSFerryman::CMedia& media) {
    outcome.data = std::make_unique<CItemOutput>(target);
    PackItem(type, media, *outcome.data, context);
  });
  // Whatever the packing made of it (a reader may wrap what it catches), a write that failed is
  // told as the Hamper's own failure.
  if (outcome.error && outcome.data && outcome.data->OutputFailure()) {
    outcome.error = outcome.data->OutputFailure();
    outcome.outputFailed = true;
  }
}

std::uint64_t FileCheckCost(const CFileEntry& entry) {
  switch (KindOf(entry)) {
    case EKind::kPicture: return kFixedCost + kPictureCost;
    // The file is read whole, and the library keeps a copy.
    case EKind::kSlicedLoop: return kFixedCost + 2 * SizeOf(entry);
    default: return kFixedCost;
  }
}

std::uint64_t FilePackCost(const CFileEntry& entry) {
  // The packed bytes that wait for their turn count against the parking space, not here.
  switch (KindOf(entry)) {
    case EKind::kPicture: return kFixedCost + kPictureCost;
    // Rewritten in memory up to a limit before it is written out.
    case EKind::kHostFile: return kFixedCost + 2 * std::min(SizeOf(entry), kRewriteLimit);
    default: return kFixedCost;
  }
}
