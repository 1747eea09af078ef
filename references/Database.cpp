#include "references/Database.h"

#include <algorithm>
#include <atomic>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>

#include "container/HamperFile.h"
#include "framework/media/AsciiCase.h"
#include "framework/resources/Alert.h"
#include "framework/resources/ResourceCache.h"
#include "navigation/PortableName.h"
#include "navigation/ShellItem.h"

namespace {

namespace fs = std::filesystem;

std::atomic<CDatabase*> gDatabase{nullptr};
thread_local bool tNoVolumeWaiting = false;

std::string AbsolutePath(const std::string& path) {
  std::string p = fs::absolute(fs::path(path)).lexically_normal().string();
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A Hamper starts with these four bytes; other files are passed over without opening them as
// Hampers.
bool StartsLikeHamper(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char magic[4] = {};
  const bool ok = std::fread(magic, 1, 4, file) == 4 && std::equal(magic, magic + 4, "Hamp");
  std::fclose(file);
  return ok;
}

}  // namespace

CDatabase* GetDatabase() { return gDatabase.load(); }

CNoVolumeWaitingHere::CNoVolumeWaitingHere() : previous_(tNoVolumeWaiting) { tNoVolumeWaiting = true; }
CNoVolumeWaitingHere::~CNoVolumeWaitingHere() { tNoVolumeWaiting = previous_; }

// ---- CDatabaseInterface ----

CNavigationHolder CDatabaseInterface::GetFirstChild() const { return database_.GetFirstTopLevelItem(); }

CNavigationHolder CDatabaseInterface::GetNextChild(const MINavigationInterface& child) const {
  return database_.GetNextTopLevelItem(child);
}

CNavigationHolder CDatabaseInterface::GetPreviousChild(const MINavigationInterface& child) const {
  return database_.GetPreviousTopLevelItem(child);
}

bool CDatabaseInterface::IsSame(const MINavigationInterface& other) const {
  const auto* root = dynamic_cast<const CDatabaseInterface*>(&other);
  return root && &root->database_ == &database_;
}

// ---- CDatabase ----

CDatabase::CDatabase(NSFerryman::ResourceId volumeSearchAlert)
    : volumeSearchAlert_(volumeSearchAlert), root_(*this) {
  CDatabase* expected = nullptr;
  if (!gDatabase.compare_exchange_strong(expected, this)) {
    throw NSFerryman::XBase("the installed-Hamper database exists already");
  }
}

CDatabase::~CDatabase() {
  {
    std::lock_guard lock(mutex_);
    ClearLocked();
  }
  gDatabase.store(nullptr);
}

void CDatabase::SetSearchFolder(std::size_t slot, const NSFerryman::CDirSpec& folder) {
  std::lock_guard lock(mutex_);
  if (slot >= kSearchFolderSlots) throw NSFerryman::XBase("search folder slot out of range");
  searchFolders_[slot] = folder;
  if (openCount_ == 0) built_ = false;
}

const NSFerryman::CDirSpec& CDatabase::GetSearchFolder(std::size_t slot) const {
  std::lock_guard lock(mutex_);
  if (slot >= kSearchFolderSlots) throw NSFerryman::XBase("search folder slot out of range");
  return searchFolders_[slot];
}

void CDatabase::SetApplicationFolder(const NSFerryman::CDirSpec& folder) {
  std::lock_guard lock(mutex_);
  applicationFolder_ = folder;
  if (openCount_ == 0) built_ = false;
}

void CDatabase::SetVolumeSource(VolumeSource source) {
  std::lock_guard lock(mutex_);
  volumeSource_ = std::move(source);
}

void CDatabase::SetVolumeSearchHost(MVolumeSearchHost* host) {
  std::lock_guard lock(mutex_);
  volumeSearchHost_ = host;
}

std::vector<CShellVolume> CDatabase::Volumes() const {
  VolumeSource source;
  {
    std::lock_guard lock(mutex_);
    source = volumeSource_;
  }
  return source ? source() : CVolumeTable::ReadSystem();
}

void CDatabase::BuildLocked() {
  if (built_) return;
  ClearLocked();
  std::vector<std::string> folders;
  for (const NSFerryman::CDirSpec& folder : searchFolders_) {
    if (!folder.GetPath().empty()) folders.push_back(folder.GetPath());
  }
  if (!applicationFolder_.GetPath().empty()) folders.push_back(applicationFolder_.GetPath());
  for (const CShellVolume& volume : volumeSource_ ? volumeSource_() : CVolumeTable::ReadSystem()) {
    if (volume.IsCdRom()) folders.push_back((fs::path(volume.mountPoint) / "Hampers").string());
  }
  for (const std::string& folder : folders) ScanFolderLocked(folder);
  // Without an open scope nothing may be reused: the next request builds again.
  built_ = openCount_ > 0;
}

void CDatabase::ScanFolderLocked(const std::string& folder) {
  std::error_code ec;
  std::vector<std::string> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name.front() != '.') files.push_back(it->path().string());
  }
  // Directory order is the file system's whim; name order makes "the first one found" stable.
  std::sort(files.begin(), files.end());
  for (const std::string& path : files) {
    if (!IsRegularFile(path) || !StartsLikeHamper(path)) continue;
    CNavigationHolder item = MINIHamperFile::Make(path);
    const auto& hamper = static_cast<const MINIHamperFile&>(*item);
    if (!hamper.IsIndexLoaded()) continue;
    const std::string name = hamper.GetName();
    const bool taken = std::any_of(topLevel_.begin(), topLevel_.end(), [&](const CNavigationHolder& other) {
      return NSFerryman::AsciiEqualsIgnoringCase(other->GetName(), name);
    });
    if (taken) continue;
    if (openCount_ > 0) hamper.AddKeepOpen();
    topLevel_.push_back(std::move(item));
  }
}

