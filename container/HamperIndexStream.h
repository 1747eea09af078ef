#pragma once
// A Hamper's index read one record at a time, in memory that does not grow with the index: for
// commands that act on each record in turn and must not hold a crafted index of millions of
// records whole.
//
//   CHamperIndexStream index(media, description);     // XBadFormat: the records cannot fit
//   for (CHamperIndexEntry record; index.Next(record);) ...
//   index.Rewind();                                     // from the first record again
//
// Next gives the records in index order and false after the last; XBadFormat, naming the
// record, when one runs past the end of the file. The checks are those of ReadHamperIndex. The
// media may be read elsewhere between records; a media of its own keeps its read-ahead for them.

#include <cstdint>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"

class CHamperIndexStream {
 public:
  CHamperIndexStream(NSFerryman::CMedia& media, const CHamperDescription& description);

  std::uint32_t Count() const { return count_; }
  // The place of the record Next gives next.
  std::uint32_t Position() const { return next_; }
  bool Next(CHamperIndexEntry& record);
  void Rewind() { next_ = 0; }

 private:
  NSFerryman::CMedia& media_;
  std::uint64_t start_;
  std::uint64_t position_ = 0;  // behind the record given last
  std::uint32_t count_;
  std::uint32_t next_ = 0;
};
