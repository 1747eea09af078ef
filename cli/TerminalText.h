#pragma once
// Texts from a Hamper or an input folder (names, descriptions) are shown only through
// EscapeForTerminal: they may carry control characters and escape sequences that would
// otherwise move the cursor, retitle the window or rewrite what is already on the screen.
//
//   err << EscapeForTerminal(entry.GetName()) << "\n";
//
// Printable ASCII passes as it is, and so do well-formed UTF-8 sequences. Everything else
// becomes a visible escape: "\t", "\n", "\r", "\\" for a backslash, "\xNN" (two lower-case hex
// digits) for any other control byte (below 0x20 and 0x7F), for each byte of a C1 control
// (U+0080 to U+009F, which some terminals obey) and for each byte that is not part of
// well-formed UTF-8.

#include <string>
#include <string_view>

namespace cli {

std::string EscapeForTerminal(std::string_view text);

}  // namespace cli