void CDatabase::ClearLocked() {
  for (const CNavigationHolder& item : topLevel_) {
    if (openCount_ > 0) static_cast<const MINIHamperFile&>(*item).ReleaseKeepOpen();
  }
  topLevel_.clear();
  // Chains are unlinked one entry at a time so that a long chain never recurses deeply.
  for (auto& bucket : index_) {
    while (bucket) bucket = std::move(bucket->next);
  }
  indexed_ = 0;
  built_ = false;
}

std::size_t CDatabase::PositionOf(const MINavigationInterface& item) const {
  // Outside a scope every request builds the set anew, so the item asked about may come from an
  // earlier set: it is found again by its file.
  const auto* hamper = dynamic_cast<const MINIHamperFile*>(&item);
  for (std::size_t i = 0; i < topLevel_.size(); ++i) {
    if (topLevel_[i].Get() == &item) return i;
    if (hamper && static_cast<const MINIHamperFile&>(*topLevel_[i]).GetPath() == hamper->GetPath()) return i;
  }
  return topLevel_.size();
}

CNavigationHolder CDatabase::GetFirstTopLevelItem() {
  std::lock_guard lock(mutex_);
  BuildLocked();
  return topLevel_.empty() ? CNavigationHolder() : topLevel_.front();
}

CNavigationHolder CDatabase::GetLastTopLevelItem() {
  std::lock_guard lock(mutex_);
  BuildLocked();
  return topLevel_.empty() ? CNavigationHolder() : topLevel_.back();
}

CNavigationHolder CDatabase::GetNextTopLevelItem(const MINavigationInterface& item) {
  std::lock_guard lock(mutex_);
  BuildLocked();
  const std::size_t position = PositionOf(item);
  return position + 1 < topLevel_.size() ? topLevel_[position + 1] : CNavigationHolder();
}

CNavigationHolder CDatabase::GetPreviousTopLevelItem(const MINavigationInterface& item) {
  std::lock_guard lock(mutex_);
  BuildLocked();
  const std::size_t position = PositionOf(item);
  return position > 0 && position < topLevel_.size() ? topLevel_[position - 1] : CNavigationHolder();
}

CNavigationHolder CDatabase::FindInstalledHamper(std::string_view name) {
  std::lock_guard lock(mutex_);
  BuildLocked();
  for (const CNavigationHolder& item : topLevel_) {
    if (NSFerryman::AsciiEqualsIgnoringCase(item->GetName(), name)) return item;
  }
  return {};
}

