#include "browse/ExtractionRun.h"

#include <algorithm>
#include <map>
#include <new>

#include "browse/ConfinedFolder.h"
#include "browse/HamperContents.h"
#include "browse/HamperExtraction.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "pack/DescriptionFileWriter.h"

using NSFerryman::MediaSize;

// The Hamper as the extraction reads it: every read is a chance to stop, and the reads inside the
// item being written move the progress. An audio item is read twice (checked, then decoded), so
// the progress within an item is the farthest byte read, never the bytes read.
class CExtractionRun::CWatchedMedia : public NSFerryman::CMedia {
 public:
  explicit CWatchedMedia(std::unique_ptr<NSFerryman::COpenFile> file) : file_(std::move(file)) {}

  void Watch(MExtractionHost* host, MediaSize start, MediaSize size) {
    host_ = host;
    start_ = start;
    size_ = size;
    reached_ = 0;
  }
  void SetTotals(std::uint64_t doneBefore, std::uint64_t total, std::string path) {
    doneBefore_ = doneBefore;
    total_ = total;
    path_ = std::move(path);
  }

  MediaSize GetSize() override { return file_->GetSize(); }
  MediaSize GetPosition() override { return file_->GetPosition(); }
  void SetPosition(MediaSize position) override { file_->SetPosition(position); }
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override {
    if (host_ && host_->StopRequested()) throw NSFerryman::XUserCancelled("the extraction was stopped");
    file_->ReadAt(position, count, buffer);
    if (!host_ || position + count <= start_ || position >= start_ + size_) return;
    const MediaSize reached = std::min(position + count, start_ + size_) - start_;
    if (reached <= reached_) return;
    reached_ = reached;
    host_->ShowExtractionProgress(doneBefore_ + reached_, total_, path_);
  }
  void WriteAt(MediaSize, std::size_t, const void*) override { throw NSFerryman::XWrite("the Hamper is read-only"); }

 private:
  std::unique_ptr<NSFerryman::COpenFile> file_;
  MExtractionHost* host_ = nullptr;
  MediaSize start_ = 0;
  MediaSize size_ = 0;
  MediaSize reached_ = 0;
  std::uint64_t doneBefore_ = 0;
  std::uint64_t total_ = 0;
  std::string path_;
};

CExtractionRun::CExtractionRun(const CHamperContents& contents, const std::string& folder)
    : contents_(contents),
      folder_(folder),
      hamper_(std::make_unique<CWatchedMedia>(contents.OpenFile())),
      confined_(std::make_unique<CConfinedFolder>(folder)),
      extraction_(std::make_unique<CHamperExtraction>(*hamper_, contents.Description(), *confined_)) {}

CExtractionRun::~CExtractionRun() = default;

