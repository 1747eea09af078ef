#include "items/MIDIHeader.h"

#include <cstdint>
#include <cstring>
#include <string>

using namespace NSFerryman;

namespace {

constexpr std::size_t kHeaderSize = 14;

std::uint16_t BE16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

}  // namespace

void CheckMIDIHeader(CMedia& media) {
  const MediaSize size = media.GetSize();
  if (size < kHeaderSize) {
    throw XBadFormat("MIDI file of " + std::to_string(size) + " bytes is shorter than its 14-byte header");
  }
  std::uint8_t header[kHeaderSize];
  media.ReadAt(0, kHeaderSize, header);
  if (std::memcmp(header, "MThd", 4) != 0) throw XBadFormat("MIDI file does not begin with \"MThd\"");
  const std::uint16_t format = BE16(header + 8);
  const std::uint16_t tracks = BE16(header + 10);
  const std::uint16_t division = BE16(header + 12);
  if (format > 2) throw XBadFormat("MIDI file of format " + std::to_string(format) + ", not 0, 1 or 2");
  if (tracks == 0) throw XBadFormat("MIDI file without tracks");
  if ((division & 0x8000) == 0) {
    if (division == 0) throw XBadFormat("MIDI file with a division of 0 ticks per quarter note");
    return;
  }
  // SMPTE timing: the high byte is the frame rate, negated.
  const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
  const int ticksPerFrame = division & 0xFF;
  if (framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 && framesPerSecond != 30) {
    throw XBadFormat("MIDI file with SMPTE timing of " + std::to_string(framesPerSecond) +
                     " frames per second, not 24, 25, 29 or 30");
  }
  if (ticksPerFrame == 0) throw XBadFormat("MIDI file with SMPTE timing of 0 ticks per frame");
}
