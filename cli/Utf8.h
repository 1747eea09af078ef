#pragma once
// Recognising UTF-8 in texts of unknown encoding: names and descriptions in a Hamper or a folder
// are bytes of whatever encoding their author used.

#include <cstddef>
#include <string_view>

namespace cli {

// The length of the well-formed UTF-8 sequence at `i` (a byte of 0x80 or above), or 0 when the
// bytes there are not one: stray continuation bytes, overlong forms, surrogates, values past
// U+10FFFF, sequences cut short by the end of `s`.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);

}  // namespace cli
