#pragma once
// The block coders behind CVORPCompressor's fast paths. Both code `count` frames exactly as the
// reference does: value i of the left channel is left[i * stride], of the second coded channel
// right[i * stride] - left[i * stride] (right is null for mono). States are updated in place.

#include <cstddef>
#include <cstdint>

#include "codec/OutputBitStream.h"
#include "codec/VORPChannelState.h"

void VORPCodeBlockPortable(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                           const std::int16_t* left, const std::int16_t* right, std::size_t stride);
void VORPCodeBlockAVX2(COutputBitStream& stream, CVORPChannelState* states, std::uint32_t count,
                       const std::int16_t* left, const std::int16_t* right, std::size_t stride);
