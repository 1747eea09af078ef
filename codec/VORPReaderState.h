#pragma once
// The state of the VORP word reader, shared by the decoding loops.
//
// `currentWord` holds the current word shifted left so that its next unread bit is bit 31, with
// zeros below the `bitsLeft` unread bits. When bitsLeft is 0 the next bit needs a new word, taken
// from *next (next < end), or after a reload when next == end.

#include <cstdint>

#include "codec/VORPChannelState.h"

class COptimizedVORPDecompressor;

struct CVORPReaderState {
  const std::uint32_t* next = nullptr;
  const std::uint32_t* end = nullptr;
  std::int32_t bitsLeft = 0;
  std::uint32_t currentWord = 0;
  COptimizedVORPDecompressor* owner = nullptr;  // reloads the buffer
};

// Reads one bit, or n bits (1 to 31), reloading through the owner when the buffer runs out.
std::uint32_t VORPTakeBit(CVORPReaderState& r);
std::uint32_t VORPTakeBits(CVORPReaderState& r, std::uint32_t n);
// Reads one code number with step m bit by bit. XBadFormat for a unary run longer than any
// value of 16-bit audio needs.
std::uint32_t VORPTakeCode(CVORPReaderState& r, std::uint32_t m);

// Decodes one value with `state`, step by step as the format describes it: choose the order, read
// its code, rebuild every difference from the chosen one and update the energies. Gives the new
// value (D[0]). The fast loops must agree with this exactly, and fall back to it where their
// window of bits runs out.
std::uint32_t VORPDecodeValueStepwise(CVORPChannelState& state, CVORPReaderState& r);
