#pragma once
// A stored sample decoded to 16-bit PCM on demand, a block at a time, for a reader that pulls
// (an audio output asking for its next bytes, the waveform drawn column by column):
//
//   CSampleStream stream(contents.OpenItem(record));      // reads and checks the header
//   std::int16_t frames[2 * 4096];
//   while (std::uint32_t n = stream.Read(frames, 4096)) play(frames, n);
//   stream.Rewind();                                      // from the first frame again
//
// Frames come interleaved, left then right for stereo, exactly as `hamper extract` writes them
// into a WAV file. Memory is one read buffer of the decoder, whatever the sample's length.
// Failures: as CAudioItemDecoder (items/AudioItemDecoder.h): XBadFormat for a bad header, a frame
// count the stream cannot hold, or a corrupt stream; XUnderflowOnInputBitStream for a stream cut
// short; media failures. After a failure the stream is at its end.

#include <cstdint>
#include <memory>

#include "codec/VORPSampleHeader.h"
#include "framework/media/Media.h"

class COptimizedVORPDecompressorFromMedia;

class CSampleStream {
 public:
  // Takes the item's bytes, positioned anywhere.
  explicit CSampleStream(std::unique_ptr<NSFerryman::CMedia> item);
  ~CSampleStream();
  CSampleStream(const CSampleStream&) = delete;
  CSampleStream& operator=(const CSampleStream&) = delete;

  const CVORPSampleHeader& Header() const { return header_; }
  std::uint32_t FrameCount() const { return header_.frameCount; }
  // Frames handed out so far.
  std::uint32_t Position() const { return position_; }

  // Decodes at most `maxFrames` frames into `frames` (room for maxFrames times the channel
  // count); returns how many, 0 at the end.
  std::uint32_t Read(std::int16_t* frames, std::uint32_t maxFrames);
  void Rewind();

 private:
  std::unique_ptr<NSFerryman::CMedia> item_;
  CVORPSampleHeader header_;
  std::unique_ptr<COptimizedVORPDecompressorFromMedia> decoder_;
  std::uint32_t position_ = 0;
};
