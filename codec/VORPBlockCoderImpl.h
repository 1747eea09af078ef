#pragma once
// The block coder, included by the translation units that compile it for one target each.
// Everything here has internal linkage so that each target keeps its own copy.
//
// A block is coded in chunks of frames, in passes:
//   1. per channel, differences of all five orders for the whole chunk, and their code numbers;
//   2. per channel, the five energy recurrences (sequential in time, independent across orders),
//      recording the energies each value is coded with; with AVX2 the five run side by side in
//      one register, eight values at a time;
//   3. per channel, for every value the chosen order, its step, and the whole code as one number
//      of at most 30 bits with its length (a code needing a second unary group is marked);
//   4. the codes in stream order, merged in pairs and fours wherever they fit 32 bits;
//   5. packing through a 64-bit accumulator.
// Passes 1, 3 and 4 have no dependence between values and vectorise; pass 5 is a short serial
// loop over mostly merged codes.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/OutputBitStream.h"
#include "codec/VORPChannelState.h"

#if defined(VORP_BLOCK_AVX2)
#include <immintrin.h>

#include "codec/VORPChannelStateAVX2.h"
#endif

#define VORP_ENC_INLINE inline __attribute__((always_inline))

namespace {

constexpr std::uint32_t kChunk = 128;
constexpr std::uint32_t kPad = 24;

struct CChannelWork {
  // Rows are padded so that the same value of different rows never lies a multiple of 4 KiB
  // apart, which would make loads wait on unrelated stores.
  alignas(64) std::uint32_t Z[5][kChunk + kPad];  // code numbers of each order's difference
  alignas(64) std::uint32_t E[5][kChunk + kPad];  // energies before each value
  alignas(64) std::uint32_t code[kChunk];  // the code's bits, right-aligned
  alignas(64) std::uint32_t len[kChunk];   // the code's length; 0 marks a long code
  alignas(64) std::uint32_t v[kChunk];     // code number and step, for long codes
  alignas(64) std::uint32_t m[kChunk];
};

// Pass 1. x[i] = a[i * stride] (minus b[i * stride] when b is given, for right minus left).
inline void DifferencePass(CVORPChannelState& s, const std::int16_t* a, const std::int16_t* b, std::size_t stride,
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
  for (std::uint32_t i = 0; i < n; ++i) w.Z[0][i] = VORPCodeNumber(static_cast<std::int32_t>(prev[i + 1]));
  for (int k = 1; k < 5; ++k) {
    next[0] = static_cast<std::uint32_t>(s.D[k]);
    std::uint32_t* z = w.Z[k];
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t d = prev[i + 1] - prev[i];
      next[i + 1] = d;
      z[i] = VORPCodeNumber(static_cast<std::int32_t>(d));
    }
    s.D[k - 1] = static_cast<std::int32_t>(prev[n]);
    std::uint32_t* t = prev;
    prev = next;
    next = t;
  }
  s.D[4] = static_cast<std::int32_t>(prev[n]);
}

