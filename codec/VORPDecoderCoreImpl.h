#pragma once
// The fast decoding loops, included by the translation units that compile them for one target
// each; everything has internal linkage.
//
// Registers: the bits ahead of the reader sit top-aligned in a 64-bit window, refilled by one
// word whenever fewer than 33 remain, so that any code of up to 32 bits is read from the window
// without further checks. Codes with a second unary group, and codes near the end of the word
// buffer, go through the bit-by-bit reader (which also reloads).
//
// The order chosen for a value is known from the previous value; the loop dispatches on it to a
// copy of the value step specialised for that order, so the branch predictor runs ahead on the
// order, which rarely changes, instead of waiting for the five-way minimum.

#include <cstdint>

#include "codec/VORPChannelState.h"
#include "codec/VORPDecoderCore.h"
#include "codec/VORPReaderState.h"

#define VORP_INLINE inline __attribute__((always_inline))

namespace {

// The registers of both channels. Kept together so that the rare slow path can take them by
// address without forcing the hot ones out of registers more than the register count does.
struct CLoopState {
  std::uint32_t E[2][5];
  std::uint32_t D[2][5];
  std::uint32_t p[2];
};

VORP_INLINE std::uint32_t ChooseByKeys(const std::uint32_t* E) {
  // Keys (energy << 3 | order) compare energies with ties to the lower order; energies stay
  // below 2^26 because every value is checked to be 16-bit.
  std::uint32_t best = E[0] << 3;
#pragma GCC unroll 5
  for (std::uint32_t k = 1; k < 5; ++k) {
    const std::uint32_t key = (E[k] << 3) | k;
    best = key < best ? key : best;
  }
  return best & 7u;
}

// Rebuilds the differences outward from order p with residual code number z, updates the
// energies and chooses the next order. Returns the new value.
template <int P>
VORP_INLINE std::uint32_t Rebuild(std::uint32_t* E, std::uint32_t* D, std::uint32_t& p, std::uint32_t z) {
  std::uint32_t nd[5];
  nd[P] = static_cast<std::uint32_t>(VORPResidual(z));
#pragma GCC unroll 5
  for (int k = P - 1; k >= 0; --k) nd[k] = D[k] + nd[k + 1];
#pragma GCC unroll 5
  for (int k = P + 1; k < 5; ++k) nd[k] = nd[k - 1] - D[k - 1];
#pragma GCC unroll 5
  for (int k = 0; k < 5; ++k) {
    D[k] = nd[k];
    // The chosen order's code number is z itself; saying so keeps the next energy short.
    const std::uint32_t zz = k == P ? z : VORPCodeNumber(static_cast<std::int32_t>(nd[k]));
    E[k] = VORPNextEnergy(E[k], zz);
  }
  p = ChooseByKeys(E);
  return nd[0];
}

// One value whose code lies wholly in the window (at least 33 bits) with fewer than seven
// leading zeros (`lz`).
template <int P>
VORP_INLINE std::uint32_t FastValue(std::uint32_t* E, std::uint32_t* D, std::uint32_t& p, std::uint64_t& W,
                                    std::int32_t& avail, std::uint32_t lz) {
  const std::uint32_t m = VORPStep(E[P]);
  const std::uint32_t nm1 = 31u - static_cast<std::uint32_t>(__builtin_clz(m));
  const std::uint64_t t = W << (lz + 1);
  const std::uint32_t head = static_cast<std::uint32_t>((t >> 1) >> (63 - nm1));  // n - 1 bits
  const std::uint32_t full = static_cast<std::uint32_t>(t >> (63 - nm1));         // n bits
  const std::uint32_t u = (2u << nm1) - m;
  const std::uint32_t big = head >= u ? 1u : 0u;
  const std::uint32_t mask = 0u - big;
  const std::uint32_t rem = head ^ ((head ^ (full - u)) & mask);
  const std::uint32_t len = lz + 1 + nm1 + big;
  W <<= len;
  avail -= static_cast<std::int32_t>(len);
  return Rebuild<P>(E, D, p, lz * m + rem);
}

// A value the window cannot serve: read bit by bit (and reload) through the reader.
__attribute__((noinline)) std::uint32_t SlowValue(std::uint32_t* E, std::uint32_t* D, std::uint32_t& p,
                                                  CVORPReaderState& r) {
  const std::uint32_t z = VORPTakeCode(r, VORPStep(E[p]));
  switch (p) {
    case 0:
      return Rebuild<0>(E, D, p, z);
    case 1:
      return Rebuild<1>(E, D, p, z);
    case 2:
      return Rebuild<2>(E, D, p, z);
    case 3:
      return Rebuild<3>(E, D, p, z);
    default:
      return Rebuild<4>(E, D, p, z);
  }
}

// A 16-bit value lies in [-32768, 32767]; anything else cannot come from the encoder, and
// stopping there keeps every register of a corrupt stream bounded.
VORP_INLINE bool OutOf16(std::uint32_t x) { return x + 32768u > 65535u; }

// Decodes `count` frames of `Channels` channels. Values are taken one at a time, alternating
// channels in stereo, so that the slow path can interrupt between any two.
template <int Channels>
VORP_INLINE void DecodeLoop(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count,
                            std::int16_t* out) {
  CLoopState s;
  for (int c = 0; c < Channels; ++c) {
    for (int k = 0; k < 5; ++k) {
      s.E[c][k] = states[c].E[k];
      s.D[c][k] = static_cast<std::uint32_t>(states[c].D[k]);
    }
    s.p[c] = VORPChooseOrder(states[c].E);
  }
  std::uint64_t W = r.bitsLeft > 0 ? std::uint64_t{r.currentWord} << 32 : 0;
  std::int32_t avail = r.bitsLeft;
  const std::uint32_t* next = r.next;
  const std::uint32_t* end = r.end;
  auto storeWindow = [&] {
    // Give back a whole word taken ahead of need.
    if (avail > 32) {
      next -= 1;
      avail -= 32;
    }
    r.currentWord = avail > 0 ? static_cast<std::uint32_t>(W >> 32) & (~0u << (32 - avail)) : 0;
    r.bitsLeft = avail;
    r.next = next;
    r.end = end;
  };
  auto storeStates = [&] {
    for (int c = 0; c < Channels; ++c) {
      for (int k = 0; k < 5; ++k) {
        states[c].E[k] = s.E[c][k];
        states[c].D[k] = static_cast<std::int32_t>(s.D[c][k]);
      }
    }
  };

  const std::uint64_t values = std::uint64_t{count} * Channels;
  std::uint32_t left = 0;
  for (std::uint64_t i = 0; i < values; ++i) {
    const int c = Channels == 2 ? static_cast<int>(i & 1) : 0;
    std::uint32_t x;
    std::uint32_t lz = 64;
    if (next != end) [[likely]] {
      // Refill without a branch: a word goes in whenever 32 bits or fewer are left, so at
      // least 33 are there for the code.
      const std::uint64_t need = avail <= 32 ? 1u : 0u;
      const std::uint64_t word = std::uint64_t{*next} << ((32 - avail) & 63);
      W |= word & (0 - need);
      next += need;
      avail += static_cast<std::int32_t>(need * 32);
      lz = static_cast<std::uint32_t>(__builtin_clzll(W | 1));
    }
    if (lz < 7) [[likely]] {
      std::uint32_t* E = s.E[c];
      std::uint32_t* D = s.D[c];
      std::uint32_t& p = s.p[c];
      switch (Channels == 2 ? c * 5 + static_cast<int>(p) : static_cast<int>(p)) {
        case 0:
        case 5:
          x = FastValue<0>(E, D, p, W, avail, lz);
          break;
        case 1:
        case 6:
          x = FastValue<1>(E, D, p, W, avail, lz);
          break;
        case 2:
        case 7:
          x = FastValue<2>(E, D, p, W, avail, lz);
          break;
        case 3:
        case 8:
          x = FastValue<3>(E, D, p, W, avail, lz);
          break;
        default:
          x = FastValue<4>(E, D, p, W, avail, lz);
          break;
      }
    } else {
      storeWindow();
      try {
        x = SlowValue(s.E[c], s.D[c], s.p[c], r);
      } catch (...) {
        storeStates();
        throw;
      }
      W = r.bitsLeft > 0 ? std::uint64_t{r.currentWord} << 32 : 0;
      avail = r.bitsLeft;
      next = r.next;
      end = r.end;
    }
    if (Channels == 2 && c == 1) x += left;
    if (OutOf16(x)) [[unlikely]] {
      storeStates();
      storeWindow();
      VORPThrowValueOutOfRange();
    }
    if (Channels == 2) {
      out[i] = static_cast<std::int16_t>(x);
      left = x;
    } else {
      out[i] = static_cast<std::int16_t>(x);
    }
  }
  storeStates();
  storeWindow();
}

VORP_INLINE void DecodeMono(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count,
                            std::int16_t* out) {
  DecodeLoop<1>(states, r, count, out);
}

VORP_INLINE void DecodeStereo(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count,
                              std::int16_t* out) {
  DecodeLoop<2>(states, r, count, out);
}

}  // namespace
