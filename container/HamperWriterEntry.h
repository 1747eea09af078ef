#pragma once
// What the Hamper writer asks of each entry of the scanned input folder. The scan's CFileEntry
// implements it; the writer walks the tree in list order, which is the order in which the packed
// bytes were appended to the temporary data file.

#include <cstddef>
#include <cstdint>
#include <string>

class MHamperWriterEntry {
 public:
  virtual ~MHamperWriterEntry() = default;

  virtual bool IsFolder() const = 0;
  // Children of a folder, in list order.
  virtual std::size_t GetChildCount() const = 0;
  virtual const MHamperWriterEntry& GetChildEntry(std::size_t index) const = 0;

  // 0 = not packed.
  virtual int GetItemType() const = 0;
  // Set when the first verification accepted the file.
  virtual bool IsIncluded() const = 0;
  // Bytes the packing stage appended for this item.
  virtual std::uint64_t GetPackedSize() const = 0;
  // Names from the top-level folder below the input folder down to the file, joined by ":";
  // a top-level file has its bare name.
  virtual std::string GetHamperPath() const = 0;
};
