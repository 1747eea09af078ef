#pragma once
// Lengths as the browser's Length column and Properties show them: minutes, seconds and
// milliseconds, "m:ss.mmm" ("0:00.113", "12:04.500"); hours add to the minutes ("75:00.000").

#include <string>

std::string ClockLengthText(double seconds);
