#pragma once
// zlib streams between media: the bodies of second-generation published songs.
//
// DeflateMedia compresses everything from the source's position to its end into one zlib stream
// (compression level 9, ended with a finishing flush) written at the output's position.
//
// InflateMedia decompresses the one zlib stream that starts at the source's position and writes
// its data at the output's position. Bytes after the end of the stream are not read and not an
// error; the source's position is left behind the last byte of the stream. Failures:
// XBadFormat for a damaged stream, for a stream that the source ends before, for a preset
// dictionary, and for a stream whose data would exceed maxOutput bytes (checked before the
// excess is written). The output then holds the data written so far, which the caller discards.
//
// Both work through 2048-byte input and output buffers, so memory stays small whatever the
// sizes; media failures pass on as they are.

#include <cstdint>

#include "framework/media/Media.h"

// Bound on the inflated size of a song body. Songs are small (their samples are stored apart),
// so this leaves a wide margin while keeping a body that inflates without end from filling the
// disk.
inline constexpr std::uint64_t kMaxInflatedSongBody = std::uint64_t{256} << 20;

void DeflateMedia(NSFerryman::CMedia& source, NSFerryman::CMedia& output);

void InflateMedia(NSFerryman::CMedia& source, NSFerryman::CMedia& output,
                  std::uint64_t maxOutput = kMaxInflatedSongBody);
