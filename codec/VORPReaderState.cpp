#include "codec/VORPReaderState.h"

#include "codec/OptimizedVORPDecompressor.h"

namespace {

// A unary group is only ever completed while the code number is at least 7 times the step, and
// no code number of 16-bit audio reaches 2^21 (a fourth-order difference of the right-minus-left
// channel stays within 16 * 65535). A group completed at a step of 2^19 or more is corrupt, which
// also keeps the step and the sum within 32 bits.
constexpr std::uint32_t kLargestGroupStep = (1u << 19) - 1;

std::uint32_t LoadWord(CVORPReaderState& r) {
  if (r.next == r.end) r.owner->NeedWords();
  return *r.next++;
}

}  // namespace

std::uint32_t VORPTakeBit(CVORPReaderState& r) {
  if (--r.bitsLeft < 0) {
    r.currentWord = LoadWord(r);
    r.bitsLeft = 31;
  }
  const std::uint32_t bit = r.currentWord >> 31;
  r.currentWord <<= 1;
  return bit;
}

std::uint32_t VORPTakeBits(CVORPReaderState& r, std::uint32_t n) {
  std::uint32_t result = r.currentWord >> (32 - n);
  r.currentWord <<= n;
  r.bitsLeft -= static_cast<std::int32_t>(n);
  if (r.bitsLeft < 0) {
    const std::uint32_t missing = static_cast<std::uint32_t>(-r.bitsLeft);
    const std::uint32_t word = LoadWord(r);
    result |= word >> (32 - missing);
    r.currentWord = word << missing;
    r.bitsLeft = 32 - static_cast<std::int32_t>(missing);
  }
  return result;
}

std::uint32_t VORPTakeCode(CVORPReaderState& r, std::uint32_t m) {
  std::uint32_t acc = 0;
  std::uint32_t group = 7;
  while (VORPTakeBit(r) == 0) {
    acc += m;
    if (--group == 0) {
      if (m > kLargestGroupStep) throw NSFerryman::XBadFormat("audio stream holds a code longer than any sample needs");
      m *= 4;
      group = 7;
    }
  }
  const std::uint32_t n = VORPStepBits(m);
  const std::uint32_t u = (1u << n) - m;
  std::uint32_t rem = n > 1 ? VORPTakeBits(r, n - 1) : 0;
  if (rem >= u) rem = 2 * rem - u + VORPTakeBit(r);
  return acc + rem;
}

std::uint32_t VORPDecodeValueStepwise(CVORPChannelState& s, CVORPReaderState& r) {
  const std::uint32_t p = VORPChooseOrder(s.E);
  const std::uint32_t z = VORPTakeCode(r, VORPStep(s.E[p]));
  std::uint32_t nd[5];
  nd[p] = static_cast<std::uint32_t>(VORPResidual(z));
  for (int k = static_cast<int>(p) - 1; k >= 0; --k) nd[k] = static_cast<std::uint32_t>(s.D[k]) + nd[k + 1];
  for (int k = static_cast<int>(p) + 1; k < 5; ++k) nd[k] = nd[k - 1] - static_cast<std::uint32_t>(s.D[k - 1]);
  for (int k = 0; k < 5; ++k) {
    s.D[k] = static_cast<std::int32_t>(nd[k]);
    s.E[k] = VORPNextEnergy(s.E[k], VORPCodeNumber(s.D[k]));
  }
  return nd[0];
}
