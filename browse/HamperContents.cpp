#include "browse/HamperContents.h"

#include <new>
#include <optional>
#include <stdexcept>

#include "browse/SampleFacts.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexLayout.h"
#include "framework/media/OpenFile.h"

using NSFerryman::CMedia;
using NSFerryman::MediaSize;
using NSFerryman::XBadFormat;

namespace {

// One item's bytes, over a file of its own or a shared one. The position is the item's own:
// reads of other items through the same file never move it.
class CItemMedia : public CMedia {
 public:
  CItemMedia(std::unique_ptr<NSFerryman::COpenFile> file, MediaSize start, MediaSize size)
      : owned_(std::move(file)), file_(*owned_), start_(start), size_(size) {}
  CItemMedia(CMedia& file, MediaSize start, MediaSize size) : file_(file), start_(start), size_(size) {}

  MediaSize GetSize() override { return size_; }
  MediaSize GetPosition() override { return position_; }
  void SetPosition(MediaSize position) override {
    if (position > size_) {
      throw NSFerryman::XPosition("position " + std::to_string(position) + " past the end of an item of " +
                                  std::to_string(size_) + " bytes");
    }
    position_ = position;
  }
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override {
    if (position > size_ || count > size_ - position) {
      throw NSFerryman::XRead("read of " + std::to_string(count) + " bytes at " + std::to_string(position) +
                              " past the end of an item of " + std::to_string(size_) + " bytes");
    }
    file_.ReadAt(start_ + position, count, buffer);
    position_ = position + count;
  }
  void WriteAt(MediaSize, std::size_t, const void*) override { throw NSFerryman::XWrite("a Hamper's items are read-only"); }

 private:
  std::unique_ptr<NSFerryman::COpenFile> owned_;
  CMedia& file_;
  MediaSize start_;
  MediaSize size_;
  MediaSize position_ = 0;
};

std::string Described(const std::exception& e) { return e.what(); }

}  // namespace

CHamperContents::CHamperContents(std::string path) : path_(std::move(path)) {}
CHamperContents::~CHamperContents() = default;

std::unique_ptr<CHamperContents> CHamperContents::Open(const std::string& path, std::size_t maxRecords) {
  std::unique_ptr<CHamperContents> contents(new CHamperContents(path));
  contents->Read(maxRecords);
  return contents;
}

void CHamperContents::Read(std::size_t maxRecords) {
  std::unique_ptr<NSFerryman::COpenFile> file;
  try {
    file = std::make_unique<NSFerryman::COpenFile>(NSFerryman::CFileSpec(path_));
    opened_ = FileStateOf(file->GetDescriptor());
    fileSize_ = file->GetSize();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    fileProblems_.push_back(Described(e));
    return;
  }

  bool checked = false;
  try {
    file->SetPosition(0);
    description_ = ReadAndCheckHamperHeader(*file);
    checked = true;
    hasDescription_ = true;
  } catch (const NSFerryman::XBase& e) {
    fileProblems_.push_back(Described(e));
  }
  if (!checked) {
    // A Hamper cut short or altered in its header still holds its description and the items
    // before the damage; anything that does not even begin as a Hamper is left alone.
    try {
      char magic[4] = {};
      if (fileSize_ >= kHamperDescriptionPosition) file->ReadAt(0, 4, magic);
      if (NSFerryman::CFourCharCode(std::string_view(magic, 4)) == kHamperMagic) {
        file->SetPosition(kHamperDescriptionPosition);
        description_ = CHamperDescription::Read(*file);
        hasDescription_ = true;
      }
    } catch (const NSFerryman::XBase&) {
    }
  }

  if (hasDescription_) {
    const std::uint32_t count = description_.GetEntryCount();
    CHamperIndexReading reading = ReadHamperIndexAsFarAsItGoes(*file, description_, maxRecords);
    if (reading.limited) {
      fileProblems_.push_back("its index holds more than " + std::to_string(maxRecords) +
                              " records, more than a window shows; `hamper list` lists them all");
    } else {
      index_ = std::move(reading.index);
    }
    if (!reading.problem.empty()) {
      fileProblems_.push_back("damaged index: " + std::to_string(index_.Size()) + " of its " + std::to_string(count) +
                              " records could be read (record " + std::to_string(index_.Size() + 1) + ": " +
                              reading.problem + ")");
    }
    problems_ = CheckHamperIndexLayout(description_, index_, fileSize_);
    if (problems_.Count() > 0) {
      fileProblems_.push_back(std::to_string(problems_.Count()) + " of the " + std::to_string(index_.Size()) +
                              " items lie outside the file, over another item or under another item's path");
    }
  }
  file_ = std::move(file);
}

