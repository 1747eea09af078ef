// The check of a Standard MIDI File: its header test, then the readability test.

#include "fuzz/FuzzInput.h"
#include "items/MIDIHeader.h"
#include "items/ReadabilityTest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  if (fuzz::Tolerate([&] { CheckMIDIHeader(*media); })) {
    fuzz::Expect(size >= 14, "a MIDI header shorter than 14 bytes passed");
    fuzz::ExpectFinishes([&] { ReadabilityTest(*media); }, "a whole file in memory is not readable");
  }
  return 0;
}
