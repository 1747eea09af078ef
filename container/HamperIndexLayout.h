#pragma once
// Where the index records of a Hamper put their items, checked against each other and against
// the file, before any item is read:
//
//   const CHamperIndex index = ReadHamperIndexRecords(media, description);
//   const CIndexLayoutProblems problems = CheckHamperIndexLayout(description, index, media.GetSize());
//   for (std::size_t r = 0; r < index.Size(); ++r)
//     if (const auto p = problems.Of(r)) err << index.Path(r) << ": " << problems.Text(*p, ...) << "\n";
//
// A record is a problem when its item reaches past the end of the file, when its item shares a
// byte with the item of an earlier record (items of size 0 share none), or when its Path equals
// the Path of an earlier record byte for byte (Paths that differ only in letter case are two
// items). Each record is reported at most once, for the first of these that applies, in index
// order; the message says what is wrong (naming the other record of an overlap or a twin), to
// follow the record's Path.
//
// The check holds a few bytes per record, never a text: an index of millions of records that all
// collide costs what the index itself costs, and a message is worded only when asked for. It
// reads nothing but the index.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperIndex.h"
#include "container/HamperIndexEntry.h"

struct CIndexLayoutProblem {
  enum class EKind { kOutsideFile, kOverlap, kDuplicatePath };

  EKind kind;
  std::size_t record;  // index of the record in the index
  std::size_t other;   // the earlier record it collides with (kOverlap, kDuplicatePath); else `record`
  std::string message;  // without the record's own Path; filled only where said below
};

class CIndexLayoutProblems;
CIndexLayoutProblems CheckHamperIndexLayout(const CHamperDescription& description, const CHamperIndex& index,
                                            std::uint64_t fileSize);

class CIndexLayoutProblems {
 public:
  // Records with a problem.
  std::size_t Count() const { return count_; }
  // The record's problem, without its message; none for a sound record.
  std::optional<CIndexLayoutProblem> Of(std::size_t record) const;
  // The message of a problem of this index.
  std::string Text(const CIndexLayoutProblem& problem, const CHamperDescription& description, const CHamperIndex& index,
                   std::uint64_t fileSize) const;

 private:
  friend CIndexLayoutProblems CheckHamperIndexLayout(const CHamperDescription&, const CHamperIndex&, std::uint64_t);

  std::vector<std::uint8_t> kinds_;    // per record: 0, or 1 + the kind; empty while there is none
  std::vector<std::uint32_t> others_;  // per record, once an overlap or a twin was found
  std::size_t count_ = 0;

  void Add(CIndexLayoutProblem::EKind kind, std::size_t record, std::size_t records);
};

CIndexLayoutProblems CheckHamperIndexLayout(const CHamperDescription& description, const CHamperIndex& index,
                                            std::uint64_t fileSize);

// The problems of a list of records, with their messages, in index order.
std::vector<CIndexLayoutProblem> CheckHamperIndexLayout(const CHamperDescription& description,
                                                        const std::vector<CHamperIndexEntry>& index,
                                                        std::uint64_t fileSize);
