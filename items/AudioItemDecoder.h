#pragma once
// Decoding a stored audio item (the 26-byte CVORPSampleHeader, then the VORP stream) a block of
// frames at a time, in memory bounded by one block whatever the item's length.
//
//   CAudioItemDecoder decoder(item);            // reads and checks the header
//   decoder.Decode([&](const std::int16_t* frames, std::uint32_t count) { ... });
//
//   DecodeAudioItemToWave(item, wav);           // decode-audio
//   DecodeAudioItemToFile(item, out, format);   // hamper extract: WAV or AIFF
//   VerifyAudioItem(item);                      // the final verification
//
// Failures: XBadFormat for a bad header (CVORPSampleHeader::Read), for a frame count that the
// stream's bytes cannot hold (found before anything is allocated) and for a corrupt stream;
// XUnderflowOnInputBitStream for a stream cut short; media failures propagate.

#include <cstdint>

#include "codec/VORPDecoder.h"
#include "codec/VORPPath.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/Media.h"

class CAudioItemDecoder {
 public:
  // Reads the header at the item's position; the stream follows it.
  explicit CAudioItemDecoder(NSFerryman::CMedia& item, EVORPPath path = EVORPPath::kAuto);

  const CVORPSampleHeader& GetHeader() const { return header_; }

  // Decodes every frame of the item in stream order, handing blocks of at most 32768 interleaved
  // 16-bit frames of the header's channel count to `consumer`. Call it once.
  void Decode(const VORPFrameConsumer& consumer);

 private:
  NSFerryman::CMedia& item_;
  EVORPPath path_;
  CVORPSampleHeader header_;
};

// XBadFormat unless the stream at the media's position can hold the header's frames: every
// value takes at least one bit, so a larger count is a lie, and must not cost an allocation.
void CheckAudioItemFrameCount(const CVORPSampleHeader& header, NSFerryman::CMedia& stream);

// The file a stored audio item is written back as: a 16-bit WAV file ("fmt ", a "smpl" chunk for
// its loop, root key and fine tune when it has them, then "data"), or a 16-bit AIFF file (the same
// facts in "COMM", "MARK" and "INST", then "SSND"; items/AIFFFileWriter.h).
enum class EAudioFileFormat { kWave, kAIFF };

// Writes the item at the item media's position as a file of that format at the output media's
// position. A header the file cannot carry (CWaveFileWriter::CheckFormat, CAIFFFileWriter::
// CheckFormat: a sample rate of 0 or, for WAV, so high that the byte rate passes 32 bits, more
// frames than 32-bit sizes hold) fails before anything is written.
void DecodeAudioItemToFile(NSFerryman::CMedia& item, NSFerryman::CMedia& out, EAudioFileFormat format);
inline void DecodeAudioItemToWave(NSFerryman::CMedia& item, NSFerryman::CMedia& wav) {
  DecodeAudioItemToFile(item, wav, EAudioFileFormat::kWave);
}

// The checks DecodeAudioItemToFile makes before it writes, for a caller that should not even
// create its output for an item that fails them: the header, the frame count against the
// stream's bytes and the file's fields. Reads the header at the media's position and leaves the
// position where it was.
void CheckAudioItemDecodesToFile(NSFerryman::CMedia& item, EAudioFileFormat format);
inline void CheckAudioItemDecodesToWave(NSFerryman::CMedia& item) {
  CheckAudioItemDecodesToFile(item, EAudioFileFormat::kWave);
}

// Decodes every frame of the item at the media's position and drops them: returns when the item
// is whole and sound, throws as above when it is not.
void VerifyAudioItem(NSFerryman::CMedia& item);
