#include "framework/iff/IFFWriter2.h"

#include "framework/media/PartialMedia.h"

namespace NSFerryman {

namespace {

void CheckID(CFourCharCode id, const char* what) {
  // Writing what no reader accepts would only move the failure to the reading side.
  if (!CIFFChunk::IsValidID(id)) throw XBadFormat(std::string("invalid ") + what + " " + QuoteIFFCode(id));
}

}  // namespace

CIFFWriter2::CIFFWriter2(std::unique_ptr<CMedia> window, EIFFByteOrder order, const CIFFChunk& chunk)
    : ownedMedia_(std::move(window)), media_(ownedMedia_.get()), order_(order), chunk_(chunk) {}

CIFFWriter2::~CIFFWriter2() = default;

CIFFChunk CIFFWriter2::BeginGroup(CIFFChunk::Kind kind, CFourCharCode type) {
  CheckID(type, "group type");
  CIFFChunk chunk(kind, type, media_->GetPosition(), 0);
  WriteIFFCode(*media_, CIFFChunk::GroupID(kind));
  WriteIFFSize(*media_, order_, 0);
  WriteIFFCode(*media_, type);
  return chunk;
}

CIFFChunk CIFFWriter2::BeginChunk(CFourCharCode id) {
  CheckID(id, "chunk ID");
  if (CIFFChunk::KindOfID(id) != CIFFChunk::kPlain) {
    throw XBadFormat(QuoteIFFCode(id) + " names a group, not a plain chunk");
  }
  CIFFChunk chunk(CIFFChunk::kPlain, id, media_->GetPosition(), 0);
  WriteIFFCode(*media_, id);
  WriteIFFSize(*media_, order_, 0);
  return chunk;
}

void CIFFWriter2::EndChunk(const CIFFChunk& chunk) {
  CMedia& media = *media_;
  const MediaSize end = media.GetPosition();
  const MediaSize contentStart = chunk.start + chunk.HeaderLength();
  if (end < contentStart) {
    throw XPosition("chunk " + QuoteIFFCode(chunk.HeaderID()) + " ends at " + std::to_string(end) +
                    ", before its own header ends");
  }
  const MediaSize size = end - chunk.start - 8;
  if (size > 0xFFFFFFFFu) {
    throw XWrite("chunk " + QuoteIFFCode(chunk.HeaderID()) + " of " + std::to_string(size) +
                 " bytes is too large for a 32-bit size");
  }
  media.SetPosition(chunk.start + 4);
  WriteIFFSize(media, order_, static_cast<std::uint32_t>(size));
  media.SetPosition(end);
  if (end & 1) media.WriteByte(0);
}

std::unique_ptr<CIFFWriter2> CIFFWriter2::OpenNested(const CIFFChunk& chunk) {
  auto window = std::make_unique<CPartialMedia>(*media_, chunk.start + chunk.HeaderLength());
  return std::make_unique<CIFFWriter2>(std::move(window), order_, chunk);
}

}  // namespace NSFerryman
