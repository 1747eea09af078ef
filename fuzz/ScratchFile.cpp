#include "fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "fuzz/FuzzInput.h"

namespace fuzz {

namespace {

std::string ScratchFolder() {
  if (::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

std::string& ScratchPath() {
  static std::string path = [] {
    std::string p = ScratchFolder() + "/hamper-fuzz-" + std::to_string(::getpid()) + ".input";
    std::atexit([] { ::unlink(ScratchPath().c_str()); });
    return p;
  }();
  return path;
}

}  // namespace

const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchPath();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) Fail("cannot create the scratch file " + path);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) {
      ::close(fd);
      Fail("cannot write the scratch file " + path);
    }
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return path;
}

}  // namespace fuzz
