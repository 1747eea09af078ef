#include "codec/VORPCompressor.h"

#include <algorithm>
#include <string>

#include "codec/VORPBlockCoder.h"
#include "framework/media/Exceptions.h"

CVORPCompressor::CVORPCompressor(COutputBitStream& stream, std::uint8_t channelCount, EVORPPath path)
    : stream_(stream), channelCount_(channelCount), path_(VORPResolvePath(path)) {
  if (channelCount != 1 && channelCount != 2) {
    throw NSFerryman::XBadFormat("audio of " + std::to_string(channelCount) + " channels cannot be coded");
  }
}

void CVORPCompressor::Reset() {
  for (std::size_t c = 0; c < channelCount_; ++c) states_[c].Reset();
}

void CVORPCompressor::WriteCode(COutputBitStream& stream, std::uint32_t v, std::uint32_t m) {
  for (;;) {
    const std::uint32_t q = std::min(v / m, 7u);
    v -= q * m;
    stream.AppendZeros(q);
    if (q < 7) break;
    m *= 4;
  }
  stream.AppendOne();
  const std::uint32_t n = VORPStepBits(m);
  const std::uint32_t u = (1u << n) - m;
  if (v < u) {
    stream.AppendBits(v, n - 1);
  } else {
    stream.AppendBits(v + u, n);
  }
}

void CVORPCompressor::CodeValue(COutputBitStream& stream, CVORPChannelState& s, std::int32_t x) {
  // Differences wrap like the 32-bit registers they model.
  std::uint32_t t = static_cast<std::uint32_t>(x);
  for (int k = 0; k < 5; ++k) {
    const std::uint32_t old = static_cast<std::uint32_t>(s.D[k]);
    s.D[k] = static_cast<std::int32_t>(t);
    t -= old;
  }
  const std::uint32_t p = VORPChooseOrder(s.E);
  WriteCode(stream, VORPCodeNumber(s.D[p]), VORPStep(s.E[p]));
  for (int k = 0; k < 5; ++k) s.E[k] = VORPNextEnergy(s.E[k], VORPCodeNumber(s.D[k]));
}

void CVORPCompressor::Compress(std::uint32_t count, const std::int16_t* left, const std::int16_t* right) {
  CompressStrided(count, left, channelCount_ == 2 ? right : nullptr, 1);
}

void CVORPCompressor::CompressInterleaved(std::uint32_t count, const std::int16_t* frames) {
  CompressStrided(count, frames, channelCount_ == 2 ? frames + 1 : nullptr, channelCount_);
}

void CVORPCompressor::CompressStrided(std::uint32_t count, const std::int16_t* left, const std::int16_t* right,
                                      std::size_t stride) {
  switch (path_) {
    case EVORPPath::kReference:
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::int32_t l = left[i * stride];
        CodeValue(stream_, states_[0], l);
        if (right) CodeValue(stream_, states_[1], std::int32_t{right[i * stride]} - l);
      }
      break;
    case EVORPPath::kAVX2:
      VORPCodeBlockAVX2(stream_, states_, count, left, right, stride);
      break;
    default:
      VORPCodeBlockPortable(stream_, states_, count, left, right, stride);
      break;
  }
}
