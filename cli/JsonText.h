#pragma once
// Texts as JSON string literals, for the commands' --json output.

#include <string>
#include <string_view>

namespace cli {

// Texts in a Hamper or a folder are bytes of whatever encoding their author used. Valid UTF-8
// passes through; any other byte is taken as Latin-1, so the output is always valid JSON and
// loses nothing.
std::string JsonString(std::string_view s);

}  // namespace cli
