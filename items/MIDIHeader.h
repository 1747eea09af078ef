#pragma once
// The test of a Standard MIDI File's header: the first 14 bytes of the media are the chunk ID
// "MThd", a big-endian 32-bit size and three big-endian 16-bit fields, format, track count and
// division. The file passes when the format is 0, 1 or 2, there is at least one track, and the
// division is valid: with bit 15 clear, at least 1 tick per quarter note; with bit 15 set, the
// high byte is minus 24, 25, 29 or 30 frames per second and the low byte (ticks per frame) is not 0.
// The size field is not examined.
//
// XBadFormat says what is wrong; a file shorter than 14 bytes is XBadFormat too. Read failures of
// the media pass on as they are.

#include "framework/media/Media.h"

void CheckMIDIHeader(NSFerryman::CMedia& media);
