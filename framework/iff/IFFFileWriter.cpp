#include "framework/iff/IFFFileWriter.h"

namespace NSFerryman {

CIFFFileWriter::~CIFFFileWriter() {
  // Often runs during unwinding, when the media itself may be what failed: end what can be
  // ended and never let a second exception out.
  while (!levels_.empty()) {
    try {
      EndLevel();
    } catch (...) {
      // EndLevel has popped the level already; go on with its parent.
    }
  }
}

CIFFWriter2& CIFFFileWriter::CurrentWriter() const { return levels_.empty() ? base_ : *levels_.back().writer; }

void CIFFFileWriter::Push(const CIFFChunk& chunk) {
  CIFFWriter2& parent = CurrentWriter();
  levels_.push_back(CIFFFileLevel{chunk, nullptr, parent.OpenNested(chunk)});
}

void CIFFFileWriter::BeginGroup(CIFFChunk::Kind kind, CFourCharCode type) {
  Push(CurrentWriter().BeginGroup(kind, type));
}

void CIFFFileWriter::BeginChunk(CFourCharCode id) { Push(CurrentWriter().BeginChunk(id)); }

void CIFFFileWriter::EndLevel() {
  if (levels_.empty()) throw XBase("IFF writer: ending a level that is not open");
  // Pop first: the level is gone whether or not its size can be written.
  const CIFFChunk chunk = levels_.back().chunk;
  levels_.pop_back();
  CurrentWriter().EndChunk(chunk);
}

void CIFFFileWriter::Close() {
  while (!levels_.empty()) EndLevel();
}

const CIFFChunk& CIFFFileWriter::GetCurrentChunk() const {
  if (levels_.empty()) throw XBase("IFF writer: no level open");
  return levels_.back().chunk;
}

}  // namespace NSFerryman
