#pragma once
// Writes a Hamper from the scanned entry tree and the temporary data file that the packing stage
// filled. The index records follow the tree in list order (a folder's items at the folder's
// place), and the data file is copied verbatim behind them, so the packed bytes must have been
// appended in that same order.
//
// Usage:
//   CHamperWriter writer(job);
//   writer.Compose(topLevelEntries, description, std::move(temporaryData), output);
// The output is an empty media (an atomic output file's, which takes care of what a failure
// leaves). On return it holds the complete Hamper, and `description` holds the final EntryCount,
// IndexOffset and DataOffset. Failures: XUserCancelled for a stop, XWrite for a Hamper that would
// pass 4 GiB or data that does not match the tree, XBadFormat for a missing name or a text or path
// with a zero byte, which no reader would accept, media and file errors as they come. A Hamper
// that would not fit is refused before a byte is written. The temporary data is released (a
// temporary file is removed) when Compose returns either way.
//
// Progress: stage 3 takes one step for every entry of a packable type, included or not, and
// reports its count as the steps left; stage 4 reports the bytes copied and, as entries done,
// EntryCount scaled by the share of bytes copied.

#include <cstdint>
#include <memory>
#include <span>

#include "container/HamperDescription.h"
#include "container/HamperWriterEntry.h"
#include "container/HamperWriterJob.h"
#include "framework/media/FileSpec.h"
#include "framework/media/Media.h"
#include "framework/media/MemoryMedia.h"

class CHamperWriter {
 public:
  using EntryList = std::span<const MHamperWriterEntry* const>;

  static constexpr std::size_t kCopyBufferSize = 65536;
  static constexpr std::size_t kKernelCopyBlock = std::size_t{4} << 20;

  explicit CHamperWriter(MHamperWriterJob& job) : job_(job) {}
  CHamperWriter(const CHamperWriter&) = delete;
  CHamperWriter& operator=(const CHamperWriter&) = delete;

  void Compose(EntryList entries, CHamperDescription& description, std::unique_ptr<NSFerryman::CMedia> temporaryData,
               NSFerryman::CMedia& output);
  // The same into a file, which appears (replacing what stood there) only when complete.
  void Compose(EntryList entries, CHamperDescription& description, std::unique_ptr<NSFerryman::CMedia> temporaryData,
               const NSFerryman::CFileSpec& output);

  // Writes the index records of `entries` and of all folders below them at the output's position.
  // `runningOffset` is the data offset of the next record; it advances by each record's Size.
  void WriteIndexEntries(NSFerryman::CMedia& output, EntryList entries, std::uint32_t& runningOffset);

 private:
  struct CTreeTotals {
    std::uint64_t typedEntries = 0;
    std::uint64_t records = 0;
    std::uint64_t indexBytes = 0;
    std::uint64_t dataBytes = 0;
  };
  static void CheckDescription(const CHamperDescription& description);
  static void MeasureTree(EntryList entries, CTreeTotals& totals);
  static void MeasureEntry(const MHamperWriterEntry& entry, CTreeTotals& totals);
  void WriteOneEntry(NSFerryman::CMedia& output, const MHamperWriterEntry& entry, std::uint32_t& runningOffset);
  void CopyData(NSFerryman::CMedia& output, NSFerryman::CMedia& temporaryData, std::uint32_t entryCount);
  void FlushIndexBlock(NSFerryman::CMedia& output);
  void ThrowIfStopRequested();

  MHamperWriterJob& job_;
  // Progress of stage 3: typed entries seen so far out of all typed entries of the tree.
  std::uint64_t entriesDone_ = 0;
  std::uint64_t entriesTotal_ = 0;
  std::uint64_t recordsWritten_ = 0;
  // Index records waiting to be written in one block.
  std::unique_ptr<NSFerryman::CMemoryMedia> indexBlock_;
};
