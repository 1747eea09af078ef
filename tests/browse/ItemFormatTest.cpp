// Lengths as m:ss.mmm, rounded once to whole milliseconds.

#include <gtest/gtest.h>

#include <cmath>

#include "browse/ItemFormat.h"

namespace {

TEST(ItemFormat, LengthsReadAsMinutesSecondsAndMilliseconds) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {0, "0:00.000"},          {0.113, "0:00.113"},        {1, "0:01.000"},
      {59.9996, "1:00.000"},    {724.5, "12:04.500"},       {4500, "75:00.000"},
      {-1, "0:00.000"},         {std::nan(""), "0:00.000"},
  };
  for (const auto& c : cases) EXPECT_EQ(ClockLengthText(c.seconds), c.text) << c.seconds;
}

}  // namespace