#if defined(VORP_BLOCK_AVX2)
// 8 x 8 transpose of 32-bit lanes.
inline void Transpose8(__m256i* r) {
  const __m256i t0 = _mm256_unpacklo_epi32(r[0], r[1]);
  const __m256i t1 = _mm256_unpackhi_epi32(r[0], r[1]);
  const __m256i t2 = _mm256_unpacklo_epi32(r[2], r[3]);
  const __m256i t3 = _mm256_unpackhi_epi32(r[2], r[3]);
  const __m256i t4 = _mm256_unpacklo_epi32(r[4], r[5]);
  const __m256i t5 = _mm256_unpackhi_epi32(r[4], r[5]);
  const __m256i t6 = _mm256_unpacklo_epi32(r[6], r[7]);
  const __m256i t7 = _mm256_unpackhi_epi32(r[6], r[7]);
  const __m256i u0 = _mm256_unpacklo_epi64(t0, t2);
  const __m256i u1 = _mm256_unpackhi_epi64(t0, t2);
  const __m256i u2 = _mm256_unpacklo_epi64(t1, t3);
  const __m256i u3 = _mm256_unpackhi_epi64(t1, t3);
  const __m256i u4 = _mm256_unpacklo_epi64(t4, t6);
  const __m256i u5 = _mm256_unpackhi_epi64(t4, t6);
  const __m256i u6 = _mm256_unpacklo_epi64(t5, t7);
  const __m256i u7 = _mm256_unpackhi_epi64(t5, t7);
  r[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
  r[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
  r[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
  r[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
  r[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
  r[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
  r[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
  r[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}
#endif

// Pass 2. With AVX2 the five recurrences run side by side in one register: eight values'
// code numbers are turned from order-major into value-major rows, stepped through, and the
// energies turned back.
inline void EnergyPass(CVORPChannelState& s, std::uint32_t n, CChannelWork& w) {
  std::uint32_t start = 0;
#if defined(VORP_BLOCK_AVX2)
  {
    __m256i e = _mm256_setr_epi32(static_cast<int>(s.E[0]), static_cast<int>(s.E[1]), static_cast<int>(s.E[2]),
                                  static_cast<int>(s.E[3]), static_cast<int>(s.E[4]), 0, 0, 0);
    const __m256i zero = _mm256_setzero_si256();
    for (; start + 8 <= n; start += 8) {
      __m256i r[8];
      for (int k = 0; k < 5; ++k) r[k] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&w.Z[k][start]));
      r[5] = zero;
      r[6] = zero;
      r[7] = zero;
      Transpose8(r);
      for (int j = 0; j < 8; ++j) {
        const __m256i before = e;
        e = VORPNextEnergyAVX2(e, r[j]);
        r[j] = before;
      }
      Transpose8(r);
      for (int k = 0; k < 5; ++k) _mm256_store_si256(reinterpret_cast<__m256i*>(&w.E[k][start]), r[k]);
    }
    alignas(32) std::uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), e);
    for (int k = 0; k < 5; ++k) s.E[k] = lanes[k];
  }
#endif
  std::uint32_t e0 = s.E[0], e1 = s.E[1], e2 = s.E[2], e3 = s.E[3], e4 = s.E[4];
  for (std::uint32_t i = start; i < n; ++i) {
    w.E[0][i] = e0;
    w.E[1][i] = e1;
    w.E[2][i] = e2;
    w.E[3][i] = e3;
    w.E[4][i] = e4;
    e0 = VORPNextEnergy(e0, w.Z[0][i]);
    e1 = VORPNextEnergy(e1, w.Z[1][i]);
    e2 = VORPNextEnergy(e2, w.Z[2][i]);
    e3 = VORPNextEnergy(e3, w.Z[3][i]);
    e4 = VORPNextEnergy(e4, w.Z[4][i]);
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
inline void CodePass(std::uint32_t n, CChannelWork& w) {
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t best = w.E[0][i] << 3;
    std::uint32_t v = w.Z[0][i];
    for (std::uint32_t k = 1; k < 5; ++k) {
      // Keys stay below 2^29, so they compare as signed numbers. The code number is taken by
      // arithmetic: a conditional load would become a masked load, which is slow.
      const std::uint32_t key = (w.E[k][i] << 3) | k;
      const std::uint32_t z = w.Z[k][i];
      const std::uint32_t mask = 0u - static_cast<std::uint32_t>(static_cast<std::int32_t>(key) < static_cast<std::int32_t>(best));
      best ^= (best ^ key) & mask;
      v ^= (v ^ z) & mask;
    }
    const std::uint32_t e = best >> 3;
    const std::uint32_t m = VORPStep(e);
    // n(m) from the exponent of m as a float; exact since m < 2^24.
    const float mf = static_cast<float>(static_cast<std::int32_t>(m));
    std::uint32_t fbits;
    std::memcpy(&fbits, &mf, sizeof fbits);
    const std::uint32_t nb = (fbits >> 23) - 126u;
    // v / m in floats is off by less than one for v, m < 2^22; one correction each way makes
    // the quotient exact.
    const std::int32_t sv = static_cast<std::int32_t>(v);
    const std::int32_t sm = static_cast<std::int32_t>(m);
    std::int32_t q = static_cast<std::int32_t>(static_cast<float>(sv) / mf);
    std::int32_t r = sv - q * sm;
    const std::int32_t under = r < 0 ? 1 : 0;
    q -= under;
    r += sm & -under;
    const std::int32_t over = r >= sm ? 1 : 0;
    q += over;
    r -= sm & -over;
    const std::uint32_t ur = static_cast<std::uint32_t>(r);
    const std::uint32_t u = (1u << nb) - m;
    const std::uint32_t big = ur >= u ? 1u : 0u;
    const std::uint32_t bits = nb - 1u + big;
    w.code[i] = (1u << bits) | (ur + (u & (0u - big)));
    w.len[i] = q >= 7 ? 0u : static_cast<std::uint32_t>(q) + 1u + bits;
    w.v[i] = v;
    w.m[i] = m;
  }
}

// Pass 4 state: `pending` bits (at most 32 between codes) sit in the low end of `acc`. A word is
// completed only once a bit beyond it exists, as the bit stream requires. Completed words go to
// a local array without a branch (the store always happens, the count advances only for a full
// word) and on to the stream once per chunk.
struct CPacker {
  // A chunk holds 2 * kChunk codes; a code of 16-bit audio takes at most ten unary groups, so
  // at most 7 * 10 + 1 + 22 bits: four words per code is a safe bound.
  static constexpr std::uint32_t kMaxWords = 2 * kChunk * 4 + 2;

  std::uint64_t acc;
  std::uint32_t pending;
  std::uint32_t count = 0;
  COutputBitStream& out;
  std::uint32_t words[kMaxWords];

  explicit CPacker(COutputBitStream& stream)
      : acc(stream.GetCurrentWord()), pending(32 - stream.GetFreeBits()), out(stream) {}

  VORP_ENC_INLINE void Put(std::uint32_t code, std::uint32_t len) {
    acc = (acc << len) | code;
    pending += len;
    const std::uint32_t full = pending > 32 ? 1u : 0u;
    words[count] = static_cast<std::uint32_t>(acc >> ((pending - 32) & 63));
    count += full;
    pending -= 32 * full;
  }

  // A code with at least one full unary group of seven zeros.
  void PutLong(std::uint32_t v, std::uint32_t m) {
    for (;;) {
      const std::uint32_t q = v / m < 7 ? v / m : 7;
      v -= q * m;
      if (q) Put(0, q);
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

  void Drain() {
    out.StoreWords(words, count);
    count = 0;
  }

  void Done() {
    Drain();
    const std::uint32_t word = pending >= 32 ? static_cast<std::uint32_t>(acc)
                                             : static_cast<std::uint32_t>(acc & ((std::uint64_t{1} << pending) - 1));
    out.SetBitState(32 - pending, word);
  }
};

// Codes in stream order (left, right-minus-left, left, ... or mono values), with codes merged
// in pairs and pairs of pairs wherever the merged code still fits 32 bits, so that the serial
// packer mostly handles one merged code per several values. A length of 0 marks what cannot be
// merged (a long code, or too many bits together).
struct CStreamCodes {
  alignas(64) std::uint32_t code[2 * kChunk];
  alignas(64) std::uint32_t len[2 * kChunk];
  alignas(64) std::uint32_t code2[kChunk];
  alignas(64) std::uint32_t len2[kChunk];
  alignas(64) std::uint32_t code4[kChunk / 2];
  alignas(64) std::uint32_t len4[kChunk / 2];
};

inline void MergePass(const std::uint32_t* code, const std::uint32_t* len, std::uint32_t pairs, std::uint32_t* outCode,
                      std::uint32_t* outLen) {
  for (std::uint32_t j = 0; j < pairs; ++j) {
    const std::uint32_t a = len[2 * j];
    const std::uint32_t b = len[2 * j + 1];
    // Bitwise rather than short-circuit, so that the loop vectorises. b < 32 whenever the pair
    // merges; the shift is masked only to stay defined when it does not.
    const std::uint32_t ok = static_cast<std::uint32_t>(a != 0) & static_cast<std::uint32_t>(b != 0) &
                             static_cast<std::uint32_t>(a + b <= 32);
    const std::uint32_t mask = 0u - ok;
    outCode[j] = ((code[2 * j] << (b & 31)) | code[2 * j + 1]) & mask;
    outLen[j] = (a + b) & mask;
  }
}

inline void CodeBlock(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                      const std::int16_t* left, const std::int16_t* right, std::size_t stride) {
  CChannelWork work[2];
  CStreamCodes sc;
  const std::uint32_t channels = right ? 2 : 1;
  CPacker packer(stream);
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = count - done < kChunk ? count - done : kChunk;
    const std::int16_t* l = left + done * stride;
    DifferencePass(states[0], l, nullptr, stride, n, work[0]);
    if (right) DifferencePass(states[1], l, right + done * stride, stride, n, work[1]);
    for (std::uint32_t c = 0; c < channels; ++c) {
      EnergyPass(states[c], n, work[c]);
      CodePass(n, work[c]);
    }
    const std::uint32_t values = n * channels;
    if (channels == 1) {
      for (std::uint32_t i = 0; i < n; ++i) {
        sc.code[i] = work[0].code[i];
        sc.len[i] = work[0].len[i];
      }
    } else {
      for (std::uint32_t i = 0; i < n; ++i) {
        sc.code[2 * i] = work[0].code[i];
        sc.len[2 * i] = work[0].len[i];
        sc.code[2 * i + 1] = work[1].code[i];
        sc.len[2 * i + 1] = work[1].len[i];
      }
    }
    MergePass(sc.code, sc.len, values / 2, sc.code2, sc.len2);
    MergePass(sc.code2, sc.len2, values / 4, sc.code4, sc.len4);
    // Value k of the stream: its code, or the long code of its channel's value.
    auto putValue = [&](std::uint32_t k) {
      if (sc.len[k]) [[likely]] {
        packer.Put(sc.code[k], sc.len[k]);
      } else {
        const CChannelWork& w = work[k % channels];
        packer.PutLong(w.v[k / channels], w.m[k / channels]);
      }
    };
    auto putPair = [&](std::uint32_t j) {
      if (sc.len2[j]) [[likely]] {
        packer.Put(sc.code2[j], sc.len2[j]);
      } else {
        putValue(2 * j);
        putValue(2 * j + 1);
      }
    };
    const std::uint32_t quads = values / 4;
    for (std::uint32_t q = 0; q < quads; ++q) {
      if (sc.len4[q]) [[likely]] {
        packer.Put(sc.code4[q], sc.len4[q]);
      } else {
        putPair(2 * q);
        putPair(2 * q + 1);
      }
    }
    for (std::uint32_t k = quads * 4; k < values; ++k) putValue(k);
    packer.Drain();
    done += n;
  }
  packer.Done();
}

}  // namespace
