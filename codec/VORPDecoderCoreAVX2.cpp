// The fast decoding loops compiled for AVX2 and BMI2; used only where the processor has them.
//
// The prediction of order k from the last four values is a fixed combination of them, so the
// new value depends on the previous one only through one multiply-add, p*a + (the rest of the
// prediction, known a value ahead). The differences x - S, the energies (lanes 0 to 4 of vector
// registers) and the next choice hang off x without holding up the next value; past values are
// kept broadcast across registers so that the predictions need no shuffles. The next step is
// computed ahead from the chosen order's energy on the bet that the order does not change; a
// branch corrects the rare misses. Bits are fetched 64 at a time, once per two codes.
#pragma GCC optimize("O3")
#include <cstdint>
#include <cstring>

#include "codec/VORPChannelState.h"
#include "codec/VORPDecoderCore.h"
#include "codec/VORPReaderState.h"

#if defined(__x86_64__)
#pragma GCC target("avx2,bmi,bmi2,lzcnt,popcnt")
#include <immintrin.h>

#include "codec/VORPChannelStateAVX2.h"

#define VORP_INLINE inline __attribute__((always_inline))
#define VORP_INLINE_LAMBDA __attribute__((always_inline))

namespace {

struct CVecChan {
  __m256i D;    // the differences at the last value, lanes 0-4 (kept for handing back)
  __m256i E;    // energies, lanes 0-4
  __m256i S;    // predictions of all orders for the next value
  __m256i R;    // the part of the following predictions known before the next value
  __m256i x1;   // the last value in every lane
  __m256i x2;   // the one before
  __m256i pv;   // p in every lane
  std::uint32_t p;   // order for the next value
  std::uint32_t ep;  // its energy
  std::uint32_t rp;  // S[p] - p * (last value)
  std::uint32_t a;   // the last value
};

// The prediction of order k from the last four values a, b, c, d (newest first) is
// a*C0[k] + b*C1[k] + c*C2[k] + d*C3[k]: 0; a; 2a - b; 3a - 3b + c; 4a - 6b + 4c - d.
VORP_INLINE __m256i C0() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 0, 0, 0); }
VORP_INLINE __m256i C1() { return _mm256_setr_epi32(0, 0, -1, -3, -6, 0, 0, 0); }
VORP_INLINE __m256i C2() { return _mm256_setr_epi32(0, 0, 0, 1, 4, 0, 0, 0); }
VORP_INLINE __m256i C3() { return _mm256_setr_epi32(0, 0, 0, 0, -1, 0, 0, 0); }

VORP_INLINE __m256i Splat(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }

VORP_INLINE std::uint32_t Lane(__m256i v, __m256i index) {
  return static_cast<std::uint32_t>(_mm256_cvtsi256_si32(_mm256_permutevar8x32_epi32(v, index)));
}

VORP_INLINE __m256i Following(__m256i a, __m256i b, __m256i c) {
  return _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(a, C1()), _mm256_mullo_epi32(b, C2())),
                          _mm256_mullo_epi32(c, C3()));
}

VORP_INLINE void LoadChan(CVecChan& ch, const CVORPChannelState& s) {
  ch.D = _mm256_setr_epi32(s.D[0], s.D[1], s.D[2], s.D[3], s.D[4], 0, 0, 0);
  ch.E = _mm256_setr_epi32(static_cast<int>(s.E[0]), static_cast<int>(s.E[1]), static_cast<int>(s.E[2]),
                           static_cast<int>(s.E[3]), static_cast<int>(s.E[4]), 0, 0, 0);
  // The last four values from the differences at the last one (wrapping, as the registers do).
  const std::uint32_t d0 = static_cast<std::uint32_t>(s.D[0]), d1 = static_cast<std::uint32_t>(s.D[1]);
  const std::uint32_t d2 = static_cast<std::uint32_t>(s.D[2]), d3 = static_cast<std::uint32_t>(s.D[3]);
  const std::uint32_t x1 = d0;
  const std::uint32_t x2 = d0 - d1;
  const std::uint32_t x3 = d0 - 2 * d1 + d2;
  const std::uint32_t x4 = d0 - 3 * d1 + 3 * d2 - d3;
  const __m256i before = Following(Splat(x2), Splat(x3), Splat(x4));
  ch.S = _mm256_add_epi32(_mm256_mullo_epi32(Splat(x1), C0()), before);
  ch.R = Following(Splat(x1), Splat(x2), Splat(x3));
  ch.x1 = Splat(x1);
  ch.x2 = Splat(x2);
  ch.a = x1;
  ch.p = VORPChooseOrder(s.E);
  ch.pv = Splat(ch.p);
  ch.ep = s.E[ch.p];
  ch.rp = Lane(before, ch.pv);
}

