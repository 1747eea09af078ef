#pragma once
// The block coder, included by the translation units that compile it for one target each.
// Everything here has internal linkage so that each target keeps its own copy.
//
// A block is coded in chunks of frames, each in four passes per channel:
//   1. differences of all five orders for the whole chunk, and their code numbers;
//   2. the five energy recurrences (sequential in time, independent across orders), recording
//      the energies each value is coded with;
//   3. for every value, the chosen order, its step, and the whole code as one number of at most
//      30 bits with its length (a code needing a second unary group is marked for pass 4);
//   4. packing the codes of both channels, frame by frame, through a 64-bit accumulator.
// Passes 1 and 3 have no dependence between values and vectorise; pass 2 runs five independent
// chains; pass 4 is a short serial loop.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/OutputBitStream.h"
#include "codec/VORPChannelState.h"

namespace {

constexpr std::uint32_t kChunk = 256;

struct CChannelWork {
  alignas(64) std::uint32_t Z[5][kChunk];  // code numbers of each order's difference
  alignas(64) std::uint32_t E[5][kChunk];  // energies before each value
  alignas(64) std::uint32_t code[kChunk];  // the code's bits, right-aligned
  alignas(64) std::uint32_t len[kChunk];   // the code's length; 0 marks a long code
  alignas(64) std::uint32_t v[kChunk];     // code number and step, for long codes
  alignas(64) std::uint32_t m[kChunk];
};

// Pass 1. x[i] = a[i * stride] (minus b[i * stride] when b is given, for right minus left).
__attribute__((noinline)) void DifferencePass(CVORPChannelState& s, const std::int16_t* a, const std::int16_t* b, std::size_t stride,
                           std::uint32_t n, CChannelWork& w) {
  // Index 0 holds the previous chunk's last value of the order; differences wrap as 32-bit
  // registers do (they cannot overflow for 16-bit input).
  alignas(64) std::uint32_t bufA[kChunk + 1];
  alignas(64) std::uint32_t bufB[kChunk + 1];
  std::uint32_t* prev = bufA;
  std::uint32_t* next = bufB;
  prev[0] = static_cast<std::uint32_t>(s.D[0]);
  if (b) {
    for (std::uint32_t i = 0; i < n; ++i) {
      prev[i + 1] = static_cast<std::uint32_t>(std::int32_t{b[i * stride]} - std::int32_t{a[i * stride]});
    }
  } else {
    for (std::uint32_t i = 0; i < n; ++i) prev[i + 1] = static_cast<std::uint32_t>(std::int32_t{a[i * stride]});
  }
  for (std::uint32_t i = 0; i < n; ++i) w.Z[0][i] = (prev[i + 1] << 1) ^ (0u - (prev[i + 1] >> 31));
  for (int k = 1; k < 5; ++k) {
    next[0] = static_cast<std::uint32_t>(s.D[k]);
    std::uint32_t* z = w.Z[k];
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t d = prev[i + 1] - prev[i];
      next[i + 1] = d;
      z[i] = (d << 1) ^ (0u - (d >> 31));
    }
    s.D[k - 1] = static_cast<std::int32_t>(prev[n]);
    std::uint32_t* t = prev;
    prev = next;
    next = t;
  }
  s.D[4] = static_cast<std::int32_t>(prev[n]);
}

// Pass 2.
__attribute__((noinline)) void EnergyPass(CVORPChannelState& s, std::uint32_t n, CChannelWork& w) {
  std::uint32_t e0 = s.E[0], e1 = s.E[1], e2 = s.E[2], e3 = s.E[3], e4 = s.E[4];
  for (std::uint32_t i = 0; i < n; ++i) {
    w.E[0][i] = e0;
    w.E[1][i] = e1;
    w.E[2][i] = e2;
    w.E[3][i] = e3;
    w.E[4][i] = e4;
    e0 = e0 - (e0 >> 5) + w.Z[0][i];
    e1 = e1 - (e1 >> 5) + w.Z[1][i];
    e2 = e2 - (e2 >> 5) + w.Z[2][i];
    e3 = e3 - (e3 >> 5) + w.Z[3][i];
    e4 = e4 - (e4 >> 5) + w.Z[4][i];
  }
  s.E[0] = e0;
  s.E[1] = e1;
  s.E[2] = e2;
  s.E[3] = e3;
  s.E[4] = e4;
}

