#include "browse/HamperExtraction.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "container/HamperHeader.h"
#include "container/HamperItemPath.h"
#include "filetypes/FileType.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PartialMedia.h"
#include "pack/DescriptionFileWriter.h"

namespace {

constexpr int kAudioItemType = 11;
constexpr std::size_t kCopyBlock = 65536;
// A batch holds at most this much data: beyond it, one sync more costs little.
constexpr std::uint64_t kBatchBytes = std::uint64_t{256} << 20;

void CopyItem(NSFerryman::CMedia& item, NSFerryman::CMedia& out) {
  const NSFerryman::MediaSize size = item.GetSize();
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<NSFerryman::MediaSize>(size, kCopyBlock)));
  for (NSFerryman::MediaSize done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<NSFerryman::MediaSize>(size - done, buffer.size()));
    item.ReadAt(done, n, buffer.data());
    out.Write(n, buffer.data());
    done += n;
  }
}

}  // namespace

EAudioFileFormat AudioFileFormatOf(const std::string& name) {
  return AudioIffFileType().NameMatches(name) ? EAudioFileFormat::kAIFF : EAudioFileFormat::kWave;
}

std::string ExtractionTarget(const CHamperIndexEntry& record) {
  if (!PathExtractionProblem(record.GetPath()).empty()) return {};
  std::string relative = record.GetPath();
  std::replace(relative.begin(), relative.end(), ':', '/');
  return relative;
}

std::unique_ptr<CConfinedOutputFile> CHamperExtraction::Write(const CHamperIndexEntry& record, bool replace) {
  const std::string& path = record.GetPath();
  if (std::string problem = PathExtractionProblem(path); !problem.empty()) {
    throw NSFerryman::XBadFormat("not written: " + problem);
  }
  // The same Path twice, or a file where another item needs a folder: the second must not replace
  // the first, even when replacing is agreed.
  if (std::string problem = paths_.Check(path); !problem.empty()) {
    throw NSFerryman::XCreateFailed("not written: " + problem);
  }
  if (!ItemLiesInsideHamper(header_, record, hamper_.GetSize())) {
    throw NSFerryman::XBadFormat("the item lies outside the file");
  }
  const CHamperItemPath target = SplitHamperItemPath(path);
  const bool audio = record.GetItemType() == kAudioItemType;
  const EAudioFileFormat format = AudioFileFormatOf(target.FileName());
  NSFerryman::CPartialMedia item(hamper_, std::uint64_t{header_.GetDataOffset()} + record.GetOffset(), record.GetSize());
  if (audio) CheckAudioItemDecodesToFile(item, format);
  auto out = folder_.CreateFile(target.Folders(), target.FileName(), replace);
  if (audio) {
    DecodeAudioItemToFile(item, out->Media(), format);
  } else {
    CopyItem(item, out->Media());
  }
  return out;
}

std::string CHamperExtraction::Extract(const CHamperIndexEntry& record, bool replace) {
  const auto out = Write(record, replace);
  out->Commit();
  paths_.Claim(record.GetPath());
  return out->ShownPath();
}

void CHamperExtraction::ExtractLater(const CHamperIndexEntry& record, bool replace) {
  folder_.CommitLater(Write(record, replace));
  paths_.Claim(record.GetPath());
}

bool CHamperExtraction::BatchIsFull() const {
  return folder_.PendingCommits() >= folder_.BatchCapacity() || folder_.PendingBytes() >= kBatchBytes;
}

std::vector<CHamperExtraction::CFailure> CHamperExtraction::AsItemFailures(
    std::vector<CConfinedFolder::CCommitFailure> failures) const {
  std::vector<CFailure> items;
  for (auto& failure : failures) {
    // Targets are Paths with ":" as "/", and no name of an extracted Path holds a "/".
    std::replace(failure.path.begin(), failure.path.end(), '/', ':');
    items.push_back({std::move(failure.path), failure.error});
  }
  return items;
}

std::vector<CHamperExtraction::CFailure> CHamperExtraction::CommitBatch() {
  return AsItemFailures(folder_.CommitPending());
}

std::vector<CHamperExtraction::CFailure> CHamperExtraction::Finish() { return AsItemFailures(folder_.FinishCommits()); }

CHamperExtraction::CDescriptionOutcome CHamperExtraction::ExtractDescription(bool replace,
                                                                           const std::vector<std::string>& only) {
  CDescriptionFileSet set = DescriptionFilesFor(header_);
  CDescriptionOutcome outcome;
  for (const CDescriptionFile& file : set.files) {
    if (!only.empty() && std::find(only.begin(), only.end(), file.name) == only.end()) continue;
    try {
      const auto out = folder_.CreateFile({}, file.name, replace);
      out->Media().Write(file.text.size(), file.text.data());
      out->Commit();
    } catch (...) {
      outcome.notWritten.push_back({file.name, std::current_exception()});
    }
  }
  outcome.inexact = std::move(set.problems);
  return outcome;
}
