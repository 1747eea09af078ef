#pragma once
// CIFFFileWriter: writes an IFF file level by level. Beginning a group or chunk writes its header
// and pushes a level; the caller writes the contents to GetCurrentMedia(); EndLevel patches the
// size and adds the pad byte.
//
//   CIFFFileWriter writer(media, EIFFByteOrder::kBigEndian);
//   writer.BeginForm("PTCH");
//   writer.BeginChunk("NAME");
//   writer.GetCurrentMedia().Write(5, "Piano");
//   writer.EndLevel();
//   writer.EndLevel();
//
// Levels still open when the writer is destroyed are ended innermost first, so a file whose
// writing stopped with an exception still has consistent sizes for what was written. The
// destructor never throws; Close() does the same and reports failures.

#include <cstddef>
#include <memory>
#include <vector>

#include "framework/iff/IFFFileLevel.h"
#include "framework/iff/IFFWriter2.h"

namespace NSFerryman {

class CIFFFileWriter {
 public:
  CIFFFileWriter(CMedia& media, EIFFByteOrder order) : base_(media, order) {}
  virtual ~CIFFFileWriter();
  CIFFFileWriter(const CIFFFileWriter&) = delete;
  CIFFFileWriter& operator=(const CIFFFileWriter&) = delete;

  void BeginForm(CFourCharCode type) { BeginGroup(CIFFChunk::kForm, type); }
  void BeginCAT(CFourCharCode type) { BeginGroup(CIFFChunk::kCAT, type); }
  void BeginLIST(CFourCharCode type) { BeginGroup(CIFFChunk::kLIST, type); }
  void BeginGroup(CIFFChunk::Kind kind, CFourCharCode type);
  void BeginChunk(CFourCharCode id);
  // Ends the innermost open level at the current position; XBase when none is open.
  void EndLevel();
  // Ends every open level, innermost first.
  void Close();

  // Where the contents of the innermost open level go (the whole media when none is open).
  CMedia& GetCurrentMedia() const { return CurrentWriter().GetMedia(); }
  // The chunk of the innermost open level; XBase when none is open.
  const CIFFChunk& GetCurrentChunk() const;
  std::size_t GetDepth() const { return levels_.size(); }

 private:
  CIFFWriter2& CurrentWriter() const;
  void Push(const CIFFChunk& chunk);

  mutable CIFFWriter2 base_;
  std::vector<CIFFFileLevel> levels_;  // the back is the innermost open level
};

}  // namespace NSFerryman