// Pass 3. For 16-bit input every energy stays below 2^26 and every code number below 2^22, so
// the choice can compare keys (energy << 3 | order), which breaks ties toward the lower order,
// and all products below stay within 32 bits.
__attribute__((noinline)) void CodePass(std::uint32_t n, CChannelWork& w) {
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t best = w.E[0][i] << 3;
    std::uint32_t v = w.Z[0][i];
    for (std::uint32_t k = 1; k < 5; ++k) {
      const std::uint32_t key = (w.E[k][i] << 3) | k;
      const bool smaller = key < best;
      best = smaller ? key : best;
      v = smaller ? w.Z[k][i] : v;
    }
    const std::uint32_t e = best >> 3;
    const std::uint32_t m = (3u * e + 36u) >> 7;
    // n(m) from the exponent of m as a float; exact since m < 2^24.
    float f = static_cast<float>(static_cast<std::int32_t>(m));
    std::uint32_t fbits;
    std::memcpy(&fbits, &f, sizeof fbits);
    const std::uint32_t nb = (fbits >> 23) - 126u;
    const std::int32_t sv = static_cast<std::int32_t>(v);
    const std::int32_t sm = static_cast<std::int32_t>(m);
    const std::uint32_t q = static_cast<std::uint32_t>((sv >= sm) + (sv >= 2 * sm) + (sv >= 3 * sm) + (sv >= 4 * sm) +
                                                       (sv >= 5 * sm) + (sv >= 6 * sm) + (sv >= 7 * sm));
    const std::uint32_t r = v - q * m;
    const std::uint32_t u = (1u << nb) - m;
    const std::uint32_t big = r >= u ? 1u : 0u;
    const std::uint32_t bits = nb - 1u + big;
    w.code[i] = (1u << bits) | (r + (big ? u : 0u));
    w.len[i] = q == 7 ? 0u : q + 1u + bits;
    w.v[i] = v;
    w.m[i] = m;
  }
}

// Pass 4 state: `pending` bits (at most 32 between codes) sit in the low end of `acc`. A word is
// stored only once a bit beyond it exists, as the bit stream requires.
struct CPacker {
  std::uint64_t acc;
  std::uint32_t pending;
  COutputBitStream& out;

  explicit CPacker(COutputBitStream& stream)
      : acc(stream.GetCurrentWord()), pending(32 - stream.GetFreeBits()), out(stream) {}

  void Put(std::uint32_t code, std::uint32_t len) {
    acc = (acc << len) | code;
    pending += len;
    if (pending > 32) {
      pending -= 32;
      out.StoreWord(static_cast<std::uint32_t>(acc >> pending));
    }
  }

  // A code with at least one full unary group of seven zeros.
  void PutLong(std::uint32_t v, std::uint32_t m) {
    for (;;) {
      const std::uint32_t q = v / m < 7 ? v / m : 7;
      v -= q * m;
      if (q) {
        acc <<= q;
        pending += q;
        if (pending > 32) {
          pending -= 32;
          out.StoreWord(static_cast<std::uint32_t>(acc >> pending));
        }
      }
      if (q < 7) break;
      m *= 4;
    }
    const std::uint32_t nb = VORPStepBits(m);
    const std::uint32_t u = (1u << nb) - m;
    if (v < u) {
      Put((1u << (nb - 1)) | v, nb);
    } else {
      Put((1u << nb) | (v + u), nb + 1);
    }
  }

  void Done() {
    const std::uint32_t word = pending >= 32 ? static_cast<std::uint32_t>(acc)
                                             : static_cast<std::uint32_t>(acc & ((std::uint64_t{1} << pending) - 1));
    out.SetBitState(32 - pending, word);
  }
};

inline void CodeBlock(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                      const std::int16_t* left, const std::int16_t* right, std::size_t stride) {
  CChannelWork work[2];
  const int channels = right ? 2 : 1;
  CPacker packer(stream);
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = count - done < kChunk ? count - done : kChunk;
    const std::int16_t* l = left + done * stride;
    DifferencePass(states[0], l, nullptr, stride, n, work[0]);
    if (right) DifferencePass(states[1], l, right + done * stride, stride, n, work[1]);
    for (int c = 0; c < channels; ++c) {
      EnergyPass(states[c], n, work[c]);
      CodePass(n, work[c]);
    }
    if (channels == 1) {
      const CChannelWork& w = work[0];
      for (std::uint32_t i = 0; i < n; ++i) {
        if (w.len[i]) [[likely]] {
          packer.Put(w.code[i], w.len[i]);
        } else {
          packer.PutLong(w.v[i], w.m[i]);
        }
      }
    } else {
      const CChannelWork& a = work[0];
      const CChannelWork& b = work[1];
      for (std::uint32_t i = 0; i < n; ++i) {
        if (a.len[i]) [[likely]] {
          packer.Put(a.code[i], a.len[i]);
        } else {
          packer.PutLong(a.v[i], a.m[i]);
        }
        if (b.len[i]) [[likely]] {
          packer.Put(b.code[i], b.len[i]);
        } else {
          packer.PutLong(b.v[i], b.m[i]);
        }
      }
    }
    done += n;
  }
  packer.Done();
}

}  // namespace
