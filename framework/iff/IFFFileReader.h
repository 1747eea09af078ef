#pragma once
// CIFFFileReader: walks an IFF file level by level. Entering a chunk pushes a level whose media
// is the window of that chunk's contents; leaving pops it.
//
//   CIFFFileReader reader(media, EIFFByteOrder::kBigEndian);
//   reader.EnterForm("PTCH");              // XBadFormat when there is none
//   if (reader.EnterFirst()) {
//     do {
//       const CIFFChunk& c = reader.GetCurrentChunk();
//       CMedia& contents = reader.GetCurrentMedia();
//       ...
//     } while (reader.Next());             // false: back at the form's level
//   }
//   reader.Leave();

#include <cstddef>
#include <memory>
#include <vector>

#include "framework/iff/IFFFileLevel.h"
#include "framework/iff/IFFReader2.h"

namespace NSFerryman {

class CIFFFileReader {
 public:
  CIFFFileReader(CMedia& media, EIFFByteOrder order) : base_(media, order) {}
  virtual ~CIFFFileReader();
  CIFFFileReader(const CIFFFileReader&) = delete;
  CIFFFileReader& operator=(const CIFFFileReader&) = delete;

  // Find the group or chunk at the current level and enter it; XBadFormat when it is missing.
  void EnterForm(CFourCharCode type);
  void EnterCAT(CFourCharCode type);
  void EnterChunk(CFourCharCode id);
  // The same, returning false when it is missing.
  bool TryEnterForm(CFourCharCode type);
  bool TryEnterCAT(CFourCharCode type);
  bool TryEnterChunk(CFourCharCode id);

  // Enters the first chunk of the current level; false when the level is empty.
  bool EnterFirst();
  // Leaves the current chunk and enters the one after it; false, with the current chunk left,
  // at the end of its level.
  bool Next();
  // Pops the current level; XBase when no level is open.
  void Leave();

  // The chunk entered last (valid until the levels change); XBase when none is open.
  const CIFFChunk& GetCurrentChunk() const;
  // The contents of the chunk entered last (a group's contents begin after its type), or the
  // whole media when no chunk is open.
  CMedia& GetCurrentMedia() const { return CurrentReader().GetMedia(); }
  std::size_t GetDepth() const { return levels_.size(); }

 private:
  CIFFReader2& CurrentReader() const;
  void Push(CIFFReader2& parent, const CIFFChunk& chunk);

  // The reader of the whole media; each level's reader owns the window of its chunk's contents.
  mutable CIFFReader2 base_;
  std::vector<CIFFFileLevel> levels_;  // the back is the current level
};

}  // namespace NSFerryman
