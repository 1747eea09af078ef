#pragma once
// A folder of the process's own in the system's temporary folder ($TMPDIR, else /tmp), that the
// user alone may enter (mode 0700), for files handed to another program that reads them later
// (items dragged out to a file manager that takes only file names). It goes, with everything in
// it, when the object is destroyed or a signal ends the process (PartialOutputRegistry.h); what a
// killed process left is removed by the next RemoveLeftoverTemporaryFolders of the same prefix,
// which can tell it from a folder in use: the folder is locked (flock) while its owner lives.
//
//   RemoveLeftoverTemporaryFolders("hamper-packer-drag-");   // at start-up
//   CPrivateTemporaryFolder folder("hamper-packer-drag-");   // $TMPDIR/hamper-packer-drag-XXXXXX
//   Write(folder.Path() + "/Kick.wav");
//
// On a file system without locks nothing is ever taken for a leftover.

#include <string>

namespace NSFerryman {

class CPrivateTemporaryFolder {
 public:
  // The XFile family when the folder cannot be made.
  explicit CPrivateTemporaryFolder(const std::string& prefix);
  ~CPrivateTemporaryFolder();
  CPrivateTemporaryFolder(const CPrivateTemporaryFolder&) = delete;
  CPrivateTemporaryFolder& operator=(const CPrivateTemporaryFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;  // holds the lock
  int registrySlot_ = -1;
};

// Removes the user's folders of that prefix in the temporary folder whose lock is free (their
// process is gone), with what they hold; never through a symbolic link. What cannot be removed
// is passed over.
void RemoveLeftoverTemporaryFolders(const std::string& prefix);

}  // namespace NSFerryman
