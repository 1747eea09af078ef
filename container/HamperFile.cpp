#include "container/HamperFile.h"

#include <exception>

#include "container/HamperDirEntry.h"
#include "container/HamperFileEntry.h"
#include "container/HamperHeader.h"
#include "container/HamperMedia.h"
#include "framework/media/OpenFile.h"

CNavigationHolder MINIHamperFile::Make(const std::string& path) { return MakeNavigationItem<MINIHamperFile>(path); }

MINIHamperFile::MINIHamperFile(const std::string& path) : MINIShellItem(path, Kind::kFile) {
  // A Hamper that cannot be read is still an item, only an empty one: the caller browses or
  // verifies it and finds nothing, rather than failing where the item is made.
  try {
    CHamperMedia media(*this);
    header_ = ReadAndCheckHamperHeader(media);
    fileSize_ = media.GetSize();
    LoadIndex(media);
  } catch (const std::exception&) {
    children_.Clear();
    header_ = CHamperDescription();
    fileSize_ = 0;
    indexLoaded_ = false;
  }
}

MINIHamperFile::~MINIHamperFile() { children_.Clear(); }

void MINIHamperFile::LoadIndex(NSFerryman::CMedia& media) {
  if (indexLoaded_) return;
  for (const CHamperIndexEntry& record : ReadHamperIndex(media, header_)) InsertRecord(record);
  indexLoaded_ = true;
}

void MINIHamperFile::InsertRecord(const CHamperIndexEntry& record) {
  const std::string& path = record.GetPath();
  std::size_t colon = path.find(':');
  if (colon == std::string::npos) {
    children_.Append(std::make_unique<MINIHamperFileEntry>(record, *this, *this));
    return;
  }
  // A folder takes the hidden flag of the first record below it, but one visible record makes it
  // visible: otherwise a folder whose first item is hidden data would hide every item after it
  // from browsing and from look-up by path.
  MINIHamperDirEntry* folder = &FindOrCreateTopFolder(record.IsHidden(), path.substr(0, colon));
  if (!record.IsHidden()) folder->MarkVisible();
  for (;;) {
    const std::size_t start = colon + 1;
    colon = path.find(':', start);
    if (colon == std::string::npos) break;
    folder = &folder->FindOrCreateFolder(record.IsHidden(), path.substr(start, colon - start));
    if (!record.IsHidden()) folder->MarkVisible();
  }
  folder->Children().Append(std::make_unique<MINIHamperFileEntry>(record, *folder, *this));
}

MINIHamperDirEntry& MINIHamperFile::FindOrCreateTopFolder(bool hidden, const std::string& name) {
  if (MINIHamperDirEntry* folder = children_.FindFolder(name)) return *folder;
  return static_cast<MINIHamperDirEntry&>(
      children_.Append(std::make_unique<MINIHamperDirEntry>(hidden, name, *this, *this)));
}

CNavigationHolder MINIHamperFile::VisibleFrom(std::size_t position, int step) const {
  // Positions are walked as signed steps; the loop ends when it leaves the list either way.
  for (std::size_t p = position; p < children_.Size(); p += static_cast<std::size_t>(step)) {
    if (!children_.At(p).IsHidden()) return children_.Share(p);
  }
  return {};
}

CNavigationHolder MINIHamperFile::GetFirstChild() const { return VisibleFrom(0, 1); }

std::optional<std::vector<CNavigationHolder>> MINIHamperFile::ChildrenWithPortableName(std::string_view name) const {
  std::vector<CNavigationHolder> children;
  for (const std::size_t position : children_.PositionsWithPortableName(name)) {
    if (!children_.At(position).IsHidden()) children.push_back(children_.Share(position));
  }
  return children;
}

CNavigationHolder MINIHamperFile::GetLastChild() const {
  return children_.Empty() ? CNavigationHolder() : VisibleFrom(children_.Size() - 1, -1);
}

CNavigationHolder MINIHamperFile::GetNextChild(const MINavigationInterface& child) const {
  std::size_t position = 0;
  return children_.Find(child, position) ? VisibleFrom(position + 1, 1) : CNavigationHolder();
}

CNavigationHolder MINIHamperFile::GetPreviousChild(const MINavigationInterface& child) const {
  std::size_t position = 0;
  if (!children_.Find(child, position) || position == 0) return {};
  return VisibleFrom(position - 1, -1);
}

std::unique_ptr<NSFerryman::CMedia> MINIHamperFile::OpenMedia() const { return std::make_unique<CHamperMedia>(*this); }

NSFerryman::CMedia& MINIHamperFile::AcquireMedia() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  if (!media_) media_ = std::make_unique<NSFerryman::COpenFile>(NSFerryman::CFileSpec(GetPath()));
  ++openCount_;
  return *media_;
}

void MINIHamperFile::ReleaseMedia() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  if (openCount_ > 0) --openCount_;
  CloseIfUnused();
}

void MINIHamperFile::AddKeepOpen() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  ++keepOpenCount_;
}

void MINIHamperFile::ReleaseKeepOpen() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  if (keepOpenCount_ > 0) --keepOpenCount_;
  CloseIfUnused();
}

void MINIHamperFile::CloseIfUnused() const {
  if (openCount_ == 0 && keepOpenCount_ == 0) media_.reset();
}

int MINIHamperFile::GetOpenCount() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  return openCount_;
}

int MINIHamperFile::GetKeepOpenCount() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  return keepOpenCount_;
}

bool MINIHamperFile::IsMediaOpen() const {
  std::lock_guard<std::mutex> lock(mediaMutex_);
  return media_ != nullptr;
}
