#pragma once
// Where the index records of a Hamper put their items, checked against each other and against
// the file, before any item is read:
//
//   const std::vector<CHamperIndexEntry> index = ReadHamperIndex(media, description);
//   for (const CIndexLayoutProblem& p : CheckHamperIndexLayout(description, index, media.GetSize()))
//     err << index[p.record].GetPath() << ": " << p.message << "\n";
//
// A record is a problem when its item reaches past the end of the file, when its item shares a
// byte with the item of an earlier record (items of size 0 share none), or when its Path equals
// the Path of an earlier record byte for byte (Paths that differ only in letter case are two
// items). Each record is reported at most once, for the first of these that applies, in index
// order; the message says what is wrong (naming the other record of an overlap or a twin), to
// follow the record's Path.
//
// A pure function: it reads nothing and keeps nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"

struct CIndexLayoutProblem {
  enum class EKind { kOutsideFile, kOverlap, kDuplicatePath };

  EKind kind;
  std::size_t record;  // index of the record in the index
  std::size_t other;   // the earlier record it collides with (kOverlap, kDuplicatePath); else `record`
  std::string message;  // without the record's own Path
};

std::vector<CIndexLayoutProblem> CheckHamperIndexLayout(const CHamperDescription& description,
                                                        const std::vector<CHamperIndexEntry>& index,
                                                        std::uint64_t fileSize);
