#include "framework/iff/IFFReader2.h"

#include "framework/media/PartialMedia.h"

namespace NSFerryman {

CIFFReader2::CIFFReader2(std::unique_ptr<CMedia> window, EIFFByteOrder order, const CIFFChunk& chunk)
    : ownedMedia_(std::move(window)), media_(ownedMedia_.get()), order_(order), chunk_(chunk) {}

CIFFReader2::~CIFFReader2() = default;

CIFFChunk CIFFReader2::ReadHeader() {
  CMedia& media = *media_;
  CIFFChunk chunk;
  chunk.start = media.GetPosition();
  const CFourCharCode id = ReadIFFCode(media);
  if (!CIFFChunk::IsValidID(id)) {
    throw XBadFormat("invalid chunk ID " + QuoteIFFCode(id) + " at offset " + std::to_string(chunk.start));
  }
  chunk.size = ReadIFFSize(media, order_);
  const MediaSize afterSize = chunk.start + 8;
  const MediaSize mediaSize = media.GetSize();
  const MediaSize left = mediaSize > afterSize ? mediaSize - afterSize : 0;
  if (chunk.size > left) {
    throw XBadFormat("chunk " + QuoteIFFCode(id) + " at offset " + std::to_string(chunk.start) + " claims " +
                     std::to_string(chunk.size) + " bytes but only " + std::to_string(left) + " follow");
  }
  chunk.kind = CIFFChunk::KindOfID(id);
  if (chunk.kind == CIFFChunk::kPlain) {
    chunk.chars = id;
    return chunk;
  }
  if (chunk.size < 4) {
    throw XBadFormat("group " + QuoteIFFCode(id) + " at offset " + std::to_string(chunk.start) + " is too small (" +
                     std::to_string(chunk.size) + " bytes) for its type");
  }
  chunk.chars = ReadIFFCode(media);
  if (!CIFFChunk::IsValidID(chunk.chars)) {
    throw XBadFormat("invalid type " + QuoteIFFCode(chunk.chars) + " of group " + QuoteIFFCode(id) + " at offset " +
                     std::to_string(chunk.start));
  }
  return chunk;
}

std::optional<CIFFChunk> CIFFReader2::FirstChunk() {
  media_->SetPosition(0);
  if (media_->GetSize() < 8) return std::nullopt;
  return ReadHeader();
}

std::optional<CIFFChunk> CIFFReader2::NextChunk(const CIFFChunk& current) {
  MediaSize next = current.start + MediaSize{current.size} + 8;
  if (current.size & 1) ++next;
  const MediaSize mediaSize = media_->GetSize();
  // Fewer than 8 bytes left cannot hold a header: trailing bytes end the level.
  if (next >= mediaSize || mediaSize - next < 8) return std::nullopt;
  media_->SetPosition(next);
  return ReadHeader();
}

std::optional<CIFFChunk> CIFFReader2::Find(CIFFChunk::Kind kind, CFourCharCode chars) {
  for (auto chunk = FirstChunk(); chunk; chunk = NextChunk(*chunk)) {
    if (chunk->kind == kind && chunk->chars == chars) return chunk;
  }
  return std::nullopt;
}

std::optional<CIFFChunk> CIFFReader2::FindChunk(CFourCharCode id) { return Find(CIFFChunk::kPlain, id); }
std::optional<CIFFChunk> CIFFReader2::FindForm(CFourCharCode type) { return Find(CIFFChunk::kForm, type); }
std::optional<CIFFChunk> CIFFReader2::FindCAT(CFourCharCode type) { return Find(CIFFChunk::kCAT, type); }

std::unique_ptr<CIFFReader2> CIFFReader2::OpenNested(const CIFFChunk& chunk) {
  auto window = std::make_unique<CPartialMedia>(*media_, chunk.start + chunk.HeaderLength(),
                                                static_cast<std::int64_t>(chunk.ContentLength()));
  return std::make_unique<CIFFReader2>(std::move(window), order_, chunk);
}

}  // namespace NSFerryman
