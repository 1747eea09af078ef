#pragma once
// CIFFReader2: walks the chunks of one level of an IFF file (the whole file, or the contents of
// one chunk) and opens nested readers for the chunks it finds.
//
//   CIFFReader2 top(media, EIFFByteOrder::kBigEndian);
//   if (auto form = top.FindForm("PTCH")) {
//     auto inner = top.OpenNested(*form);
//     for (auto c = inner->FirstChunk(); c; c = inner->NextChunk(*c)) { ... }
//   }
//
// Headers are checked as they are read: an invalid ID or type, a size that claims more bytes
// than the rest of the media, or a group too small for its type is XBadFormat. The end of a
// level (fewer than 8 bytes left) is "not found".

#include <memory>
#include <optional>

#include "framework/iff/IFFChunk.h"

namespace NSFerryman {

class CIFFReader2 {
 public:
  // A top level over a media the caller keeps.
  CIFFReader2(CMedia& media, EIFFByteOrder order) : media_(&media), order_(order) {}
  // A nested level that owns the window it reads.
  CIFFReader2(std::unique_ptr<CMedia> window, EIFFByteOrder order, const CIFFChunk& chunk);
  virtual ~CIFFReader2();
  CIFFReader2(const CIFFReader2&) = delete;
  CIFFReader2& operator=(const CIFFReader2&) = delete;

  // Reads and checks the header at the media's position.
  CIFFChunk ReadHeader();
  std::optional<CIFFChunk> FirstChunk();
  std::optional<CIFFChunk> NextChunk(const CIFFChunk& current);
  // From the first chunk on: a plain chunk with this ID, a "FORM" or a "CAT " of this type.
  std::optional<CIFFChunk> FindChunk(CFourCharCode id);
  std::optional<CIFFChunk> FindForm(CFourCharCode type);
  std::optional<CIFFChunk> FindCAT(CFourCharCode type);

  // A reader over the chunk's contents (after its header; a group's type is not part of them).
  std::unique_ptr<CIFFReader2> OpenNested(const CIFFChunk& chunk);

  CMedia& GetMedia() const { return *media_; }
  EIFFByteOrder GetByteOrder() const { return order_; }
  // The chunk this level lives in (for a nested level).
  const std::optional<CIFFChunk>& GetChunk() const { return chunk_; }

 private:
  std::optional<CIFFChunk> Find(CIFFChunk::Kind kind, CFourCharCode chars);

  std::unique_ptr<CMedia> ownedMedia_;
  CMedia* media_;
  EIFFByteOrder order_;
  std::optional<CIFFChunk> chunk_;
};

}  // namespace NSFerryman