const CHamperTree& CHamperContents::Tree() const {
  std::call_once(treeMade_, [this] { tree_ = std::make_unique<CHamperTree>(index_); });
  return *tree_;
}

std::string CHamperContents::RecordProblem(std::size_t record) const {
  const std::optional<CIndexLayoutProblem> problem = problems_.Of(record);
  return problem ? problems_.Text(*problem, description_, index_, fileSize_) : std::string();
}

std::unique_ptr<CMedia> CHamperContents::OpenItem(std::size_t record) const {
  if (record >= index_.Size()) throw std::out_of_range("no record " + std::to_string(record));
  if (HasRecordProblem(record)) throw XBadFormat(RecordProblem(record));
  std::unique_ptr<NSFerryman::COpenFile> file = OpenFile();
  const MediaSize start = MediaSize{description_.GetDataOffset()} + index_.Offset(record);
  const MediaSize size = index_.ItemSize(record);
  // The file may have been cut since it was opened.
  if (start + size > file->GetSize()) throw XBadFormat("the item lies outside the file");
  return std::make_unique<CItemMedia>(std::move(file), start, size);
}

std::unique_ptr<NSFerryman::COpenFile> CHamperContents::OpenFile() const {
  const std::lock_guard lock(mutex_);
  return SharedFile().Duplicate();
}

std::string CHamperContents::ReadablePath() const {
  const std::lock_guard lock(mutex_);
  return "/proc/self/fd/" + std::to_string(SharedFile().GetDescriptor());
}

EHamperFileChange CHamperContents::ChangeOnDisk() const {
  if (!opened_) return EHamperFileChange::kNone;
  const std::lock_guard lock(mutex_);
  return CompareHamperFile(*opened_, FileStateOf(file_->GetDescriptor()), FileStateAt(path_));
}

std::vector<std::uint8_t> CHamperContents::ReadItem(std::size_t record, std::size_t limit) const {
  if (record >= index_.Size()) throw std::out_of_range("no record " + std::to_string(record));
  if (HasRecordProblem(record)) throw XBadFormat(RecordProblem(record));
  const std::uint32_t size = index_.ItemSize(record);
  if (size > limit) {
    throw XBadFormat("the item of " + std::to_string(size) + " bytes is larger than " + std::to_string(limit) +
                     " bytes");
  }
  std::vector<std::uint8_t> bytes(size);
  const std::lock_guard lock(mutex_);
  SharedFile().ReadAt(MediaSize{description_.GetDataOffset()} + index_.Offset(record), bytes.size(), bytes.data());
  return bytes;
}

NSFerryman::COpenFile& CHamperContents::SharedFile() const {
  // Never opened again by name: that could be another file by now.
  if (!file_) throw NSFerryman::XFileNotFound(path_ + ": the file could not be opened");
  return *file_;
}

CSampleFactsResult CHamperContents::SampleFacts(std::size_t record, bool keep) const {
  if (record >= index_.Size()) throw std::out_of_range("no record " + std::to_string(record));
  const std::lock_guard lock(mutex_);
  if (const auto found = facts_.find(record); found != facts_.end()) return found->second;
  CSampleFactsResult result;
  try {
    if (index_.ItemType(record) != 11) throw XBadFormat("not a sample");
    if (HasRecordProblem(record)) throw XBadFormat(RecordProblem(record));
    CMedia& file = SharedFile();
    const MediaSize start = MediaSize{description_.GetDataOffset()} + index_.Offset(record);
    const MediaSize size = index_.ItemSize(record);
    if (start + size > file.GetSize()) throw XBadFormat("the item lies outside the file");
    CItemMedia item(file, start, size);
    result.header = ReadSampleFacts(item);
    result.ok = true;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    result.problem = e.what();
  }
  if (keep) facts_.emplace(record, result);
  return result;
}
