// The code itself: exact bit costs and bit patterns of the encoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/OutputBitStream.h"
#include "codec/VORPChannelState.h"
#include "codec/VORPCompressor.h"
#include "framework/media/MemoryMedia.h"

using NSFerryman::CMemoryMedia;

namespace {

// The bits of a stream, as text, after finishing it.
std::string BitsOf(CMemoryMedia& media, COutputBitStream& s) {
  std::string bits;
  s.Finish();
  for (std::size_t i = 0; i < media.GetSize(); ++i) {
    for (int b = 7; b >= 0; --b) bits += ((media.Data()[i] >> b) & 1) ? '1' : '0';
  }
  return bits;
}

struct CodeCase {
  std::uint32_t v;
  std::uint32_t m;
  std::string bits;
};

}  // namespace

TEST(VORPCode, CodeNumbersAndSteps) {
  EXPECT_EQ(VORPCodeNumber(0), 0u);
  EXPECT_EQ(VORPCodeNumber(-1), 1u);
  EXPECT_EQ(VORPCodeNumber(1), 2u);
  EXPECT_EQ(VORPCodeNumber(-2), 3u);
  EXPECT_EQ(VORPCodeNumber(-65535 * 16), 2u * 65535 * 16 - 1);
  for (std::int32_t d : {0, 1, -1, 12345, -65535 * 16, 65535 * 16}) EXPECT_EQ(VORPResidual(VORPCodeNumber(d)), d);
  EXPECT_EQ(VORPStep(2560), 60u);
  EXPECT_EQ(VORPStep(73), 1u);
  EXPECT_EQ(VORPStep(74), 2u);
  EXPECT_EQ(VORPStep(31), 1u);
  EXPECT_EQ(VORPStepBits(1), 1u);
  EXPECT_EQ(VORPStepBits(2), 2u);
  EXPECT_EQ(VORPStepBits(3), 2u);
  EXPECT_EQ(VORPStepBits(4), 3u);
}

TEST(VORPCode, CodesWithTheirGroupsAndRemainders) {
  const std::vector<CodeCase> cases = {
      {0, 1, "1"},                                   // step 1: the one bit alone
      {3, 1, "0001"},                                // three zeros
      {0, 60, "100000"},                             // n = 6, u = 4: five remainder bits
      {3, 60, "100011"},
      {4, 60, "1001000"},                            // v >= u: v + u in six bits
      {37, 64, "1100101"},                           // a power of two: plain six-bit binary
      {63, 64, "1111111"},
      {419, 60, "0000001111111"},                    // six groups of 60, then 59 + 4 in six bits
      {420, 60, "000000010000000"},                  // seven zeros; the step becomes 240
      {2100, 60, "000000000000001000000000"},        // 7m + 7*4m: two full groups, step 960
      {6, 1, "0000001"},
      {7, 1, "0000000100"},                          // seven zeros, step 4: n = 3, two bits of 0
  };
  for (const auto& c : cases) {
    CMemoryMedia media;
    COutputBitStream s(media);
    CVORPCompressor::WriteCode(s, c.v, c.m);
    const std::uint32_t length = 32 - s.GetFreeBits();  // every code here fits one word
    EXPECT_EQ(BitsOf(media, s).substr(0, length), c.bits) << "v=" << c.v << " m=" << c.m;
  }
}

TEST(VORPCode, SilenceCostsSixBitsThenOneBitFromValue120) {
  CMemoryMedia media;
  COutputBitStream s(media);
  CVORPChannelState state;
  std::vector<std::uint32_t> steps;
  std::vector<std::uint32_t> costs;
  std::uint32_t lastFree = 32;
  for (int i = 0; i < 400; ++i) {
    steps.push_back(VORPStep(state.E[0]));
    CVORPCompressor::CodeValue(s, state, 0);
    // Each value costs at most 6 bits, so at most one word boundary lies between two readings.
    const std::uint32_t free = s.GetFreeBits();
    costs.push_back(lastFree >= free ? lastFree - free : lastFree + 32 - free);
    lastFree = free;
  }
  EXPECT_EQ(steps[0], 60u);
  EXPECT_EQ(costs[0], 6u);
  EXPECT_GT(steps[119], 1u);
  EXPECT_GT(costs[119], 1u);
  for (int i = 120; i < 400; ++i) {
    EXPECT_EQ(steps[i], 1u) << "value " << i;
    EXPECT_EQ(costs[i], 1u) << "value " << i;
  }
  for (std::uint32_t k = 0; k < 5; ++k) EXPECT_EQ(state.E[k], 31u);
}

TEST(VORPCode, IdenticalStereoChannelsLeaveTheDifferenceSilent) {
  CMemoryMedia media;
  COutputBitStream s(media);
  CVORPCompressor c(s, 2, EVORPPath::kReference);
  std::vector<std::int16_t> ch(3000);
  for (std::size_t i = 0; i < ch.size(); ++i) ch[i] = static_cast<std::int16_t>((i * 7919) % 20000 - 10000);
  c.Compress(static_cast<std::uint32_t>(ch.size()), ch.data(), ch.data());
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(c.GetState(1).D[k], 0);
    EXPECT_EQ(c.GetState(1).E[k], 31u);
  }
}
