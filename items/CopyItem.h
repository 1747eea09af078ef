#pragma once
// The stored form of items kept as they are: the whole source, from its position 0, written at
// the output's position in blocks of at most 64 KiB through one buffer. Returns the number of
// bytes copied (the source's size); the output's position ends behind them. Media failures pass
// on; the output then holds a partial copy, which the caller discards.

#include <cstdint>

#include "framework/media/Media.h"

std::uint64_t CopyItem(NSFerryman::CMedia& source, NSFerryman::CMedia& output);
