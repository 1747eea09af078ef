// The fast decoding loops for any target.
#pragma GCC optimize("O3")
#include "codec/VORPDecoderCore.h"

#include "codec/VORPDecoderCoreImpl.h"
#include "framework/media/Exceptions.h"

void VORPDecodeMonoPortable(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                            std::int16_t* output) {
  DecodeMono(states, reader, count, output);
}

void VORPDecodeStereoPortable(CVORPChannelState* states, CVORPReaderState& reader, std::uint32_t count,
                              std::int16_t* output) {
  DecodeStereo(states, reader, count, output);
}

void VORPThrowValueOutOfRange() {
  throw NSFerryman::XBadFormat("audio stream decodes to a value outside 16 bits");
}
