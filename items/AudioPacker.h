#pragma once
// The item a Hamper stores for a WAV or AIFF/AIFC file: the 26-byte CVORPSampleHeader, then the
// VORP stream of its frames as 16-bit values.
//
//   COpenFile source{CFileSpec(path)};
//   const std::uint64_t stored = PackAudioItem(source, output);
//
// The frames are coded as they are read, a block at a time with positioned reads of the source:
// memory stays bounded by a block, whatever the file's length, and a source that shrinks while
// it is read is XRead naming the file. The bytes equal those of loading the whole sample
// (LoadWaveSample or LoadAIFFSample with 16 bits) and coding it with EncodeVORPStream.

#include <cstdint>

#include "framework/media/Media.h"

// Writes the item at the output's position and returns its size in bytes (from that position to
// the end of the stream). The kind is taken from the contents ("RIFF" or "FORM"), not the name;
// neither is XUnsupportedFormat. Failures of the readers (XBadFormat, XUnsupportedFormat) come
// before anything is written; media failures propagate, leaving what was written.
std::uint64_t PackAudioItem(NSFerryman::CMedia& source, NSFerryman::CMedia& output);
