#pragma once
// Names as references store and compare them. A portable name keeps the space and the printable
// ASCII characters "!" to "~" except "/", ":", "\" and "|"; every other byte becomes "_", so a
// name survives any file system the referenced file may travel to. Two portable names are equal
// when they have the same length and are equal after folding A..Z to a..z.

#include <string>
#include <string_view>

std::string PortableName(std::string_view name);
bool PortableNamesEqual(std::string_view a, std::string_view b);
// PortableName of both, then compared.
bool SamePortableName(std::string_view a, std::string_view b);
