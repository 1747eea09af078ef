#pragma once
// A folder that files are written into, never outside it, whatever names they are given and
// whatever lies in the folder already:
//
//   InstallPartialOutputRemoval();
//   CConfinedFolder folder("/home/me/Extracted");               // made when missing
//   auto file = folder.CreateFile({"Kits", "Drums"}, "Kick.wav", /*replace=*/false);
//   Write(file->Media());
//   file->Commit();                                             // appears whole, or not at all
//
// Names must be plain names (not empty, ".", "..", nor holding "/" or a zero byte: XBadFormat).
// Folders below are made as needed and entered one by one without following symbolic links: a
// link, or anything that is not a folder, where a folder is needed is XCreateFailed, and nothing
// is written through it. The file is created without a name in its folder (O_TMPFILE), or where
// the file system cannot do that, exclusively under a short hidden name beside its target,
// registered for removal if a signal ends the process; it gets its name when it is committed, and
// destroyed before that it is gone. A target that exists is left alone (XTargetExists) unless
// `replace`, which replaces the entry itself: a symbolic link there is replaced, never followed.
// A name that the file system takes for that of a file named before through this folder (one that
// does not tell letter case apart) is XCreateFailed, with or without `replace`: two files never
// become one.
// The folder given itself may be reached through links: it is the caller's choice.
//
// Durable: no name ever stands for a file whose data is not on the disk, even after a crash.
// Commit syncs the file, names it and syncs its folder. Each sync costs the disk a journal
// commit, so many files are better committed together:
//
//   folder.CommitLater(std::move(file));                        // written, not yet named
//   if (folder.PendingCommits() >= folder.BatchCapacity()) report(folder.CommitPending());
//   ...
//   report(folder.FinishCommits());                             // all named and synced
//
// CommitPending hands the files over to a thread of its own, which syncs the data of all of them
// at once and then names each, while the caller writes the next batch; it gives back what failed
// in the batch before. Their names are on the disk once the next batch has synced, or once
// FinishCommits returns. Commit and the batches are not to be mixed on one folder.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

#include "framework/media/Exceptions.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/Media.h"

// A target that is there already, left as it is because replacing was not asked for.
class XTargetExists : public NSFerryman::XCreateFailed {
 public:
  using XCreateFailed::XCreateFailed;
};

// A folder below the confined one, held open for the files that are written into it.
struct CConfinedFolderHandle;
class CCreatedFile;

class CConfinedOutputFile {
 public:
  ~CConfinedOutputFile();
  CConfinedOutputFile(const CConfinedOutputFile&) = delete;
  CConfinedOutputFile& operator=(const CConfinedOutputFile&) = delete;

  NSFerryman::CMedia& Media();
  // The target below the confined folder, "/" between names.
  const std::string& ShownPath() const { return shownPath_; }

  // Syncs the file, gives it its name and syncs the folder. XTargetExists when a target appeared
  // meanwhile (without `replace`), XCreateFailed when it is a folder, the XFile family for other
  // failures of the sync or the naming; the file is then gone.
  void Commit();

 private:
  friend class CConfinedFolder;
  CConfinedOutputFile(std::shared_ptr<CConfinedFolderHandle> folder, std::string name, std::string shownPath,
                      bool replace);

  // Puts the file's data on the disk; the XFile family on failure.
  void SyncData();
  // Gives the file its name and closes it; throws as Commit.
  void Name();
  // Renames the hidden file `partialName_` to the target.
  void RenameIntoPlace();

  std::shared_ptr<CConfinedFolderHandle> folder_;
  std::string name_;
  std::string shownPath_;
  bool replace_;
  std::unique_ptr<CCreatedFile> file_;
  bool anonymous_ = false;    // created with O_TMPFILE: it has no name until it is linked
  std::string partialName_;   // the hidden name it has, when it has one
  std::pair<dev_t, ino_t> identity_{};
  int registrySlot_ = -1;
  NSFerryman::CHiddenFileLock lock_;  // held while it has a hidden name, until renamed or removed
  bool committed_ = false;
};

class CConfinedFolder {
 public:
  // Makes the folder (and its parents) when missing. The XFile family when it cannot.
  explicit CConfinedFolder(const std::string& path);
  // Files still waiting to be committed are gone.
  ~CConfinedFolder();
  CConfinedFolder(const CConfinedFolder&) = delete;
  CConfinedFolder& operator=(const CConfinedFolder&) = delete;

  // Starts the file `name` in the folder reached through `folders`; see above.
  std::unique_ptr<CConfinedOutputFile> CreateFile(std::span<const std::string> folders, const std::string& name,
                                                  bool replace);

  // A file that could not be put in place by a batched commit, and why (it is gone), or a folder
  // that could not be synced.
  struct CCommitFailure {
    std::string path;  // ShownPath(), or the folder's path below the confined one
    std::exception_ptr error;
  };
  // Hands a written file over to be committed with others.
  void CommitLater(std::unique_ptr<CConfinedOutputFile> file);
  // Files handed over and not yet committed, and the bytes they hold.
  std::size_t PendingCommits() const { return pending_.size(); }
  std::uint64_t PendingBytes() const { return pendingBytes_; }
  // How many files a batch may hold: each stays open until it is named, and two batches may be
  // open at once, within the process's limit of open files (and of files a signal can remove).
  std::size_t BatchCapacity() const;
  // Starts committing the files handed over; gives back what failed in the batch before.
  std::vector<CCommitFailure> CommitPending();
  // Commits every file handed over, then syncs every folder a file was named in.
  std::vector<CCommitFailure> FinishCommits();

 private:
  // The folder reached through `folders`, made where missing; the last one reached is kept.
  std::shared_ptr<CConfinedFolderHandle> Enter(std::span<const std::string> folders, std::string& shown);
  // Syncs and names a batch (on the committing thread).
  std::vector<CCommitFailure> CommitBatch(std::vector<std::unique_ptr<CConfinedOutputFile>>& batch);
  // Waits for the batch being committed; gives back what failed in it.
  std::vector<CCommitFailure> JoinCommitter();

  std::shared_ptr<CConfinedFolderHandle> root_;
  std::string path_;
  // The folders last entered, by name, each held open.
  std::vector<std::pair<std::string, std::shared_ptr<CConfinedFolderHandle>>> entered_;
  std::vector<std::unique_ptr<CConfinedOutputFile>> pending_;
  std::uint64_t pendingBytes_ = 0;
  std::size_t pendingNamed_ = 0;  // files among them that have a hidden name
  // The batch being committed, on its thread; what failed in it.
  std::thread committer_;
  std::vector<CCommitFailure> committerFailures_;
  // Folders that files were named in since the last sync (the committing thread's own).
  std::vector<std::shared_ptr<CConfinedFolderHandle>> unsynced_;
};
