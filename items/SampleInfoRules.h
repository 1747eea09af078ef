#pragma once
// Rules that the WAV and AIFF readers share when they fill a CSampleInfo.

#include <cstdint>

#include "items/SampleInfo.h"

// The bit depth when it is one the packer reads (8, 16, 20, 22, 24), else 0.
std::uint32_t SupportedSampleBits(std::uint32_t bits);
// Bytes one sample takes in the file: 1 for 8 bits, 2 for 16, 3 for 20, 22 and 24.
std::uint32_t BytesPerSample(std::uint32_t bits);

// Records a loop from a file's loop points, which may be anything: a negative start gives no
// loop (start 0); a start not below the end gives no loop (start and end 0); then both are clamped
// into 0 to the info's frame count, and a loop that is empty after clamping is no loop either.
void SetSampleLoop(CSampleInfo& info, std::int32_t kind, std::int32_t type, std::int64_t start, std::int64_t end);
