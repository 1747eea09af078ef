#pragma once
// The hidden files a command keeps beside its output while it works: the output being written
// (".part") and, for a pack, items waiting for their turn (".spill").
//
// Each is named ".hamper-", 10 characters from a-z and 0-9, then ".part" or ".spill"; created
// exclusively (an existing file or link at the name is never opened); and locked (flock) by its
// writer for as long as the writer keeps it. A lock ends with its process however the process
// ends, so a later command in that folder can tell what a killed command left behind (the lock is
// free) from a file in use (the lock is held), and remove only the former:
//
//   RemoveLeftoverFiles(folder);                    // before a command writes there
//   CHiddenFile spill(folder, EHiddenKind::kSpill, "out.hmp");
//   spill.WriteAt(...);                             // removed when destroyed
//
// On a file system without locks nothing is ever taken for a leftover.

#include <string>
#include <utility>
#include <vector>

#include "framework/media/OpenFile.h"

namespace NSFerryman {

enum class EHiddenKind { kPart, kSpill };

// A new name of `kind`, not yet taken as far as anyone knows; creating it exclusively tells.
std::string NewHiddenFileName(EHiddenKind kind);

// Whether `name` is one of ours, of either kind; nothing else is ever removed as a leftover.
bool IsHiddenFileName(const std::string& name);

// Removes the hidden files in `folder` whose lock can be taken. Regular files only, never through a
// symbolic link; anything that fails (a folder that cannot be read, a file that cannot be opened)
// is passed over: a leftover that stays costs only room.
void RemoveLeftoverFiles(const std::string& folder);
// The same in the folder open as `folder` (a descriptor, which stays open).
void RemoveLeftoverFilesAt(int folder);

// A lock held on a descriptor of its own, so that the locked file can be closed (and a failure of
// the close seen) before it is renamed or removed, without a moment in which it lies unlocked.
class CHiddenFileLock {
 public:
  CHiddenFileLock() = default;
  // Shares the lock that `fd` holds.
  explicit CHiddenFileLock(int fd);
  ~CHiddenFileLock() { Release(); }
  CHiddenFileLock(CHiddenFileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  CHiddenFileLock& operator=(CHiddenFileLock&& other) noexcept;
  void Release() noexcept;

 private:
  int fd_ = -1;
};

// A new hidden file of `kind` in the folder open as `folder` (a descriptor, or AT_FDCWD with
// `folderPath` leading to it), opened for reading and writing with `mode`, and locked. Gives the
// descriptor and the name. `shownAs` names it in messages. The XFile family when it cannot be made.
std::pair<int, std::string> CreateHiddenFile(int folder, const std::string& folderPath, EHiddenKind kind, int mode,
                                             const std::string& shownAs);

// Locks a hidden file just created exclusively as `name` in `folder` (a descriptor or AT_FDCWD).
// False when a sweep took it for a leftover between its creation and this call: the caller then
// closes it and makes another.
bool LockNewHiddenFile(int fd, int folder, const std::string& name);

// A hidden file that lives while the object does: closed and removed when destroyed, and removed
// too when a signal ends the process (PartialOutputRegistry.h). Errors name `shownAs`.
class CHiddenFile : public COpenFile {
 public:
  CHiddenFile(const std::string& folder, EHiddenKind kind, const std::string& shownAs);
  ~CHiddenFile() override;

  const std::string& GetHiddenPath() const { return hiddenPath_; }

 private:
  CHiddenFile(std::pair<int, std::string> created, const std::string& shownAs);

  std::string hiddenPath_;
  int registrySlot_ = -1;
};

}  // namespace NSFerryman
