#include "framework/media/PartialOutputRegistry.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace NSFerryman {

namespace {

// Fixed storage: a handler may not allocate, and may run while another thread registers. A
// slot's state says whether its path may be read: the handler reads only kReady slots, and a
// path is written only while its slot is kWriting.
enum : int { kFree = 0, kWriting = 1, kReady = 2 };
constexpr int kSlots = 32;
constexpr std::size_t kPathBytes = 4096;

struct CSlot {
  std::atomic<int> state{kFree};
  char path[kPathBytes];
};

CSlot gSlots[kSlots];

extern "C" void RemovePartialOutputs(int signal) {
  const int savedErrno = errno;
  for (CSlot& slot : gSlots) {
    if (slot.state.load(std::memory_order_acquire) == kReady) ::unlink(slot.path);
  }
  errno = savedErrno;
  // The handler was installed to run once (SA_RESETHAND): the signal's default action follows
  // as soon as the handler returns, so the process still ends as the signal says.
  ::raise(signal);
}

}  // namespace

int RegisterPartialOutput(const std::string& path) {
  if (path.size() >= kPathBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (gSlots[i].state.compare_exchange_strong(expected, kWriting, std::memory_order_acquire)) {
      std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
      gSlots[i].state.store(kReady, std::memory_order_release);
      return i;
    }
  }
  return -1;
}

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
