#pragma once
// Resampling a picture to another size, smoothly: a triangle filter, which interpolates
// bilinearly between the source pixels when enlarging and averages over each new pixel's share of
// the source when reducing, so that neither blocks nor jagged edges show. Pixels beyond the edge
// repeat the edge. Each channel, alpha included, is filtered on its own.
//
//   const CBitmap32 thumbnail = ScaleBitmap(splash, 256, 256);
//
// The same size gives the same pixels. The source must hold pixels and the size must not be 0.

#include <cstdint>

#include "items/Bitmap32.h"

CBitmap32 ScaleBitmap(const CBitmap32& source, std::uint32_t width, std::uint32_t height);
