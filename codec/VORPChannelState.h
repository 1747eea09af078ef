#pragma once
// The per-channel state of the VORP code and the arithmetic that encoder and decoder share.
//
// Each value x of a channel is predicted by the best of five fixed polynomial predictors (orders
// 0 to 4). D[k] is the k-th order difference at the last value (D[0] is the value itself); E[k]
// is a leaky sum of the mapped magnitudes of D[k]. The order with the smallest energy (the lower
// order on a tie) predicts the next value, and its energy sets the step of the residual's code.

#include <cstdint>

struct CVORPChannelState {
  static constexpr std::uint32_t kInitialEnergy = 2560;

  std::int32_t D[5] = {0, 0, 0, 0, 0};
  std::uint32_t E[5] = {kInitialEnergy, kInitialEnergy, kInitialEnergy, kInitialEnergy, kInitialEnergy};

  void Reset() { *this = CVORPChannelState(); }
  bool operator==(const CVORPChannelState&) const = default;
};

// These formulas are the only definition of the code's arithmetic: the reference coder and every
// fast path (block coders, decoding loops) call them, so that all paths stay bit-identical. The
// AVX2 paths use the same formulas for eight lanes at once (VORPChannelStateAVX2.h).
#define VORP_FORMULA constexpr inline __attribute__((always_inline))

// The code number of a residual: 0, -1, 1, -2, 2 map to 0, 1, 2, 3, 4 (32-bit wrapping).
VORP_FORMULA std::uint32_t VORPCodeNumber(std::int32_t d) {
  const std::uint32_t u = static_cast<std::uint32_t>(d);
  return (u << 1) ^ static_cast<std::uint32_t>(d >> 31);
}

// The residual of a code number (the inverse of VORPCodeNumber).
VORP_FORMULA std::int32_t VORPResidual(std::uint32_t z) {
  return static_cast<std::int32_t>((z >> 1) ^ (0u - (z & 1u)));
}

// The step of the code from an energy. Energies never fall below 31, so the step is at least 1.
VORP_FORMULA std::uint32_t VORPStep(std::uint32_t energy) { return (3u * energy + 36u) >> 7; }

// The number of bits n with step < 2^n (n(1) = 1, n(2) = n(3) = 2, n(4) = 3); step >= 1.
inline std::uint32_t VORPStepBits(std::uint32_t step) { return 32u - static_cast<std::uint32_t>(__builtin_clz(step)); }

// One energy update with the code number of its difference.
VORP_FORMULA std::uint32_t VORPNextEnergy(std::uint32_t energy, std::uint32_t codeNumber) {
  return (energy + codeNumber) - (energy >> 5);
}

// The order with the smallest energy; the lower order wins a tie.
inline std::uint32_t VORPChooseOrder(const std::uint32_t (&E)[5]) {
  std::uint32_t p = 0;
  for (std::uint32_t k = 1; k < 5; ++k) {
    if (E[k] < E[p]) p = k;
  }
  return p;
}

#undef VORP_FORMULA
