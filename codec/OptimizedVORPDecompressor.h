#pragma once
// COptimizedVORPDecompressor: turns a VORP stream back into 16-bit frames.
//
// The decoder mirrors the encoder value by value (see VORPCompressor.h): it chooses the order
// with the smallest energy, reads the code number with that order's step, rebuilds the five
// differences from the residual and updates the energies. Channel states and the reader state
// persist across calls, so a stream may be decoded in blocks of any size with the same result.
//
// Reader contract: the words of the stream sit in a buffer in host order (whoever fills it
// converts the stored big-endian words). The reader takes a word only when it needs a bit of it,
// so a well-formed stream is never read beyond its last word; when the buffer is exhausted it
// calls Reload(). This class has nothing to reload from and throws XUnderflowOnInputBitStream;
// subclasses fetch the next portion and hand it over with SetBuffer().
//
// Corrupt input never loops or overflows: a value outside what the encoder can produce
// (a first-channel value outside 16 bits, a second-channel value whose sum with the first is
// outside 16 bits, or a unary run longer than any 16-bit value needs) is XBadFormat.

#include <cstddef>
#include <cstdint>

#include "codec/UnderflowOnInputBitStream.h"
#include "codec/VORPChannelState.h"
#include "codec/VORPPath.h"
#include "codec/VORPReaderState.h"

class COptimizedVORPDecompressor {
 public:
  explicit COptimizedVORPDecompressor(EVORPPath path = EVORPPath::kAuto);
  virtual ~COptimizedVORPDecompressor() = default;
  COptimizedVORPDecompressor(const COptimizedVORPDecompressor&) = delete;
  COptimizedVORPDecompressor& operator=(const COptimizedVORPDecompressor&) = delete;

  // The reader takes its next word from words[0 .. count); bits left and current word become 0.
  // The words are not owned and must stay until the reader is done with them or reloads.
  void SetBuffer(std::uint32_t count, const std::uint32_t* words);

  // Decodes `frameCount` values of the first channel into output[0 .. frameCount).
  void DecodeMono(std::uint32_t frameCount, std::int16_t* output);
  // Decodes `frameCount` stereo frames into output[0 .. 2 * frameCount), left then right.
  void DecodeStereo(std::uint32_t frameCount, std::int16_t* output);

  const CVORPChannelState& GetState(std::size_t channel) const { return states_[channel]; }
  EVORPPath GetPath() const { return path_; }

  // For the decoding loops: called when the word buffer is exhausted and a word is needed.
  // Afterwards the buffer holds at least one word, or an exception has been thrown.
  void NeedWords();

 protected:
  // Refills the word buffer through SetBuffer().
  virtual void Reload();

 private:
  std::int32_t DecodeValueReference(CVORPChannelState& state);

  EVORPPath path_;
  CVORPChannelState states_[6];
  CVORPReaderState reader_;
};
