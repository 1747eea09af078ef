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

struct CChan {
  std::uint32_t E[5];
  std::uint32_t D[5];
  std::uint32_t p;

  VORP_INLINE void Load(const CVORPChannelState& s) {
    for (int k = 0; k < 5; ++k) {
      E[k] = s.E[k];
      D[k] = static_cast<std::uint32_t>(s.D[k]);
    }
    p = VORPChooseOrder(E);
  }
  VORP_INLINE void Store(CVORPChannelState& s) const {
    for (int k = 0; k < 5; ++k) {
      s.E[k] = E[k];
      s.D[k] = static_cast<std::int32_t>(D[k]);
    }
  }
};

struct CWindow {
  std::uint64_t W;
  std::int32_t avail;
  const std::uint32_t* next;
  const std::uint32_t* end;

  VORP_INLINE void Load(const CVORPReaderState& r) {
    W = r.bitsLeft > 0 ? std::uint64_t{r.currentWord} << 32 : 0;
    avail = r.bitsLeft;
    next = r.next;
    end = r.end;
  }
  // Gives back the whole words the window has taken ahead of need.
  VORP_INLINE void Store(CVORPReaderState& r) {
    if (avail > 32) {
      next -= 1;
      avail -= 32;
    }
    r.currentWord = avail > 0 ? static_cast<std::uint32_t>(W >> 32) & (~0u << (32 - avail)) : 0;
    r.bitsLeft = avail;
    r.next = next;
    r.end = end;
  }
};

template <int P>
VORP_INLINE std::uint32_t Step(CChan& c, CWindow& w, CVORPReaderState& r) {
  const std::uint32_t m = (3u * c.E[P] + 36u) >> 7;
  if (w.avail < 33 && w.next != w.end) {
    w.W |= std::uint64_t{*w.next++} << (32 - w.avail);
    w.avail += 32;
  }
  const std::uint32_t lz = static_cast<std::uint32_t>(__builtin_clzll(w.W | 1));
  std::uint32_t z;
  if (lz < 7 && w.avail >= 33) [[likely]] {
    const std::uint32_t nm1 = 31u - static_cast<std::uint32_t>(__builtin_clz(m));
    const std::uint64_t t = w.W << (lz + 1);
    std::uint32_t rem = static_cast<std::uint32_t>((t >> 1) >> (63 - nm1));
    const std::uint32_t u = (2u << nm1) - m;
    std::uint32_t len = lz + 1 + nm1;
    if (rem >= u) {
      rem = 2 * rem - u + static_cast<std::uint32_t>((t >> (63 - nm1)) & 1u);
      ++len;
    }
    z = lz * m + rem;
    w.W <<= len;
    w.avail -= static_cast<std::int32_t>(len);
  } else {
    w.Store(r);
    z = VORPTakeCode(r, m);
    w.Load(r);
  }
  // Rebuild the differences outward from the chosen order.
  std::uint32_t nd[5];
  nd[P] = static_cast<std::uint32_t>(VORPResidual(z));
#pragma GCC unroll 5
  for (int k = P - 1; k >= 0; --k) nd[k] = c.D[k] + nd[k + 1];
#pragma GCC unroll 5
  for (int k = P + 1; k < 5; ++k) nd[k] = nd[k - 1] - c.D[k - 1];
#pragma GCC unroll 5
  for (int k = 0; k < 5; ++k) {
    c.D[k] = nd[k];
    c.E[k] = c.E[k] - (c.E[k] >> 5) + ((nd[k] << 1) ^ (0u - (nd[k] >> 31)));
  }
  std::uint32_t p = 0;
  std::uint32_t best = c.E[0];
#pragma GCC unroll 5
  for (std::uint32_t k = 1; k < 5; ++k) {
    if (c.E[k] < best) {
      best = c.E[k];
      p = k;
    }
  }
  c.p = p;
  return nd[0];
}

VORP_INLINE std::uint32_t Value(CChan& c, CWindow& w, CVORPReaderState& r) {
  switch (c.p) {
    case 0:
      return Step<0>(c, w, r);
    case 1:
      return Step<1>(c, w, r);
    case 2:
      return Step<2>(c, w, r);
    case 3:
      return Step<3>(c, w, r);
    default:
      return Step<4>(c, w, r);
  }
}

// A 16-bit value lies in [-32768, 32767]; anything else cannot come from the encoder, and
// stopping there keeps every register of a corrupt stream bounded.
VORP_INLINE bool OutOf16(std::uint32_t x) { return x + 32768u > 65535u; }

VORP_INLINE void DecodeMono(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count,
                            std::int16_t* out) {
  CChan c;
  c.Load(states[0]);
  CWindow w;
  w.Load(r);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t x = Value(c, w, r);
    if (OutOf16(x)) [[unlikely]] {
      c.Store(states[0]);
      w.Store(r);
      VORPThrowValueOutOfRange();
    }
    out[i] = static_cast<std::int16_t>(x);
  }
  c.Store(states[0]);
  w.Store(r);
}

VORP_INLINE void DecodeStereo(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count,
                              std::int16_t* out) {
  CChan a;
  CChan b;
  a.Load(states[0]);
  b.Load(states[1]);
  CWindow w;
  w.Load(r);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t left = Value(a, w, r);
    if (OutOf16(left)) [[unlikely]] {
      a.Store(states[0]);
      b.Store(states[1]);
      w.Store(r);
      VORPThrowValueOutOfRange();
    }
    const std::uint32_t right = left + Value(b, w, r);
    if (OutOf16(right)) [[unlikely]] {
      a.Store(states[0]);
      b.Store(states[1]);
      w.Store(r);
      VORPThrowValueOutOfRange();
    }
    out[2 * i] = static_cast<std::int16_t>(left);
    out[2 * i + 1] = static_cast<std::int16_t>(right);
  }
  a.Store(states[0]);
  b.Store(states[1]);
  w.Store(r);
}

}  // namespace
