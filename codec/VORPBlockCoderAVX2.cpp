// The block coder compiled for AVX2; used only where VORPHaveAVX2() says the processor has it.
#pragma GCC optimize("O3")
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/OutputBitStream.h"
#include "codec/VORPBlockCoder.h"
#include "codec/VORPChannelState.h"

#if defined(__x86_64__)
#pragma GCC target("avx2,bmi,bmi2,lzcnt,popcnt")
#define VORP_BLOCK_AVX2 1
#include "codec/VORPBlockCoderImpl.h"

void VORPCodeBlockAVX2(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                       const std::int16_t* left, const std::int16_t* right, std::size_t stride) {
  CodeBlock(stream, states, count, left, right, stride);
}
#else
void VORPCodeBlockAVX2(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                       const std::int16_t* left, const std::int16_t* right, std::size_t stride) {
  VORPCodeBlockPortable(stream, states, count, left, right, stride);
}
#endif
