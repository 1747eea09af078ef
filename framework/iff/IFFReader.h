#pragma once
// CIFFReader: the simple chunk finder over one container ("FORM", "RIFF", ...). It looks for a
// chunk by ID among the chunks that follow the 12-byte container header and leaves the media at
// the chunk's data.
//
//   CIFFReader reader(media, "FORM");
//   std::uint32_t size;
//   if (reader.FindChunk("COMM", size)) { ... media is at the chunk's data ... }
//
// A search ends as "not found" (never as a read failure) when the next chunk would start at or
// beyond the container's size field or when its header would run past the end of the media, so
// junk chunks with absurd sizes cannot turn a readable file into an error. A wrong container ID
// or a container size below 4 is XBadFormat.

#include <cstddef>
#include <cstdint>

#include "framework/media/Media.h"
#include "framework/resources/FourCharCode.h"

namespace NSFerryman {

class CIFFReader {
 public:
  CIFFReader(CMedia& media, CFourCharCode containerID) : media_(media), containerID_(containerID) {}
  virtual ~CIFFReader() = default;
  CIFFReader(const CIFFReader&) = delete;
  CIFFReader& operator=(const CIFFReader&) = delete;

  // Sizes are stepped over as they are, without rounding odd ones up to the pad byte.
  void SetNoPad() { pad_ = false; }
  void SetLittleEndian() { littleEndian_ = true; }

  // Finds the first chunk with this ID. On success `size` is its size field and the media is
  // positioned at its data.
  bool FindChunk(CFourCharCode id, std::uint32_t& size);
  // Finds the chunk, skips `offset` bytes of its data and reads `count` bytes. The count is not
  // compared with the chunk's size: reading past the media's end fails as a media read does.
  bool ReadChunk(CFourCharCode id, void* buffer, MediaSize offset, std::size_t count);

  CMedia& GetMedia() const { return media_; }
  CFourCharCode GetContainerID() const { return containerID_; }

 protected:
  // For chunk lists without a container header (MIDI files): chunks start at offset 0 and run
  // to the end of the media.
  void SetNoContainer() { container_ = false; }

 private:
  std::uint32_t ReadSize();

  CMedia& media_;
  CFourCharCode containerID_;
  bool pad_ = true;
  bool littleEndian_ = false;
  bool container_ = true;
};

// RIFF files (WAVE): container "RIFF", little-endian sizes.
class RIFF_READER : public CIFFReader {
 public:
  explicit RIFF_READER(CMedia& media) : CIFFReader(media, "RIFF") { SetLittleEndian(); }
};

// Standard MIDI files: a plain list of chunks ("MThd", "MTrk", ...) with big-endian sizes, no
// container around them and no pad bytes.
class CMIDIFileReader : public CIFFReader {
 public:
  explicit CMIDIFileReader(CMedia& media) : CIFFReader(media, "dumy") {
    SetNoPad();
    SetNoContainer();
  }
};

}  // namespace NSFerryman
