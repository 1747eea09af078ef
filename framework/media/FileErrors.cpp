#include "framework/media/FileErrors.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "framework/media/Exceptions.h"

namespace NSFerryman {

namespace {

// strerror_r has two forms: the XSI one fills the buffer and returns 0, the GNU one returns the
// text, which may lie elsewhere. Overloads take whichever the C library declares.
[[maybe_unused]] const char* ErrorTextFrom(int result, const char* buffer) {
  return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* ErrorTextFrom(const char* text, const char*) { return text; }

}  // namespace

std::string SystemErrorText(int err) {
  char buffer[256] = {};
  return ErrorTextFrom(strerror_r(err, buffer, sizeof buffer), buffer);
}

void ThrowFileError(int err, FileOperation operation, const std::string& what) {
  const std::string detail = what + ": " + SystemErrorText(err);
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      throw XFileNotFound(detail);
    case EACCES:
    case EPERM:
    case EROFS:
      throw XPermissionDenied(detail);
    case ETXTBSY:
    case EBUSY:
      throw XFileLocked(detail);
    case ENOSPC:
    case EDQUOT:
    // A file-size limit (a quota, `ulimit -f`) stops a write as a full disk does.
    case EFBIG:
      throw XDiskFull(detail);
    case EMFILE:
    case ENFILE:
      throw XOpenFailed(detail);
    case ENOMEM:
      throw std::bad_alloc();
    default:
      break;
  }
  switch (operation) {
    case FileOperation::kRead:
      throw XRead(detail);
    case FileOperation::kWrite:
      throw XWrite(detail);
    case FileOperation::kCreate:
      if (err == EEXIST || err == EISDIR) throw XCreateFailed(detail);
      throw XFile(detail);
    default:
      throw XFile(detail);
  }
}

}  // namespace NSFerryman
