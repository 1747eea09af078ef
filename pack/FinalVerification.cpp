#include "pack/FinalVerification.h"

#include <vector>

#include "container/FindItemByPath.h"
#include "container/HamperFileEntry.h"
#include "container/HamperHeader.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PartialMedia.h"
#include "framework/resources/ResourceCache.h"
#include "items/AudioItemDecoder.h"
#include "items/ItemOperations.h"
#include "items/JPEGImage.h"
#include "items/SLCFileCheck.h"
#include "items/TIFFImage.h"
#include "container/HamperFile.h"
#include "framework/media/OpenFile.h"
#include "pack/FileWork.h"
#include "pack/OrderedPipeline.h"
#include "references/Database.h"
#include "pack/JobTexts.h"

using NSFerryman::CMedia;
using NSFerryman::XBadFormat;

namespace {

constexpr std::size_t kReadBlock = 65536;

// Reads every byte of the media once; only failures matter.
void ReadThrough(CMedia& media) {
  std::vector<std::uint8_t> buffer(kReadBlock);
  const NSFerryman::MediaSize size = media.GetSize();
  for (NSFerryman::MediaSize done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<NSFerryman::MediaSize>(size - done, buffer.size()));
    media.ReadAt(done, n, buffer.data());
    done += n;
  }
}

void CompareHeader(const CHamperDescription& found, const CHamperDescription& expected) {
  const auto differ = [](const char* field) { throw XBadFormat(std::string("the Hamper's ") + field + " is not the one written"); };
  if (found.GetComments() != expected.GetComments()) differ("comments");
  if (found.GetCopyright() != expected.GetCopyright()) differ("copyright");
  if (found.GetDataOffset() != expected.GetDataOffset()) differ("data offset");
  if (found.GetEntryCount() != expected.GetEntryCount()) differ("entry count");
  if (found.GetIndexOffset() != expected.GetIndexOffset()) differ("index offset");
  if (found.GetName() != expected.GetName()) differ("name");
  if (found.GetURL() != expected.GetURL()) differ("URL");
}

}  // namespace

void VerifyHamperItem(const CHamperIndexEntry& record, CMedia& item, const CNavigationHolder& hamper,
                      const CHamperDescription& header, const CVerificationContext& context) {
  const int type = record.GetItemType();
  item.SetPosition(0);
  switch (type) {
    case 1: case 2: case 3: case 4: case 5: case 13: {
      const CNavigationHolder found = FindItemByPath(*hamper, record);
      ReadThrough(item);
      CItemContext itemContext;
      itemContext.references.rootFolder = hamper->GetParent();
      itemContext.references.hamperName = header.GetName();
      itemContext.references.hamperUrl = header.GetURL();
      itemContext.references.referencingItem = found;
      itemContext.references.referencingName = found->GetName();
      itemContext.references.database = context.database;
      itemContext.references.alerts = context.alerts;
      itemContext.scratch = context.scratch;
      ExternalHamperNames names;
      CheckItem(*MINIHamperFileEntry::FileTypeOfItemType(type), item, itemContext, names);
      return;
    }
    case 6: case 7: case 12: {
      const CNavigationHolder found = FindItemByPath(*hamper, record);
      if (!context.slcLibrary) throw NSFerryman::XUnrecoverableCommandError("the sliced-loop library is not loaded");
      const auto media = found->OpenMedia();
      CheckSLCFile(*context.slcLibrary, *media);
      return;
    }
    case 8: CheckTIFFImage(item); return;
    case 9: CheckJPEGImage(item); return;
    case 10: case 14: ReadThrough(item); return;
    case 11: VerifyAudioItem(item); return;
    default: throw XBadFormat(record.GetPath() + ": item type " + std::to_string(type) + " is none a Hamper holds");
  }
}

