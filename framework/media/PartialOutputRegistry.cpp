#include "framework/media/PartialOutputRegistry.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace NSFerryman {

namespace {

// Fixed storage: a handler may not allocate, and may run while another thread registers. A
// slot's state says whether its path may be read: the handler reads only kReady slots, and a
// path is written only while its slot is kWriting.
enum : int { kFree = 0, kWriting = 1, kReady = 2 };
constexpr int kSlots = 32;
constexpr std::size_t kPathBytes = 4096;

constexpr int kFolderDepth = 16;

struct CSlot {
  std::atomic<int> state{kFree};
  bool folder = false;
  char path[kPathBytes];
};

CSlot gSlots[kSlots];

// Empties the folder open as `fd`, with nothing but calls a signal handler may make. Entries are
// read again from the start until a pass removes nothing: removing them moves the others.
void EmptyFolder(int fd, int depth) {
  alignas(8) char buffer[2048];
  for (bool removed = true; removed;) {
    removed = false;
    if (::lseek(fd, 0, SEEK_SET) != 0) return;
    for (;;) {
      const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
        at += entry->d_reclen;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        if (::unlinkat(fd, name, 0) == 0) {
          removed = true;
          continue;
        }
        if (errno != EISDIR || depth >= kFolderDepth) continue;
        const int below = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (below < 0) continue;
        EmptyFolder(below, depth + 1);
        ::close(below);
        if (::unlinkat(fd, name, AT_REMOVEDIR) == 0) removed = true;
      }
    }
  }
}

void RemoveFolder(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  EmptyFolder(fd, 0);
  ::close(fd);
  ::rmdir(path);
}

int Register(const std::string& path, bool folder) {
  if (path.size() >= kPathBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (gSlots[i].state.compare_exchange_strong(expected, kWriting, std::memory_order_acquire)) {
      std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
      gSlots[i].folder = folder;
      gSlots[i].state.store(kReady, std::memory_order_release);
      return i;
    }
  }
  return -1;
}

extern "C" void RemovePartialOutputs(int signal) {
  const int savedErrno = errno;
  for (CSlot& slot : gSlots) {
    if (slot.state.load(std::memory_order_acquire) != kReady) continue;
    if (slot.folder) {
      RemoveFolder(slot.path);
    } else {
      ::unlink(slot.path);
    }
  }
  errno = savedErrno;
  // The handler was installed to run once (SA_RESETHAND): the signal's default action follows
  // as soon as the handler returns, so the process still ends as the signal says.
  ::raise(signal);
}

}  // namespace

int RegisterPartialOutput(const std::string& path) { return Register(path, false); }

int RegisterPartialFolder(const std::string& path) { return Register(path, true); }

void UnregisterPartialOutput(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  gSlots[slot].state.store(kFree, std::memory_order_release);
}

void InstallPartialOutputRemovalFor(int signal) {
  struct sigaction current {};
  if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = RemovePartialOutputs;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  ::sigaction(signal, &action, nullptr);
}

void InstallPartialOutputRemoval() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) InstallPartialOutputRemovalFor(signal);
}

void LetFileSizeLimitFailWrites() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace NSFerryman
