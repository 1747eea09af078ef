#include "framework/iff/IFFFileReader.h"

namespace NSFerryman {

CIFFFileReader::~CIFFFileReader() {
  // Innermost first: each level's window reads through its parent's.
  while (!levels_.empty()) levels_.pop_back();
}

CIFFReader2& CIFFFileReader::CurrentReader() const { return levels_.empty() ? base_ : *levels_.back().reader; }

void CIFFFileReader::Push(CIFFReader2& parent, const CIFFChunk& chunk) {
  levels_.push_back(CIFFFileLevel{chunk, parent.OpenNested(chunk), nullptr});
}

bool CIFFFileReader::TryEnterForm(CFourCharCode type) {
  CIFFReader2& parent = CurrentReader();
  auto chunk = parent.FindForm(type);
  if (!chunk) return false;
  Push(parent, *chunk);
  return true;
}

bool CIFFFileReader::TryEnterCAT(CFourCharCode type) {
  CIFFReader2& parent = CurrentReader();
  auto chunk = parent.FindCAT(type);
  if (!chunk) return false;
  Push(parent, *chunk);
  return true;
}

bool CIFFFileReader::TryEnterChunk(CFourCharCode id) {
  CIFFReader2& parent = CurrentReader();
  auto chunk = parent.FindChunk(id);
  if (!chunk) return false;
  Push(parent, *chunk);
  return true;
}

void CIFFFileReader::EnterForm(CFourCharCode type) {
  if (!TryEnterForm(type)) throw XBadFormat("no \"FORM\" of type " + QuoteIFFCode(type));
}

void CIFFFileReader::EnterCAT(CFourCharCode type) {
  if (!TryEnterCAT(type)) throw XBadFormat("no \"CAT \" of type " + QuoteIFFCode(type));
}

void CIFFFileReader::EnterChunk(CFourCharCode id) {
  if (!TryEnterChunk(id)) throw XBadFormat("no chunk " + QuoteIFFCode(id));
}

bool CIFFFileReader::EnterFirst() {
  CIFFReader2& parent = CurrentReader();
  auto chunk = parent.FirstChunk();
  if (!chunk) return false;
  Push(parent, *chunk);
  return true;
}

bool CIFFFileReader::Next() {
  if (levels_.empty()) throw XBase("IFF reader: next chunk without a current chunk");
  const CIFFChunk current = levels_.back().chunk;
  levels_.pop_back();
  CIFFReader2& parent = CurrentReader();
  auto chunk = parent.NextChunk(current);
  if (!chunk) return false;
  Push(parent, *chunk);
  return true;
}

void CIFFFileReader::Leave() {
  if (levels_.empty()) throw XBase("IFF reader: leaving a level that is not open");
  levels_.pop_back();
}

const CIFFChunk& CIFFFileReader::GetCurrentChunk() const {
  if (levels_.empty()) throw XBase("IFF reader: no chunk entered");
  return levels_.back().chunk;
}

}  // namespace NSFerryman
