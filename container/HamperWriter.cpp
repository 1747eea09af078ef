#include "container/HamperWriter.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "container/FormatSignature.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexEntry.h"
#include "filetypes/FileType.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"

using NSFerryman::CMedia;
using NSFerryman::COpenFile;
using NSFerryman::XUserCancelled;
using NSFerryman::XWrite;

namespace {

constexpr int kHiddenPadItemType = 14;
constexpr int kMaxItemType = 14;

// The splash picture is shown by the host before the Hamper is opened, and PAD files are data
// for the host only; neither is offered to the user for browsing. Only the top-level splash
// counts: a path below a folder holds ":" and never equals the bare name.
bool IsHiddenItem(const std::string& path, int itemType) {
  return itemType == kHiddenPadItemType || NSFerryman::AsciiEqualsIgnoringCase(path, "SPLASH.JPG");
}

std::string Bytes(std::uint64_t bytes) { return std::to_string(bytes) + " bytes"; }

}  // namespace

void CHamperWriter::ThrowIfStopRequested() {
  if (job_.TakeStopRequest()) throw XUserCancelled("stopped while composing the Hamper");
}

void CHamperWriter::MeasureEntry(const MHamperWriterEntry& entry, CTreeTotals& totals, bool withData) {
  if (entry.IsFolder()) {
    for (std::size_t i = 0; i < entry.GetChildCount(); ++i) MeasureEntry(entry.GetChildEntry(i), totals, withData);
    return;
  }
  if (entry.GetItemType() == 0) return;
  ++totals.typedEntries;
  if (!entry.IsIncluded()) return;
  ++totals.records;
  if (entry.GetItemType() < 1 || entry.GetItemType() > kMaxItemType) {
    throw XWrite("item type " + std::to_string(entry.GetItemType()) + " of " + entry.GetHamperPath() +
                 " is not one a Hamper can hold");
  }
  if (entry.GetHamperPath().find('\0') != std::string::npos) {
    throw NSFerryman::XBadFormat("the item path " + entry.GetHamperPath() + " holds a zero byte");
  }
  // Each figure is compared with the limit as soon as it grows, so none of the sums can wrap.
  const std::uint64_t packed = withData ? entry.GetPackedSize() : 0;
  const std::uint64_t record = CHamperIndexEntry::StoredSizeForPath(entry.GetHamperPath().size());
  if (packed > kMaxHamperSize || record > kMaxHamperSize) {
    throw XWrite("the Hamper would exceed 4 GiB: " + entry.GetHamperPath() + " alone takes " +
                 Bytes(std::max(packed, record)));
  }
  totals.dataBytes += packed;
  totals.indexBytes += record;
  if (totals.dataBytes > kMaxHamperSize || totals.indexBytes > kMaxHamperSize) {
    throw XWrite("the Hamper would exceed 4 GiB");
  }
}

CHamperWriter::CTreeTotals CHamperWriter::Measure(EntryList entries, const CHamperDescription& description,
                                                  bool withData) {
  CheckDescription(description);
  // Every offset of the format is 32-bit: the whole layout is measured first, so that a Hamper
  // that would not fit is refused before a single byte is written.
  CTreeTotals totals;
  for (const MHamperWriterEntry* entry : entries) MeasureEntry(*entry, totals, withData);
  totals.layout.indexOffset = kHamperDescriptionPosition + description.GetStoredSize();
  totals.layout.dataOffset = totals.layout.indexOffset + totals.indexBytes;
  totals.layout.records = totals.records;
  totals.fileSize = totals.layout.dataOffset + totals.dataBytes;
  if (description.GetStoredSize() > kMaxHamperSize || totals.fileSize > kMaxHamperSize) {
    throw XWrite("the Hamper would exceed 4 GiB (" + Bytes(totals.fileSize) + ")");
  }
  return totals;
}

CHamperLayout CHamperWriter::PlanLayout(EntryList entries, const CHamperDescription& description) {
  return Measure(entries, description, false).layout;
}

