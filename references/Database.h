#pragma once
// CDatabase: the installed-Hamper database. It turns files, folders, volumes and installed
// Hampers into navigation items and answers what reference resolution asks: the root of
// everything ("Hampers", whose children are the installed Hampers), the item for a path, the top
// of the file system, and the mounted volume that carries a given name.
//
// One database exists at a time; GetDatabase() reaches it (null before it is made):
//
//   CDatabase database(AlertId(kApplicationResources, 92));
//   database.SetSearchFolder(0, CDirSpec("/home/me/Hampers"));
//   {
//     CDatabaseScope scope(database);          // a job's requests share one built item set
//     CNavigationHolder input = database.ItemForPath("/home/me/Content");
//     ...
//   }                                          // the last scope's end empties the index
//
// Installed Hampers are found, on first request, in the four search-folder slots, the
// application's folder and the "Hampers" folder at the mount point of each mounted CD-ROM volume
// (iso9660 or udf). Each folder is scanned flat, its files in name order; every file the Hamper
// reader accepts becomes a top-level item unless one with the same Hamper name (letter case
// ignored) came first. The set is kept while a scope is open and built again otherwise.
//
// Items handed out for paths are indexed under the one-at-a-time hash of their path (letters
// upper-cased) in 1381 buckets, so each file-system object keeps one item while a scope is open;
// a file that is a Hamper gets a MINIHamperFile.
//
// All operations may be called from several threads.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "framework/media/FileSpec.h"
#include "framework/resources/ResourceId.h"
#include "navigation/NavigationHolder.h"
#include "navigation/VolumeTable.h"
#include "references/DatabaseInterface.h"
#include "references/VolumeSearchHost.h"

class CDatabase {
 public:
  static constexpr std::size_t kSearchFolderSlots = 4;
  static constexpr std::size_t kIndexBuckets = 1381;
  static constexpr int kVolumePollMilliseconds = 500;
  using VolumeSource = std::function<std::vector<CShellVolume>()>;

  // Becomes the database GetDatabase() answers; XBase when another one exists.
  explicit CDatabase(NSFerryman::ResourceId volumeSearchAlert);
  ~CDatabase();
  CDatabase(const CDatabase&) = delete;
  CDatabase& operator=(const CDatabase&) = delete;

  // Settings. A change is seen when the item set is next built.
  void SetSearchFolder(std::size_t slot, const NSFerryman::CDirSpec& folder);
  const NSFerryman::CDirSpec& GetSearchFolder(std::size_t slot) const;
  void SetApplicationFolder(const NSFerryman::CDirSpec& folder);
  // The mounted volumes; the system's (/proc/self/mountinfo) unless replaced, as tests do.
  void SetVolumeSource(VolumeSource source);
  // Who waits for a volume to be inserted; without one a search that finds nothing gives up.
  void SetVolumeSearchHost(MVolumeSearchHost* host);
  // Where searches by volume start; the item for "/" unless replaced (fuzzing replaces it, so
  // that damaged records never walk the real file system).
  void SetTopOfFileSystem(CNavigationHolder top);

  // The installed Hampers, in the order found. None after the last, before the first.
  CNavigationHolder GetFirstTopLevelItem();
  CNavigationHolder GetLastTopLevelItem();
  CNavigationHolder GetNextTopLevelItem(const MINavigationInterface& item);
  CNavigationHolder GetPreviousTopLevelItem(const MINavigationInterface& item);
  // The installed Hamper of this name (letter case ignored), or none.
  CNavigationHolder FindInstalledHamper(std::string_view name);

  // The database's item for a file-system path (made absolute), made and indexed when it is not
  // indexed yet: a MINIHamperFile for a file the Hamper reader accepts, else a shell item.
  CNavigationHolder ItemForPath(const std::string& path);
  // The root item, "Hampers".
  CNavigationHolder GetRootItem();
  // The item for "/", where searches by volume start.
  CNavigationHolder GetTopOfFileSystem();

  // Scopes: while one is open the item set and the index are kept and the installed Hampers hold
  // their files open; the last close empties the index and lets the set be built again.
  void OpenScope();
  void CloseScope();
  int GetOpenCount() const;

  // The mounted volume whose name equals `name` (portable names, letter case ignored). When none
  // is mounted and `wait` is set, the host shows the volume search alert and the volumes are
  // tested again every 500 ms until one matches or the user cancels. None when nothing matched.
  CNavigationHolder FindVolumeByName(const std::string& name, bool wait = true);

  // The index's hash of a path: one-at-a-time over its bytes as signed values, a..z upper-cased.
  static std::uint32_t PathHash(std::string_view path);
  // Entries in the index now (for tests and diagnostics).
  std::size_t GetIndexedItemCount() const;

 private:
  struct CIndexEntry {
    CNavigationHolder item;
    std::uint32_t hash;
    std::unique_ptr<CIndexEntry> next;
  };

  void BuildLocked();
  void ScanFolderLocked(const std::string& folder);
  void ClearLocked();
  std::vector<CShellVolume> Volumes() const;
  CNavigationHolder MatchVolume(const std::string& name) const;
  std::size_t PositionOf(const MINavigationInterface& item) const;

  mutable std::recursive_mutex mutex_;
  NSFerryman::ResourceId volumeSearchAlert_;
  std::array<NSFerryman::CDirSpec, kSearchFolderSlots> searchFolders_;
  NSFerryman::CDirSpec applicationFolder_;
  VolumeSource volumeSource_;
  MVolumeSearchHost* volumeSearchHost_ = nullptr;
  CNavigationHolder topOfFileSystem_;
  CDatabaseInterface root_;
  bool built_ = false;
  std::vector<CNavigationHolder> topLevel_;
  std::array<std::unique_ptr<CIndexEntry>, kIndexBuckets> index_;
  std::size_t indexed_ = 0;
  int openCount_ = 0;
};

// The database, or null when none exists.
CDatabase* GetDatabase();

// A volume search that would have to wait for the user cannot do so on a worker thread: there,
// while one of these lives, such a search throws XVolumeWaitNotHere, and the job repeats that
// file's work on its own thread, where the user can be asked.
class CNoVolumeWaitingHere {
 public:
  CNoVolumeWaitingHere();
  ~CNoVolumeWaitingHere();
  CNoVolumeWaitingHere(const CNoVolumeWaitingHere&) = delete;
  CNoVolumeWaitingHere& operator=(const CNoVolumeWaitingHere&) = delete;

 private:
  bool previous_;
};

class XVolumeWaitNotHere : public NSFerryman::XBase {
 public:
  using XBase::XBase;
};

// Opens a scope for its lifetime.
class CDatabaseScope {
 public:
  explicit CDatabaseScope(CDatabase& database) : database_(database) { database_.OpenScope(); }
  ~CDatabaseScope() { database_.CloseScope(); }
  CDatabaseScope(const CDatabaseScope&) = delete;
  CDatabaseScope& operator=(const CDatabaseScope&) = delete;

 private:
  CDatabase& database_;
};
