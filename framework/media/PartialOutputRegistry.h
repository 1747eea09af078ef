#pragma once
// The files of this process that are partly written outputs, kept where a signal handler can
// reach them: InstallPartialOutputRemoval makes SIGINT, SIGTERM and SIGHUP remove every file
// registered at that moment before the process ends with the signal's default action. Folders
// of the process's own (PrivateTemporaryFolder.h) are registered too, and removed with what they
// hold.
//
//   const int slot = RegisterPartialOutput(temporaryPath);   // when the file is created
//   ...
//   UnregisterPartialOutput(slot);                           // once renamed or removed
//
// Installing the handler is a separate, explicit call (for commands that write files): a command
// that handles SIGINT itself, as a request to stop, does not install it. Registration is safe
// from any thread; the handler only calls unlink, open, getdents64 and close, which are safe in a
// handler.

#include <string>

namespace NSFerryman {

// Registers `path` and returns its slot, or -1 when every slot is taken or the path is too long
// to keep (the file then simply is not removed on a signal).
int RegisterPartialOutput(const std::string& path);
// Registers a folder whose whole contents go with it (at most 16 levels deep; anything deeper
// stays, for the next start to sweep). The same slots and the same -1.
int RegisterPartialFolder(const std::string& path);
// Forgets the slot (nothing for -1).
void UnregisterPartialOutput(int slot);

// Installs the removing handler for SIGINT, SIGTERM and SIGHUP, except where the signal is
// ignored (as under nohup), which stays so.
void InstallPartialOutputRemoval();
// The same for one signal. Safe to call from a signal handler (it only calls sigaction), so that
// a handler that first only asked a job to stop can let the next signal end the process.
void InstallPartialOutputRemovalFor(int signal);

// Makes a write past the process's file-size limit (`ulimit -f`, a quota) fail with EFBIG, which
// is reported as a full disk, instead of ending the process with SIGXFSZ before it can say why or
// remove its partial files.
void LetFileSizeLimitFailWrites();

// Registers a path for its lifetime.
class CPartialOutputRegistration {
 public:
  explicit CPartialOutputRegistration(const std::string& path) : slot_(RegisterPartialOutput(path)) {}
  ~CPartialOutputRegistration() { UnregisterPartialOutput(slot_); }
  CPartialOutputRegistration(const CPartialOutputRegistration&) = delete;
  CPartialOutputRegistration& operator=(const CPartialOutputRegistration&) = delete;

 private:
  int slot_;
};

}  // namespace NSFerryman
