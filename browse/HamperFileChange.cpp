#include "browse/HamperFileChange.h"

#include <sys/stat.h>

namespace {

CFileState StateOf(const struct stat& st) {
  return CFileState{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                    static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                    static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

}  // namespace

std::optional<CFileState> FileStateOf(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return std::nullopt;
  return StateOf(st);
}

std::optional<CFileState> FileStateAt(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return StateOf(st);
}

EHamperFileChange CompareHamperFile(const CFileState& opened, const std::optional<CFileState>& openNow,
                                    const std::optional<CFileState>& atName) {
  // What was read no longer stands for the bytes the descriptor gives: that matters most.
  if (!openNow || !(*openNow == opened)) return EHamperFileChange::kChangedInPlace;
  if (!atName) return EHamperFileChange::kRemoved;
  if (!atName->SameFile(opened)) return EHamperFileChange::kReplaced;
  return *atName == opened ? EHamperFileChange::kNone : EHamperFileChange::kChangedInPlace;
}