namespace {

struct CItemOutcome {
  std::exception_ptr error;
  CRecordedAlerts alerts;
  bool needsJobThread = false;
};

// The memory checking one item may hold at its peak (see FileWork.h).
std::uint64_t ItemCost(const CHamperIndexEntry& record) {
  constexpr std::uint64_t kFixed = std::uint64_t{1} << 20;
  switch (record.GetItemType()) {
    case 8: case 9: return kFixed + (std::uint64_t{16} << 20);
    case 6: case 7: case 12: return kFixed + 2 * std::uint64_t{record.GetSize()};
    default: return kFixed;
  }
}

void CheckOneItem(const CHamperIndexEntry& record, CMedia& media, const CNavigationHolder& hamper,
                  const CHamperDescription& header, const CVerificationContext& context) {
  if (!ItemLiesInsideHamper(header, record, media.GetSize())) {
    throw XBadFormat(record.GetPath() + ": the item lies outside the file");
  }
  NSFerryman::CPartialMedia item(media, std::uint64_t{header.GetDataOffset()} + record.GetOffset(), record.GetSize());
  VerifyHamperItem(record, item, hamper, header, context);
  if (context.source) CompareItemWithSource(record, item, header, *context.source);
}

}  // namespace

std::size_t VerifyFinishedHamper(MVerificationJob& job, CSimpleProgressInfo& record, const CNavigationHolder& hamper,
                          CMedia& media, const CVerificationContext& context) {
  media.SetPosition(0);
  const CHamperDescription header = ReadAndCheckHamperHeader(media);
  if (context.expected) CompareHeader(header, *context.expected);

  record.SetRemaining(static_cast<std::int32_t>(header.GetEntryCount()));
  record.SetStatusText(NSFerryman::GetString(jobtext::kVerifyingFinalTitle));
  record.SetButtonText(NSFerryman::GetString(jobtext::kSkip));
  job.ShowProgress(record);

  const std::vector<CHamperIndexEntry> records = ReadHamperIndex(media, header);
  // Workers read through files of their own: one open file cannot serve reads from several
  // threads at once.
  const auto* file = dynamic_cast<const MINIHamperFile*>(hamper.Get());
  const unsigned workers = file ? context.workers : 1;
  const bool threaded = workers > 1;
  std::vector<CItemOutcome> outcomes(records.size());
  const auto run = [&](std::size_t i, bool onWorker) {
    CItemOutcome& outcome = outcomes[i];
    outcome = CItemOutcome();
    CVerificationContext itemContext = context;
    std::unique_ptr<CNoVolumeWaitingHere> noWaiting;
    if (onWorker) {
      itemContext.alerts = &outcome.alerts;
      noWaiting = std::make_unique<CNoVolumeWaitingHere>();
    }
    try {
      if (onWorker) {
        NSFerryman::COpenFile own{NSFerryman::CFileSpec(file->GetPath())};
        CheckOneItem(records[i], own, hamper, header, itemContext);
      } else {
        CheckOneItem(records[i], media, hamper, header, itemContext);
      }
    } catch (const XVolumeWaitNotHere&) {
      // On the job's own thread nobody else could ask: a caller that may not wait there either
      // gets the failure, never an item that passes unchecked.
      if (!onWorker) {
        outcome.error = std::current_exception();
        return;
      }
      outcome = CItemOutcome();
      outcome.needsJobThread = true;
    } catch (...) {
      outcome.error = std::current_exception();
    }
  };
  COrderedPipeline pipeline(
      records.size(), workers, kStageMemoryBudget, [&](std::size_t i) { return ItemCost(records[i]); },
      [&](std::size_t i) { run(i, threaded); });

  std::size_t checked = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const CHamperIndexEntry& entry = records[i];
    record.SetStatusText(NSFerryman::GetString(jobtext::kVerifyingFinalItem, {entry.GetPath()}));
    job.UpdateProgress(record);
    if (job.TakeStopRequest()) break;
    pipeline.WaitFor(i);
    CItemOutcome& outcome = outcomes[i];
    if (outcome.needsJobThread) run(i, false);
    if (context.alerts) outcome.alerts.ReplayTo(*context.alerts);
    if (outcome.error) {
      if (!context.onItemFailure) std::rethrow_exception(outcome.error);
      context.onItemFailure(entry, outcome.error);
    }
    pipeline.Release(i);
    ++checked;
    record.SetRemaining(record.GetRemaining() - 1);
    record.SetValue(job.ComputeProgress(static_cast<std::int64_t>(i)));
    job.UpdateProgress(record);
  }
  record.SetStatusText("");
  record.SetValue(CSimpleProgressInfo::kComplete);
  record.SetRemaining(0);
  job.ShowProgress(record);
  return checked;
}
