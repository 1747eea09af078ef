#pragma once
// Writes a Hamper from the scanned entry tree. The index records follow the tree in list order (a
// folder's items at the folder's place), and the items' bytes lie behind the index in that same
// order.
//
// A pack writes every byte once, where it stays: once the first check has decided which entries
// are included, PlanLayout gives the room the header, the description and the index will take;
// the packing stage writes the items' bytes behind that room, straight into the output file; then
// Finish writes header, description and index into the room (stages 3 and 4):
//
//   const CHamperLayout layout = CHamperWriter::PlanLayout(topLevelEntries, description);
//   ... the included entries' bytes, back to back from layout.dataOffset ...
//   CHamperWriter(job).Finish(topLevelEntries, description, layout.dataOffset, dataBytes, outputFile);
//
// When entries were left out after the plan, the index is shorter than its room: Finish moves the
// data down once, so the layout is always the format's, with the data right behind the index.
// Compose does it all from data packed elsewhere (tests, tools).
//
// On return the output holds the complete Hamper, and `description` holds the final EntryCount,
// IndexOffset and DataOffset. Failures: XUserCancelled for a stop, XWrite for a Hamper that would
// pass 4 GiB or data that does not match the tree, XBadFormat for a missing name or a text or path
// with a zero byte, which no reader would accept, media and file errors as they come. A layout
// that would not fit is refused before Finish writes a byte.
//
// Progress: stage 3 takes one step for every entry of a packable type, included or not, and
// reports its count as the steps left; stage 4 reports the bytes in place (after moving them, a
// block at a time, when they had to move) and, as entries done, EntryCount scaled by the share
// of bytes in place.

#include <cstdint>
#include <memory>
#include <span>

#include "container/HamperDescription.h"
#include "container/HamperWriterEntry.h"
#include "container/HamperWriterJob.h"
#include "framework/media/FileSpec.h"
#include "framework/media/Media.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"

// Where the parts of a Hamper go.
struct CHamperLayout {
  std::uint64_t indexOffset = 0;
  std::uint64_t dataOffset = 0;
  std::uint64_t records = 0;
};

class CHamperWriter {
 public:
  using EntryList = std::span<const MHamperWriterEntry* const>;

  static constexpr std::size_t kCopyBufferSize = 65536;

  explicit CHamperWriter(MHamperWriterJob& job) : job_(job) {}
  CHamperWriter(const CHamperWriter&) = delete;
  CHamperWriter& operator=(const CHamperWriter&) = delete;

  // The layout for the records of the entries included now; their packed sizes are not asked.
  // XBadFormat and XWrite as above, for the description, the paths and the index alone.
  static CHamperLayout PlanLayout(EntryList entries, const CHamperDescription& description);

  // Stages 3 and 4 over `output`, whose bytes from `dataStart` (a planned dataOffset, for the
  // entries included then or more) hold the packed items back to back: `dataBytes` of them.
  void Finish(EntryList entries, CHamperDescription& description, std::uint64_t dataStart, std::uint64_t dataBytes,
              NSFerryman::COpenFile& output);

  // The whole Hamper from the packed items in `data`, into a file that appears (replacing what
  // stood there) only when complete. The data is put in its place before stage 3.
  void Compose(EntryList entries, CHamperDescription& description, std::unique_ptr<NSFerryman::CMedia> data,
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
    CHamperLayout layout;
    std::uint64_t fileSize = 0;
  };
  // The tree and the description checked and measured against the 4 GiB limit, with the entries'
  // packed sizes when `withData`.
  static CTreeTotals Measure(EntryList entries, const CHamperDescription& description, bool withData);
  static void CheckDescription(const CHamperDescription& description);
  static void MeasureEntry(const MHamperWriterEntry& entry, CTreeTotals& totals, bool withData);
  void WriteOneEntry(NSFerryman::CMedia& output, const MHamperWriterEntry& entry, std::uint32_t& runningOffset);
  // Stage 4: the data comes to rest right behind the index.
  void PutDataInPlace(NSFerryman::COpenFile& output, std::uint64_t from, std::uint64_t to, std::uint64_t total,
                      std::uint32_t entryCount);
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
