#pragma once
// CIFFWriter2: writes chunk headers at the media's position and patches their sizes when the
// chunks end.
//
//   CIFFWriter2 writer(media, EIFFByteOrder::kBigEndian);
//   CIFFChunk form = writer.BeginForm("PTCH");
//   CIFFChunk name = writer.BeginChunk("NAME");
//   media.Write(5, "Piano");
//   writer.EndChunk(name);  // size 5, then a pad byte
//   writer.EndChunk(form);  // size 4 + 8 + 5 + 1
//
// A chunk ends at the media's current position: the size field becomes end - start - 8 and a
// zero pad byte follows when the end is odd. A size that does not fit 32 bits is XWrite.

#include <memory>

#include "framework/iff/IFFChunk.h"

namespace NSFerryman {

class CIFFWriter2 {
 public:
  // A top level over a media the caller keeps.
  CIFFWriter2(CMedia& media, EIFFByteOrder order) : media_(&media), order_(order) {}
  // A nested level that owns the window it writes.
  CIFFWriter2(std::unique_ptr<CMedia> window, EIFFByteOrder order, const CIFFChunk& chunk);
  virtual ~CIFFWriter2();
  CIFFWriter2(const CIFFWriter2&) = delete;
  CIFFWriter2& operator=(const CIFFWriter2&) = delete;

  // The group ID, a size of 0 and the type; the chunk's start is where the header began.
  CIFFChunk BeginForm(CFourCharCode type) { return BeginGroup(CIFFChunk::kForm, type); }
  CIFFChunk BeginCAT(CFourCharCode type) { return BeginGroup(CIFFChunk::kCAT, type); }
  CIFFChunk BeginLIST(CFourCharCode type) { return BeginGroup(CIFFChunk::kLIST, type); }
  CIFFChunk BeginGroup(CIFFChunk::Kind kind, CFourCharCode type);
  // The ID and a size of 0.
  CIFFChunk BeginChunk(CFourCharCode id);
  // Patches the chunk's size for the contents up to the current position and writes the pad
  // byte when needed; the position ends behind the chunk.
  void EndChunk(const CIFFChunk& chunk);

  // A writer over the chunk's contents: an open-ended window that starts after its header.
  std::unique_ptr<CIFFWriter2> OpenNested(const CIFFChunk& chunk);

  CMedia& GetMedia() const { return *media_; }
  EIFFByteOrder GetByteOrder() const { return order_; }

 private:
  std::unique_ptr<CMedia> ownedMedia_;
  CMedia* media_;
  EIFFByteOrder order_;
  CIFFChunk chunk_;
};

}  // namespace NSFerryman
