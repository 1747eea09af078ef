#include "framework/media/TemporaryOpenFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "framework/media/FileErrors.h"
#include "framework/media/PartialOutputRegistry.h"

namespace NSFerryman {

namespace {

// The generator x <- x * 0x0BB38435 + 0x3619636B (mod 2^32), seeded from the clock on first use.
// Atomic so that jobs on several threads never draw the same state twice.
std::atomic<std::uint32_t>& GeneratorState() {
  static std::atomic<std::uint32_t> state{static_cast<std::uint32_t>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ static_cast<std::uint32_t>(::getpid()))};
  return state;
}

std::uint32_t NextRandom() {
  auto& state = GeneratorState();
  std::uint32_t x = state.load(std::memory_order_relaxed);
  std::uint32_t next;
  do {
    next = x * 0x0BB38435u + 0x3619636Bu;
  } while (!state.compare_exchange_weak(x, next, std::memory_order_relaxed));
  return next;
}

int OpenExclusive(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

}  // namespace

void CTemporaryOpenFile::SeedNameGenerator(std::uint32_t seed) {
  GeneratorState().store(seed, std::memory_order_relaxed);
}

std::string CTemporaryOpenFile::NextName() {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = "temp";
  for (int i = 0; i < 20; ++i) name += kAlphabet[NextRandom() % 36];
  return name;
}

std::string CTemporaryOpenFile::TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::string folder = (dir && *dir) ? dir : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

CTemporaryOpenFile::CTemporaryOpenFile() : CTemporaryOpenFile(Create()) {}

CTemporaryOpenFile::CTemporaryOpenFile(std::pair<int, CFileSpec> created)
    : CTemporaryOpenFile(created.first, std::move(created.second)) {}

CTemporaryOpenFile::CTemporaryOpenFile(int fd, CFileSpec fileSpec)
    : COpenFile(fd, fileSpec.GetFullPath()),
      fileSpec_(std::move(fileSpec)),
      // Temporary data can be large: a process ended by a signal removes it too.
      registrySlot_(RegisterPartialOutput(fileSpec_.GetFullPath())) {}

std::pair<int, CFileSpec> CTemporaryOpenFile::Create() {
  const std::string folder = TemporaryFolder();
  // 36^20 names: a taken one is skipped; only a folder we cannot create in ends the search.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    CFileSpec fileSpec("", folder, NextName());
    const int fd = OpenExclusive(fileSpec.GetFullPath());
    if (fd >= 0) return {fd, std::move(fileSpec)};
    if (errno != EEXIST && errno != ELOOP) ThrowFileError(errno, FileOperation::kCreate, fileSpec.GetFullPath());
  }
  throw XCreateFailed("no free temporary file name in " + folder);
}

CTemporaryOpenFile::~CTemporaryOpenFile() {
  Close();
  ::unlink(fileSpec_.GetFullPath().c_str());
  UnregisterPartialOutput(registrySlot_);
}

}  // namespace NSFerryman
