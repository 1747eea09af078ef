#pragma once
// CVORPCompressor: codes 16-bit mono or stereo frames into a COutputBitStream.
//
// Per value: the five differences are updated, the order with the smallest energy (before this
// value) is chosen, its residual's code number v is written with the step m of its energy, and
// all five energies are updated. The code of v with step m:
//   1. unary groups: q = min(v / m, 7) zeros, v -= q * m; after a group of seven, m *= 4 and
//      another group follows (possibly empty);
//   2. a one bit;
//   3. v as a truncated binary number of range m: with n bits (m < 2^n) and u = 2^n - m,
//      v < u takes n - 1 bits, else v + u takes n bits.
// Stereo frames are coded as the left value (state 0), then right minus left (state 1). There
// is no block structure: the state carries over from call to call.
//
// Three code paths write identical bytes: the step-by-step reference, a block coder that works in
// passes (differences, energies, choice and codes per block) compiled for any x86-64 or other
// target, and the same block coder compiled for AVX2 where the processor has it.

#include <cstddef>
#include <cstdint>

#include "codec/OutputBitStream.h"
#include "codec/VORPChannelState.h"
#include "codec/VORPPath.h"


class CVORPCompressor {
 public:
  // `stream` is not owned. `channelCount` is 1 or 2.
  CVORPCompressor(COutputBitStream& stream, std::uint8_t channelCount, EVORPPath path = EVORPPath::kAuto);

  // Re-initialises the states of the coded channels.
  void Reset();

  // Codes `count` frames from separate channel buffers (`right` is ignored for mono).
  void Compress(std::uint32_t count, const std::int16_t* left, const std::int16_t* right);
  // Codes `count` frames from interleaved frames of the compressor's channel count.
  void CompressInterleaved(std::uint32_t count, const std::int16_t* frames);

  // Codes one value with a channel state, step by step (the reference).
  static void CodeValue(COutputBitStream& stream, CVORPChannelState& state, std::int32_t x);
  // Writes one code number with a step (the reference code writer).
  static void WriteCode(COutputBitStream& stream, std::uint32_t v, std::uint32_t m);

  const CVORPChannelState& GetState(std::size_t channel) const { return states_[channel]; }
  EVORPPath GetPath() const { return path_; }

 private:
  void CompressStrided(std::uint32_t count, const std::int16_t* left, const std::int16_t* right,
                       std::size_t stride);

  COutputBitStream& stream_;
  std::uint8_t channelCount_;
  EVORPPath path_;
  CVORPChannelState states_[6];
};
