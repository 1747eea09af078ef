#pragma once
#include <cstdint>

namespace platform {

// Milliseconds of a steady clock (never goes back); only differences are meaningful.
std::uint64_t MillisecondsNow();
void SleepMilliseconds(std::uint32_t ms);

}  // namespace platform
