#include "framework/media/FileErrors.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "framework/media/Exceptions.h"

namespace NSFerryman {

void ThrowFileError(int err, FileOperation operation, const std::string& what) {
  const std::string detail = what + ": " + std::strerror(err);
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      throw XFileNotFound(detail);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
      throw XFileLocked(detail);
    case ENOSPC:
    case EDQUOT:
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