VORP_INLINE void StoreChan(const CVecChan& ch, CVORPChannelState& s) {
  alignas(32) std::int32_t d[8];
  alignas(32) std::uint32_t e[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(d), ch.D);
  _mm256_store_si256(reinterpret_cast<__m256i*>(e), ch.E);
  for (int k = 0; k < 5; ++k) {
    s.D[k] = d[k];
    s.E[k] = e[k];
  }
}

// The value of code number z for a channel; updates the channel and sets its next order.
VORP_INLINE std::uint32_t Rebuild(CVecChan& ch, std::uint32_t z) {
  // S[p] = p*a + R[p], with R[p] taken a value ahead: the value waits on one multiply-add.
  const std::uint32_t x = static_cast<std::uint32_t>(VORPResidual(z)) + (ch.p * ch.a + ch.rp);
  const __m256i xs = Splat(x);
  const __m256i nd = _mm256_sub_epi32(xs, ch.S);
  ch.D = nd;
  ch.E = VORPNextEnergyAVX2(ch.E, VORPCodeNumberAVX2(nd));
  // The next predictions; R moves on with the history, whose values are kept broadcast.
  const __m256i oldR = ch.R;
  const std::uint32_t rSame = Lane(oldR, ch.pv);
  ch.S = _mm256_add_epi32(_mm256_mullo_epi32(xs, C0()), oldR);
  ch.R = Following(xs, ch.x1, ch.x2);
  ch.x2 = ch.x1;
  ch.x1 = xs;
  ch.a = x;
  // Bet on the same order: its energy follows from z alone. The bet holds unless some order's
  // key (energy << 3 | order, which breaks ties toward the lower order) is below the chosen
  // one's; energies stay below 2^26 since every value is checked to be 16-bit, so the keys
  // compare as signed numbers, and lanes 5-7 never win.
  const std::uint32_t guess = VORPNextEnergy(ch.ep, z);
  const __m256i keys =
      _mm256_or_si256(_mm256_slli_epi32(ch.E, 3), _mm256_setr_epi32(0, 1, 2, 3, 4, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF));
  const __m256i mine = _mm256_permutevar8x32_epi32(keys, ch.pv);
  if (__builtin_expect(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(mine, keys))) != 0, 0)) {
    __m256i k = _mm256_min_epu32(keys, _mm256_permute2x128_si256(keys, keys, 0x01));
    k = _mm256_min_epu32(k, _mm256_shuffle_epi32(k, 0x4E));
    k = _mm256_min_epu32(k, _mm256_shuffle_epi32(k, 0xB1));
    const std::uint32_t best = static_cast<std::uint32_t>(_mm256_cvtsi256_si32(k));
    ch.p = best & 7u;
    ch.pv = Splat(ch.p);
    ch.ep = best >> 3;
    ch.rp = Lane(oldR, ch.pv);
  } else {
    ch.ep = guess;
    ch.rp = rSame;
  }
  return x;
}

// A 16-bit value lies in [-32768, 32767]; anything else cannot come from the encoder, and
// stopping there keeps every register of a corrupt stream bounded.
VORP_INLINE bool OutOf16(std::uint32_t x) { return x + 32768u > 65535u; }

