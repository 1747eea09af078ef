#pragma once
// The other Hampers that one file's references point into: each name once, in the order of first
// appearance.

#include <string>
#include <vector>

using ExternalHamperNames = std::vector<std::string>;
