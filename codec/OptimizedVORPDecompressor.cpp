#include "codec/OptimizedVORPDecompressor.h"

#include "codec/VORPDecoderCore.h"

COptimizedVORPDecompressor::COptimizedVORPDecompressor(EVORPPath path) : path_(VORPResolvePath(path)) {
  reader_.owner = this;
}

void COptimizedVORPDecompressor::SetBuffer(std::uint32_t count, const std::uint32_t* words) {
  reader_.next = words;
  reader_.end = words + count;
  reader_.bitsLeft = 0;
  reader_.currentWord = 0;
}

void COptimizedVORPDecompressor::Reload() { throw XUnderflowOnInputBitStream(); }

void COptimizedVORPDecompressor::NeedWords() {
  Reload();
  // A reload that brings nothing would leave the reader inventing bits.
  if (reader_.next == reader_.end) throw XUnderflowOnInputBitStream();
}

std::int32_t COptimizedVORPDecompressor::DecodeValueReference(CVORPChannelState& s) {
  return static_cast<std::int32_t>(VORPDecodeValueStepwise(s, reader_));
}

void COptimizedVORPDecompressor::DecodeMono(std::uint32_t frameCount, std::int16_t* output) {
  switch (path_) {
    case EVORPPath::kReference:
      for (std::uint32_t i = 0; i < frameCount; ++i) {
        const std::int32_t x = DecodeValueReference(states_[0]);
        if (x < -32768 || x > 32767) VORPThrowValueOutOfRange();
        output[i] = static_cast<std::int16_t>(x);
      }
      break;
    case EVORPPath::kAVX2:
      VORPDecodeMonoAVX2(states_, reader_, frameCount, output);
      break;
    default:
      VORPDecodeMonoPortable(states_, reader_, frameCount, output);
      break;
  }
}

void COptimizedVORPDecompressor::DecodeStereo(std::uint32_t frameCount, std::int16_t* output) {
  switch (path_) {
    case EVORPPath::kReference:
      for (std::uint32_t i = 0; i < frameCount; ++i) {
        const std::int32_t left = DecodeValueReference(states_[0]);
        if (left < -32768 || left > 32767) VORPThrowValueOutOfRange();
        // Wrapping sum: a corrupt difference may be anything.
        const std::int32_t right = static_cast<std::int32_t>(static_cast<std::uint32_t>(left) +
                                                             static_cast<std::uint32_t>(DecodeValueReference(states_[1])));
        if (right < -32768 || right > 32767) VORPThrowValueOutOfRange();
        output[2 * i] = static_cast<std::int16_t>(left);
        output[2 * i + 1] = static_cast<std::int16_t>(right);
      }
      break;
    case EVORPPath::kAVX2:
      VORPDecodeStereoAVX2(states_, reader_, frameCount, output);
      break;
    default:
      VORPDecodeStereoPortable(states_, reader_, frameCount, output);
      break;
  }
}