void CHamperWriter::CheckDescription(const CHamperDescription& description) {
  // A reader refuses a nameless Hamper and any text with a zero byte; such a file is not written.
  if (description.GetName().empty()) throw NSFerryman::XBadFormat("the Hamper has no name");
  const std::pair<const char*, const std::string*> texts[] = {{"name", &description.GetName()},
                                                              {"comments", &description.GetComments()},
                                                              {"URL", &description.GetURL()},
                                                              {"copyright", &description.GetCopyright()}};
  for (const auto& [what, text] : texts) {
    if (text->find('\0') != std::string::npos) {
      throw NSFerryman::XBadFormat(std::string("the Hamper's ") + what + " text holds a zero byte");
    }
  }
}

void CHamperWriter::Finish(EntryList entries, CHamperDescription& description, std::uint64_t dataStart,
                           std::uint64_t dataBytes, COpenFile& output) {
  const CTreeTotals totals = Measure(entries, description, true);
  // The data must hold exactly the bytes the index describes, or every item behind a mismatch
  // would read another item's bytes.
  if (dataBytes != totals.dataBytes) {
    throw XWrite("the packed data (" + Bytes(dataBytes) + ") does not match the packed items (" +
                 Bytes(totals.dataBytes) + ")");
  }
  // Entries are only ever left out after the plan, so the index can only have shrunk.
  if (totals.layout.dataOffset > dataStart) {
    throw XWrite("the index (" + Bytes(totals.indexBytes) + ") does not fit the room kept for it");
  }

  output.SetPosition(0);
  output.WriteU32(kHamperMagic.GetValue());
  output.WriteU32(0);  // the file size, patched at the end
  CFormatSignature::Hamper().Write(output);
  // Written now only to take its place; the numbers change but the length does not.
  description.Write(output);

  entriesDone_ = 0;
  entriesTotal_ = totals.typedEntries;
  recordsWritten_ = 0;
  job_.EnterStage(MHamperWriterJob::kBuildingIndexStage, MHamperWriterJob::kIndexStageIndex,
                  MHamperWriterJob::kBuildingIndexTitle, entriesTotal_);
  description.SetIndexOffset(static_cast<std::uint32_t>(output.GetPosition()));
  std::uint32_t runningOffset = 0;
  WriteIndexEntries(output, entries, runningOffset);
  description.SetDataOffset(static_cast<std::uint32_t>(output.GetPosition()));
  // The records written are the entries; a count from before the walk could disagree with them.
  description.SetEntryCount(static_cast<std::uint32_t>(recordsWritten_));

  PutDataInPlace(output, dataStart, description.GetDataOffset(), dataBytes, description.GetEntryCount());

  const std::uint64_t written = output.GetSize();
  if (written < totals.fileSize) {
    throw XWrite("the Hamper came out at " + Bytes(written) + " in place of " + Bytes(totals.fileSize));
  }
  // Whatever lay behind the data (what moved down, an item left out at the end) goes.
  if (written > totals.fileSize) output.Truncate(totals.fileSize);
  output.SetPosition(kHamperDescriptionPosition);
  description.Write(output);
  output.SetPosition(4);
  output.WriteU32(static_cast<std::uint32_t>(totals.fileSize));
}

void CHamperWriter::Compose(EntryList entries, CHamperDescription& description, std::unique_ptr<CMedia> data,
                            const NSFerryman::CFileSpec& output) {
  const CTreeTotals totals = Measure(entries, description, true);
  NSFerryman::CAtomicOutputFile file(output.GetFullPath(), {}, NSFerryman::CAtomicOutputFile::EKind::kRegularFile);
  COpenFile& out = *file.File();
  const std::uint64_t dataBytes = data->GetSize();
  if (auto* dataFile = dynamic_cast<COpenFile*>(data.get())) {
    // Between two files the kernel copies; the bytes never pass through this process.
    out.CopyFromFile(*dataFile, 0, totals.layout.dataOffset, dataBytes);
  } else {
    std::vector<std::uint8_t> buffer(kCopyBufferSize);
    data->SetPosition(0);
    for (std::uint64_t done = 0; done < dataBytes;) {
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(dataBytes - done, buffer.size()));
      data->Read(n, buffer.data());
      out.WriteAt(totals.layout.dataOffset + done, n, buffer.data());
      done += n;
    }
  }
  data.reset();
  Finish(entries, description, totals.layout.dataOffset, dataBytes, out);
  file.Commit();
}

