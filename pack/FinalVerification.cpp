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

void VerifyFinishedHamper(MVerificationJob& job, CSimpleProgressInfo& record, const CNavigationHolder& hamper,
                          CMedia& media, const CVerificationContext& context) {
  media.SetPosition(0);
  const CHamperDescription header = ReadAndCheckHamperHeader(media);
  if (context.expected) CompareHeader(header, *context.expected);

  record.SetRemaining(static_cast<std::int32_t>(header.GetEntryCount()));
  record.SetStatusText(NSFerryman::GetString(jobtext::kVerifyingFinalTitle));
  record.SetButtonText(NSFerryman::GetString(jobtext::kSkip));
  job.ShowProgress(record);

  media.SetPosition(header.GetIndexOffset());
  for (std::uint32_t i = 0; i < header.GetEntryCount(); ++i) {
    const CHamperIndexEntry entry = CHamperIndexEntry::Read(media);
    record.SetStatusText(NSFerryman::GetString(jobtext::kVerifyingFinalItem, {entry.GetPath()}));
    job.UpdateProgress(record);
    if (job.TakeStopRequest()) break;
    const NSFerryman::MediaSize next = media.GetPosition();
    try {
      if (!ItemLiesInsideHamper(header, entry, media.GetSize())) {
        throw XBadFormat(entry.GetPath() + ": the item lies outside the file");
      }
      NSFerryman::CPartialMedia item(media, std::uint64_t{header.GetDataOffset()} + entry.GetOffset(), entry.GetSize());
      VerifyHamperItem(entry, item, hamper, header, context);
      if (context.source) CompareItemWithSource(entry, item, header, *context.source);
    } catch (...) {
      if (!context.onItemFailure) throw;
      context.onItemFailure(entry, std::current_exception());
    }
    media.SetPosition(next);
    record.SetRemaining(record.GetRemaining() - 1);
    record.SetValue(job.ComputeProgress(i));
    job.UpdateProgress(record);
  }
  record.SetStatusText("");
  record.SetValue(CSimpleProgressInfo::kComplete);
  record.SetRemaining(0);
  job.ShowProgress(record);
}