// The reader as a bit position in the word buffer: 64 bits from any position come from three
// words, enough for two codes of fewer than seven leading zeros (each at most 6 + 1 + 21 bits,
// the step staying below 2^21 while every value is 16-bit). So the bits are fetched once per
// pair of codes, without refill bookkeeping per code.
struct CBits {
  const std::uint32_t* w;  // the word buffer
  std::uint64_t count;     // words in it
  std::uint64_t pos;       // bits taken from w[0] on

  VORP_INLINE std::uint64_t Peek() const {
    const std::uint64_t i = pos >> 5;
    const std::uint32_t off = static_cast<std::uint32_t>(pos & 31);
    const std::uint64_t hi = (std::uint64_t{w[i]} << 32) | w[i + 1];
    return (hi << off) | ((std::uint64_t{w[i + 2]} >> 1) >> (31 - off));
  }
  // Pairs that can be read before the three words of a peek would run past the buffer.
  VORP_INLINE std::uint64_t Room() const {
    const std::uint64_t left = count - (pos >> 5);
    return left >= 4 ? left / 2 - 1 : 0;
  }
};

// The code number of a channel's code at the top of `bits`, and its length; false when it has
// seven or more leading zeros (a long code, or a corrupt stream).
VORP_INLINE bool Code(const CVecChan& c, std::uint64_t bits, std::uint32_t& z, std::uint32_t& len) {
  const std::uint32_t m = VORPStep(c.ep);
  const std::uint32_t lz = static_cast<std::uint32_t>(_lzcnt_u64(bits));
  if (lz >= 7) [[unlikely]] return false;
  const std::uint32_t nm1 = 31u - _lzcnt_u32(m);
  const std::uint32_t full = static_cast<std::uint32_t>((bits << (lz + 1)) >> (63 - nm1));  // n bits
  const std::uint32_t u = (2u << nm1) - m;
  const std::uint32_t big = full >= 2 * u ? 1u : 0u;  // the first n - 1 bits are at least u
  // Arithmetic rather than a choice: the compiler would branch, and the branch is a coin toss.
  const std::uint32_t rem = (full >> (1u - big)) - (u & (0u - big));
  len = lz + 1 + nm1 + big;
  z = lz * m + rem;
  return true;
}