void CHamperWriter::WriteIndexEntries(CMedia& output, EntryList entries, std::uint32_t& runningOffset) {
  // Records are small; gathering them into blocks spares a write call per field.
  indexBlock_ = std::make_unique<NSFerryman::CMemoryMedia>(kCopyBufferSize);
  for (const MHamperWriterEntry* entry : entries) WriteOneEntry(output, *entry, runningOffset);
  FlushIndexBlock(output);
  indexBlock_.reset();
}

void CHamperWriter::FlushIndexBlock(CMedia& output) {
  const auto size = static_cast<std::size_t>(indexBlock_->GetSize());
  if (size == 0) return;
  output.Write(size, indexBlock_->Data());
  indexBlock_ = std::make_unique<NSFerryman::CMemoryMedia>(kCopyBufferSize);
}

void CHamperWriter::WriteOneEntry(CMedia& output, const MHamperWriterEntry& entry, std::uint32_t& runningOffset) {
  ThrowIfStopRequested();
  if (entry.IsFolder()) {
    for (std::size_t i = 0; i < entry.GetChildCount(); ++i) WriteOneEntry(output, entry.GetChildEntry(i), runningOffset);
    return;
  }
  const int itemType = entry.GetItemType();
  if (itemType == 0) return;
  const std::string path = entry.GetHamperPath();
  job_.ShowStatus(MHamperWriterJob::kIndexingItem, {path});
  if (entry.IsIncluded()) {
    // Compose measured every size against the 4 GiB limit, so these cannot be cut short.
    const auto size = static_cast<std::uint32_t>(entry.GetPackedSize());
    const CHamperIndexEntry record(itemType, size, runningOffset, IsHiddenItem(path, itemType), path);
    record.Write(*indexBlock_);
    if (indexBlock_->GetSize() >= kCopyBufferSize) FlushIndexBlock(output);
    runningOffset += size;
    ++recordsWritten_;
  }
  ++entriesDone_;
  job_.ShowProgress(entriesTotal_ - std::min(entriesDone_, entriesTotal_), entriesDone_, entriesTotal_);
}

void CHamperWriter::PutDataInPlace(COpenFile& output, std::uint64_t from, std::uint64_t to, std::uint64_t total,
                                   std::uint32_t entryCount) {
  job_.EnterStage(MHamperWriterJob::kComposingFileStage, MHamperWriterJob::kComposeStageIndex,
                  MHamperWriterJob::kComposingFileTitle, 0);
  if (total == 0) return;
  // Where nothing was left out after the plan, the data is where it belongs already.
  if (from == to) {
    ThrowIfStopRequested();
    job_.ShowProgress(total, entryCount, entryCount);
    return;
  }
  // Front to back: the data only ever moves down, so no block is overwritten before it is read.
  std::vector<std::uint8_t> buffer(kCopyBufferSize);
  std::uint64_t moved = 0;
  while (moved < total) {
    ThrowIfStopRequested();
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(total - moved, buffer.size()));
    output.ReadAt(from + moved, n, buffer.data());
    output.WriteAt(to + moved, n, buffer.data());
    moved += n;
    const auto done = static_cast<std::uint64_t>(static_cast<double>(entryCount) * static_cast<double>(moved) /
                                                 static_cast<double>(total));
    job_.ShowProgress(moved, done, entryCount);
  }
}
