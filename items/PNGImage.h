#pragma once
// Writing pictures as PNG, through libpng: 8 bits a channel, RGB when every pixel is opaque,
// RGBA otherwise; no time stamp or other chunk that would make two runs differ.
//
//   const std::vector<std::uint8_t> png = EncodePNG(bitmap);
//   output.Media().Write(png.size(), png.data());
//
// The picture is encoded in memory, so a failure leaves nothing half written: XBadFormat with
// libpng's message for a picture it cannot encode (no pixels, or more than it takes), and
// std::bad_alloc when memory runs out. libpng prints nothing. Nothing is shared between calls.

#include <cstdint>
#include <vector>

#include "items/Bitmap32.h"

std::vector<std::uint8_t> EncodePNG(const CBitmap32& bitmap);
