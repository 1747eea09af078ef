#include "browse/MidiFacts.h"

#include "items/MIDIHeader.h"

CMidiFacts ReadMidiFacts(NSFerryman::CMedia& item) {
  CheckMIDIHeader(item);
  std::uint8_t fields[6];
  item.ReadAt(8, sizeof fields, fields);
  const auto be16 = [&](int at) { return static_cast<std::uint16_t>(fields[at] << 8 | fields[at + 1]); };
  return {be16(0), be16(2), be16(4)};
}

std::string MidiDivisionText(const CMidiFacts& facts) {
  if ((facts.division & 0x8000) == 0) return std::to_string(facts.division) + " ticks per quarter note";
  // SMPTE timing: the high byte is the frame rate, negated; 29 stands for 29.97 (drop frame).
  const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(facts.division >> 8));
  return std::to_string(framesPerSecond) + " frames per second, " + std::to_string(facts.division & 0xFF) +
         " ticks per frame";
}
