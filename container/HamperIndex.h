#pragma once
// A Hamper's index held as it is stored: the bytes of its records, read once, and where each
// record begins. A record costs its stored bytes and four more, whatever the index claims; its
// Path is viewed in place and a CHamperIndexEntry is made only when one is asked for.
//
//   const CHamperIndex index = ReadHamperIndexRecords(media, description);   // XBadFormat if damaged
//   for (std::size_t r = 0; r < index.Size(); ++r) print(index.Path(r), index.ItemSize(r));
//   const CHamperIndexEntry entry = index.Entry(r);                          // made on demand
//
// Reading checks each record as CHamperIndexEntry::Read does (a Path that runs past the end or
// holds a zero byte is malformed) and takes the records' numbers as they are stored.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"

class CHamperIndex {
 public:
  CHamperIndex() = default;
  // The records as the writer would store them (for tests and for callers that hold entries).
  static CHamperIndex FromEntries(const std::vector<CHamperIndexEntry>& entries);

  std::size_t Size() const { return starts_.size(); }
  bool Empty() const { return starts_.empty(); }

  // The fields of record r; the view lives as long as the index.
  std::string_view Path(std::size_t r) const;
  int ItemType(std::size_t r) const { return Byte(FieldsOf(r)); }
  std::uint32_t Offset(std::size_t r) const { return U32(FieldsOf(r) + 1); }
  std::uint32_t ItemSize(std::size_t r) const { return U32(FieldsOf(r) + 5); }
  // Only the value 1 marks a hidden item.
  bool IsHidden(std::size_t r) const { return Byte(FieldsOf(r) + 9) == 1; }
  CHamperIndexEntry Entry(std::size_t r) const;

  // Appends the record at the media's position, advancing it; XBadFormat for a malformed one
  // (its Path runs past the end of the media or holds a zero byte), XRead when the media ends
  // inside its numbers. Nothing is kept of a record that fails.
  void ReadRecord(NSFerryman::CMedia& media);
  // Room for `records` records of `bytes` bytes in all, taken at once.
  void Reserve(std::size_t records, std::size_t bytes);

 private:
  std::size_t FieldsOf(std::size_t r) const;
  int Byte(std::size_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
  std::uint32_t U32(std::size_t at) const;

  std::vector<char> bytes_;             // the records, back to back, as stored
  std::vector<std::uint32_t> starts_;   // where each record begins in bytes_
};

// Reads the EntryCount records at IndexOffset. XBadFormat, naming the record, when they cannot
// all be there or one is malformed (the same failures as ReadHamperIndex).
CHamperIndex ReadHamperIndexRecords(NSFerryman::CMedia& media, const CHamperDescription& description);

// Reads records at IndexOffset, at most EntryCount and at most `limit`, until one cannot be read.
// `problem` says why reading stopped before EntryCount records ("" when it did not, or when it
// stopped at `limit`, which `limited` says).
struct CHamperIndexReading {
  CHamperIndex index;
  std::string problem;
  bool limited = false;
};
CHamperIndexReading ReadHamperIndexAsFarAsItGoes(NSFerryman::CMedia& media, const CHamperDescription& description,
                                                 std::size_t limit = static_cast<std::size_t>(-1));
