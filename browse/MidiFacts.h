#pragma once
// What a Standard MIDI File's header says, for the browser's details: its format (0, 1 or 2), its
// track count and its division, the timing of its ticks.
//
//   const CMidiFacts facts = ReadMidiFacts(item);   // the first 14 bytes only
//   MidiDivisionText(facts)   // "96 ticks per quarter note", "25 frames per second, 40 ticks per frame"
//
// ReadMidiFacts: XBadFormat, as CheckMIDIHeader (items/MIDIHeader.h), for a file shorter than its
// header, one that does not begin with "MThd", or one whose format, track count or division is
// not valid; media failures pass on.

#include <cstdint>
#include <string>

#include "framework/media/Media.h"

struct CMidiFacts {
  std::uint16_t format = 0;
  std::uint16_t tracks = 0;
  std::uint16_t division = 0;
};

CMidiFacts ReadMidiFacts(NSFerryman::CMedia& item);
std::string MidiDivisionText(const CMidiFacts& facts);