// Decodes values first .. total - 1 (values alternate between channels in stereo) as long as the
// bits can be served from the buffer; returns how far it got. Nothing in here calls out, so the
// channel registers never have to be saved around a call.
template <int Channels>
std::uint64_t HotLoop(CVORPChannelState* states, CVORPReaderState& r, std::uint64_t first, std::uint64_t total,
                      std::int16_t* out) {
  // The reader's current word, when it has one, is the word before `next` in the same buffer.
  const bool partial = r.bitsLeft > 0;
  CBits b{r.next - (partial ? 1 : 0), static_cast<std::uint64_t>(r.end - r.next) + (partial ? 1 : 0),
          partial ? static_cast<std::uint64_t>(32 - r.bitsLeft) : 0};
  CVecChan c0;
  CVecChan c1;
  LoadChan(c0, states[0]);
  if (Channels == 2) LoadChan(c1, states[1]);
  std::uint64_t i = first;
  bool failed = false;
  // Two values: channels 0 and 1 of a frame in stereo, two consecutive values in mono.
  auto two = [&]() VORP_INLINE_LAMBDA -> bool {
    std::uint64_t bits = b.Peek();
    std::uint32_t z;
    std::uint32_t len1;
    if (!Code(c0, bits, z, len1)) return false;
    const std::uint32_t x1 = Rebuild(c0, z);
    CVecChan& second = Channels == 2 ? c1 : c0;
    std::uint32_t len2;
    if (!Code(second, bits << len1, z, len2)) [[unlikely]] {
      // Stop between the two values; the first is done.
      b.pos += len1;
      if (OutOf16(x1)) {
        failed = true;
        return false;
      }
      out[i] = static_cast<std::int16_t>(x1);
      ++i;
      return false;
    }
    b.pos += len1 + len2;
    const std::uint32_t x2 = (Channels == 2 ? x1 : 0u) + Rebuild(second, z);
    if (((x1 + 32768u) | (x2 + 32768u)) > 65535u) [[unlikely]] {
      failed = true;
      return false;
    }
    const std::uint32_t both = (x1 & 0xFFFFu) | (x2 << 16);
    std::memcpy(out + i, &both, sizeof both);  // x86 is little-endian: first, then second
    i += 2;
    return true;
  };
  // One value, to line up with frames or to finish.
  auto one = [&]() VORP_INLINE_LAMBDA -> bool {
    const std::uint64_t bits = b.Peek();
    std::uint32_t z;
    std::uint32_t len;
    CVecChan& c = Channels == 2 && (i & 1) ? c1 : c0;
    if (!Code(c, bits, z, len)) return false;
    b.pos += len;
    std::uint32_t x = Rebuild(c, z);
    if (Channels == 2 && (i & 1)) x += static_cast<std::uint32_t>(out[i - 1]);
    if (OutOf16(x)) [[unlikely]] {
      failed = true;
      return false;
    }
    out[i] = static_cast<std::int16_t>(x);
    ++i;
    return true;
  };
  bool ok = true;
  while (ok && i < total) {
    const std::uint64_t room = b.Room();
    if (room == 0) break;
    if (Channels == 2 && (i & 1)) {
      ok = one();  // finish a frame begun before
      continue;
    }
    const std::uint64_t pairs = (total - i) / 2 < room ? (total - i) / 2 : room;
    if (pairs == 0) {
      ok = one();
      continue;
    }
    const std::uint64_t stop = i + 2 * pairs;
    while (ok && i < stop) ok = two();
  }
  StoreChan(c0, states[0]);
  if (Channels == 2) StoreChan(c1, states[1]);
  const std::uint64_t word = b.pos >> 5;
  const std::uint32_t off = static_cast<std::uint32_t>(b.pos & 31);
  if (off == 0) {
    r.next = b.w + word;
    r.bitsLeft = 0;
    r.currentWord = 0;
  } else {
    r.next = b.w + word + 1;
    r.bitsLeft = static_cast<std::int32_t>(32 - off);
    r.currentWord = b.w[word] << off;
  }
  if (failed) VORPThrowValueOutOfRange();
  return i;
}

// One value the window could not serve: bit by bit through the reader, which reloads.
template <int Channels>
void SlowValue(CVORPChannelState* states, CVORPReaderState& r, std::uint64_t i, std::int16_t* out) {
  CVORPChannelState& s = states[Channels == 2 ? (i & 1) : 0];
  std::uint32_t x = VORPDecodeValueStepwise(s, r);
  if (Channels == 2 && (i & 1)) x += static_cast<std::uint32_t>(out[i - 1]);
  if (OutOf16(x)) VORPThrowValueOutOfRange();
  out[i] = static_cast<std::int16_t>(x);
}

template <int Channels>
void DecodeLoop(CVORPChannelState* states, CVORPReaderState& r, std::uint32_t count, std::int16_t* out) {
  const std::uint64_t total = std::uint64_t{count} * Channels;
  std::uint64_t done = 0;
  while (done < total) {
    done = HotLoop<Channels>(states, r, done, total, out);
    if (done < total) SlowValue<Channels>(states, r, done++, out);
  }
}

}  // namespace

void VORPDecodeMonoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                        std::int16_t* output) {
  DecodeLoop<1>(states, reader, count, output);
}

void VORPDecodeStereoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                          std::int16_t* output) {
  DecodeLoop<2>(states, reader, count, output);
}
#else
void VORPDecodeMonoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                        std::int16_t* output) {
  VORPDecodeMonoPortable(states, reader, count, output);
}

void VORPDecodeStereoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                          std::int16_t* output) {
  VORPDecodeStereoPortable(states, reader, count, output);
}
#endif
