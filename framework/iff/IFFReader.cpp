#include "framework/iff/IFFReader.h"

#include "framework/iff/IFFChunk.h"

namespace NSFerryman {

std::uint32_t CIFFReader::ReadSize() { return littleEndian_ ? media_.ReadU32LE() : media_.ReadU32(); }

bool CIFFReader::FindChunk(CFourCharCode id, std::uint32_t& size) {
  // All offsets are 64-bit: a size field near 2^32 must step past the end, not wrap around to
  // an earlier (or negative) position.
  const MediaSize mediaSize = media_.GetSize();
  MediaSize offset = 0;
  MediaSize limit = mediaSize;  // chunks may start below this offset
  if (container_) {
    if (mediaSize < 12) throw XBadFormat("file too short for a " + QuoteIFFCode(containerID_) + " header");
    media_.SetPosition(0);
    const CFourCharCode found = ReadIFFCode(media_);
    const std::uint32_t containerSize = ReadSize();
    if (found != containerID_) {
      throw XBadFormat("not a " + QuoteIFFCode(containerID_) + " file (it starts with " + QuoteIFFCode(found) + ")");
    }
    if (containerSize < 4) {
      throw XBadFormat(QuoteIFFCode(containerID_) + " container size " + std::to_string(containerSize) +
                       " is below 4");
    }
    // Chunks after the first must start below the size field taken as an offset from the file's
    // start (8 bytes short of the container's real end). This reader has always behaved so: an
    // empty chunk that closes the container is never found.
    limit = containerSize;
    offset = 12;
  }

  bool first = true;
  for (;;) {
    if (!first && offset >= limit) return false;
    // A header that would run past the media ends the search: truncated files and oversized
    // containers still give access to the chunks that are there.
    if (offset > mediaSize || mediaSize - offset < 8) return false;
    first = false;
    media_.SetPosition(offset);
    const CFourCharCode chunkID = ReadIFFCode(media_);
    const std::uint32_t chunkSize = ReadSize();
    if (chunkID == id) {
      size = chunkSize;
      return true;
    }
    offset += MediaSize{chunkSize} + 8;
    if (pad_ && (chunkSize & 1)) ++offset;
  }
}

bool CIFFReader::ReadChunk(CFourCharCode id, void* buffer, MediaSize offset, std::size_t count) {
  std::uint32_t size;
  if (!FindChunk(id, size)) return false;
  const MediaSize dataStart = media_.GetPosition();
  media_.ReadAt(dataStart + offset, count, buffer);
  return true;
}

}  // namespace NSFerryman