CExtractionOutcome CExtractionRun::Extract(const std::vector<CExtractionItem>& items, bool replace, MExtractionHost& host) {
  CExtractionOutcome outcome;
  std::uint64_t total = 0;
  for (const CExtractionItem& item : items) total += contents_.Index().ItemSize(item.record);
  // Written and waiting for their batch to be put in place, by the Path they are written at.
  std::map<std::string, const CExtractionItem*> waiting;
  const auto commit = [&](std::vector<CHamperExtraction::CFailure> failures) {
    for (const CHamperExtraction::CFailure& failure : failures) {
      const auto found = waiting.find(failure.path);
      if (found == waiting.end()) continue;
      const CExtractionItem& item = *found->second;
      waiting.erase(found);
      try {
        std::rethrow_exception(failure.error);
      } catch (const XTargetExists&) {
        // A file that appeared at the name meanwhile: kept, as one that was there.
        outcome.kept.push_back(item);
      } catch (const NSFerryman::XDiskFull& e) {
        outcome.failed.push_back({item.record, item.path, e.what()});
        outcome.stopped = true;
      } catch (const std::exception& e) {
        outcome.failed.push_back({item.record, item.path, e.what()});
      }
    }
    for (const auto& [path, item] : waiting) outcome.written.push_back(item->record);
    waiting.clear();
  };

  std::uint64_t done = 0;
  std::size_t next = 0;
  for (; next < items.size() && !outcome.stopped; ++next) {
    const CExtractionItem& item = items[next];
    const CHamperIndexEntry stored = contents_.Record(item.record);
    const CHamperIndexEntry entry(stored.GetItemType(), stored.GetSize(), stored.GetOffset(), stored.IsHidden(), item.path);
    if (host.StopRequested()) {
      outcome.stopped = true;
      break;
    }
    host.ShowExtractionProgress(done, total, item.path);
    hamper_->SetTotals(done, total, item.path);
    hamper_->Watch(&host, MediaSize{contents_.Description().GetDataOffset()} + entry.GetOffset(), entry.GetSize());
    try {
      extraction_->ExtractLater(entry, replace);
      waiting.emplace(item.path, &item);
    } catch (const XTargetExists&) {
      outcome.kept.push_back(item);
    } catch (const NSFerryman::XUserCancelled&) {
      // The item being written is not counted: its hidden file went with it.
      outcome.stopped = true;
      break;
    } catch (const NSFerryman::XDiskFull& e) {
      // Every item after this one would fail the same way.
      outcome.failed.push_back({item.record, item.path, e.what()});
      outcome.stopped = true;
    } catch (const std::bad_alloc&) {
      hamper_->Watch(nullptr, 0, 0);
      throw;
    } catch (const std::exception& e) {
      outcome.failed.push_back({item.record, item.path, e.what()});
    }
    hamper_->Watch(nullptr, 0, 0);
    done += entry.GetSize();
    if (extraction_->BatchIsFull()) commit(extraction_->CommitBatch());
  }
  // What was written stands whole, a stop or not.
  commit(extraction_->Finish());
  outcome.notTried = items.size() - next;
  std::sort(outcome.written.begin(), outcome.written.end());
  if (!outcome.stopped) host.ShowExtractionProgress(done, total, "");
  return outcome;
}

CExtractionOutcome CExtractionRun::ExtractDescription(bool replace, const std::vector<std::string>& only) {
  CExtractionOutcome outcome;
  const CHamperExtraction::CDescriptionOutcome description = extraction_->ExtractDescription(replace, only);
  std::size_t notWritten = 0;
  for (const CHamperExtraction::CFailure& file : description.notWritten) {
    ++notWritten;
    try {
      std::rethrow_exception(file.error);
    } catch (const XTargetExists& e) {
      if (replace) {
        outcome.failed.push_back({CExtractionOutcome::kNoRecord, file.path, e.what()});
      } else {
        outcome.keptDescription.push_back(file.path);
      }
    } catch (const std::exception& e) {
      outcome.failed.push_back({CExtractionOutcome::kNoRecord, file.path, e.what()});
    }
  }
  const std::size_t asked = only.empty() ? DescriptionFilesFor(contents_.Description()).files.size() : only.size();
  outcome.descriptionWritten = asked > notWritten ? asked - notWritten : 0;
  return outcome;
}

std::vector<CExtractionItem> ItemsAtTheirPaths(const CHamperContents& contents, const std::vector<std::size_t>& records) {
  std::vector<CExtractionItem> items;
  items.reserve(records.size());
  for (const std::size_t record : records) items.push_back({record, std::string(contents.Index().Path(record))});
  return items;
}

std::vector<CExtractionItem> DraggedItems(const CHamperContents& contents, std::span<const std::uint32_t> nodes) {
  const CHamperTree& tree = contents.Tree();
  std::vector<bool> dragged(tree.NodeCount(), false);
  for (const std::uint32_t node : nodes) dragged[node] = true;
  std::vector<CExtractionItem> items;
  for (const std::size_t record : tree.RecordsBelow(nodes)) {
    // The highest node dragged above the item decides where it lands.
    std::uint32_t top = CHamperTree::kRoot;
    for (std::uint32_t n = tree.NodeOfRecord(record); n != CHamperTree::kRoot; n = tree.Node(n).parent) {
      if (dragged[n]) top = n;
    }
    std::string path = tree.PathOf(tree.NodeOfRecord(record));
    const std::uint32_t parent = tree.Node(top).parent;
    if (top != CHamperTree::kRoot && parent != CHamperTree::kRoot) path.erase(0, tree.PathOf(parent).size() + 1);
    items.push_back({record, std::move(path)});
  }
  return items;
}
