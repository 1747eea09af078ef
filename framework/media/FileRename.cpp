#include "framework/media/FileRename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace NSFerryman {

int RenameIntoPlace(int fromFolder, const std::string& from, int toFolder, const std::string& to, bool replace) {
  const unsigned flags = replace ? 0 : RENAME_NOREPLACE;
  if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), flags) == 0) return 0;
  if (errno != EINVAL || replace) return errno;
  // A file system without the no-replace rename: a hard link is just as exclusive.
  if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) != 0) return errno;
  ::unlinkat(fromFolder, from.c_str(), 0);
  return 0;
}

}  // namespace NSFerryman
