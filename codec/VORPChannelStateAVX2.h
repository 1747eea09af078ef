#pragma once
// The code number and the energy update of VORPChannelState.h for eight 32-bit lanes at once,
// for the translation units compiled for AVX2 (include it after their target pragma). Lane i
// gives exactly what the scalar formula gives for lane i.

#include <immintrin.h>

#include "codec/VORPChannelState.h"

#define VORP_FORMULA_AVX2 inline __attribute__((always_inline, target("avx2")))

// VORPCodeNumber of each lane.
VORP_FORMULA_AVX2 __m256i VORPCodeNumberAVX2(__m256i d) {
  return _mm256_xor_si256(_mm256_slli_epi32(d, 1), _mm256_srai_epi32(d, 31));
}

// VORPNextEnergy of each lane.
VORP_FORMULA_AVX2 __m256i VORPNextEnergyAVX2(__m256i energy, __m256i codeNumber) {
  return _mm256_sub_epi32(_mm256_add_epi32(energy, codeNumber), _mm256_srli_epi32(energy, 5));
}

#undef VORP_FORMULA_AVX2
