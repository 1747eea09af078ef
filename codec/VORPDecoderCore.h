#pragma once
// The fast decoding loops behind COptimizedVORPDecompressor, one copy per target. They decode
// exactly as the reference does, keep the channel states and the reader in registers for the
// whole call and write both back at the end.

#include <cstdint>

#include "codec/VORPChannelState.h"
#include "codec/VORPReaderState.h"

void VORPDecodeMonoPortable(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                            std::int16_t* output);
void VORPDecodeStereoPortable(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                              std::int16_t* output);
void VORPDecodeMonoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                        std::int16_t* output);
void VORPDecodeStereoAVX2(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                          std::int16_t* output);

// The failures of decoding, shared by all paths.
[[noreturn]] void VORPThrowValueOutOfRange();
