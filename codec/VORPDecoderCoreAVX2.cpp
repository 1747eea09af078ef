// The fast decoding loops compiled for AVX2 and BMI2 (shifts by a register and leading-zero
// counts in one instruction); used only where the processor has them.
#pragma GCC optimize("O3")
#include <cstdint>

#include "codec/VORPChannelState.h"
#include "codec/VORPDecoderCore.h"
#include "codec/VORPReaderState.h"

#if defined(__x86_64__)
#pragma GCC target("avx2,bmi,bmi2,lzcnt,popcnt")
#include "codec/VORPDecoderCoreImpl.h"

void VORPDecodeMonoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                        std::int16_t* output) {
  DecodeMono(states, reader, count, output);
}

void VORPDecodeStereoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                          std::int16_t* output) {
  DecodeStereo(states, reader, count, output);
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
