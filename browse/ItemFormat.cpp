#include "browse/ItemFormat.h"

#include <cmath>
#include <cstdint>

#include <fmt/format.h>

std::string ClockLengthText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  // Rounded once, to whole milliseconds, so that 59.9996 s reads 1:00.000 and not 0:60.000.
  const auto ms = static_cast<std::uint64_t>(std::llround(seconds * 1000.0));
  return fmt::format("{}:{:02}.{:03}", ms / 60000, ms / 1000 % 60, ms % 1000);
}
