#pragma once
// Whether the Hamper file a window shows is still what its name holds. A window keeps the file it
// opened open and reads only through it, so what it shows stays whole whatever happens to the
// name; this says when the name has moved on, so that the window can say so and offer to read it
// again:
//
//   const CFileState opened = *FileStateOf(fd);           // when the file is opened
//   ...
//   switch (CompareHamperFile(opened, FileStateOf(fd), FileStateAt(path))) { ... }
//
// A file is the same when device, inode, size and modification time (to the nanosecond) are.

#include <cstdint>
#include <optional>
#include <string>

struct CFileState {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;
  bool operator==(const CFileState&) const = default;
  bool SameFile(const CFileState& other) const { return device == other.device && inode == other.inode; }
};

// The state of an open file; none when it cannot be asked.
std::optional<CFileState> FileStateOf(int fd);
// The state of what the path names (links followed); none when nothing is there.
std::optional<CFileState> FileStateAt(const std::string& path);

enum class EHamperFileChange {
  kNone,           // the name holds the file opened, as it was
  kReplaced,       // the name holds another file (a pack renamed a new Hamper over it); the one open is whole
  kRemoved,        // nothing is at the name any more; the one open is whole
  kChangedInPlace  // the file opened was written to or cut: what it holds now is not what was read
};

// What became of the file opened as `opened`: as its descriptor sees it now (`openNow`) and as
// its name does (`atName`).
EHamperFileChange CompareHamperFile(const CFileState& opened, const std::optional<CFileState>& openNow,
                                    const std::optional<CFileState>& atName);