std::uint32_t CDatabase::PathHash(std::string_view path) {
  std::uint32_t h = 0;
  for (const char c : path) {
    // Each byte as a signed value: bytes above 127 add their negative, as the stored hashes do.
    const auto value = static_cast<std::int32_t>(static_cast<signed char>(NSFerryman::AsciiUpper(c)));
    h += static_cast<std::uint32_t>(value);
    h += h << 10;
    h ^= h >> 6;
  }
  h += h << 3;
  h ^= h >> 11;
  h += h << 15;
  return h;
}

CNavigationHolder CDatabase::ItemForPath(const std::string& path) {
  const std::string absolute = AbsolutePath(path);
  // Made outside the lock: opening a Hamper reads its index, which may take a while.
  CNavigationHolder made = IsRegularFile(absolute) && StartsLikeHamper(absolute)
                               ? MINIHamperFile::Make(absolute)
                               : MINIShellItem::ForPath(absolute);
  if (auto* hamper = dynamic_cast<const MINIHamperFile*>(made.Get()); hamper && !hamper->IsIndexLoaded()) {
    made = MINIShellItem::ForPath(absolute);
  }
  const std::uint32_t hash = PathHash(absolute);
  std::lock_guard lock(mutex_);
  auto& bucket = index_[hash % kIndexBuckets];
  for (CIndexEntry* entry = bucket.get(); entry; entry = entry->next.get()) {
    if (entry->hash == hash && entry->item->IsSame(*made)) return entry->item;
  }
  // The index only lives while a scope is open; outside one each request gets a fresh item.
  if (openCount_ == 0) return made;
  auto entry = std::make_unique<CIndexEntry>();
  entry->item = made;
  entry->hash = hash;
  entry->next = std::move(bucket);
  bucket = std::move(entry);
  ++indexed_;
  return made;
}

CNavigationHolder CDatabase::GetRootItem() { return CNavigationHolder::Share(&root_); }

void CDatabase::SetTopOfFileSystem(CNavigationHolder top) {
  std::lock_guard lock(mutex_);
  topOfFileSystem_ = std::move(top);
}

CNavigationHolder CDatabase::GetTopOfFileSystem() {
  {
    std::lock_guard lock(mutex_);
    if (topOfFileSystem_) return topOfFileSystem_;
  }
  return ItemForPath("/");
}

void CDatabase::OpenScope() {
  std::lock_guard lock(mutex_);
  if (openCount_++ == 0) {
    built_ = false;
    BuildLocked();
  } else {
    for (const CNavigationHolder& item : topLevel_) static_cast<const MINIHamperFile&>(*item).AddKeepOpen();
  }
}

void CDatabase::CloseScope() {
  std::lock_guard lock(mutex_);
  if (openCount_ == 0) return;
  if (openCount_ > 1) {
    for (const CNavigationHolder& item : topLevel_) static_cast<const MINIHamperFile&>(*item).ReleaseKeepOpen();
    --openCount_;
    return;
  }
  ClearLocked();
  openCount_ = 0;
}

int CDatabase::GetOpenCount() const {
  std::lock_guard lock(mutex_);
  return openCount_;
}

std::size_t CDatabase::GetIndexedItemCount() const {
  std::lock_guard lock(mutex_);
  return indexed_;
}

CNavigationHolder CDatabase::MatchVolume(const std::string& name) const {
  for (const CShellVolume& volume : Volumes()) {
    if (SamePortableName(volume.name, name)) return MINIShellItem::ForVolume(volume);
  }
  return {};
}

CNavigationHolder CDatabase::FindVolumeByName(const std::string& name, bool wait) {
  if (CNavigationHolder volume = MatchVolume(name)) return volume;
  MVolumeSearchHost* host = nullptr;
  {
    std::lock_guard lock(mutex_);
    host = volumeSearchHost_;
  }
  if (!wait || !host) return {};
  if (tNoVolumeWaiting) throw XVolumeWaitNotHere("the volume \"" + name + "\" must be asked for");
  const NSFerryman::CAlert alert = NSFerryman::ParseAlert(NSFerryman::GetAlertScript(volumeSearchAlert_), {name});
  CNavigationHolder found;
  const bool mounted = host->WaitForVolume(alert, kVolumePollMilliseconds, [&] {
    found = MatchVolume(name);
    return static_cast<bool>(found);
  });
  return mounted ? found : CNavigationHolder();
}
