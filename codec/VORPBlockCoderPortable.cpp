// The block coder for any target. Vectorising its passes is worth the higher optimisation level.
#pragma GCC optimize("O3")
#include "codec/VORPBlockCoder.h"

#include "codec/VORPBlockCoderImpl.h"

void VORPCodeBlockPortable(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                           const std::int16_t* left, const std::int16_t* right, std::size_t stride) {
  CodeBlock(stream, states, count, left, right, stride);
}
