#pragma once
// A Hamper's four texts as `hamper list` and `hamper info` print them, one labelled line each:
//
//   Name:        Harbor Drums
//   Comments:    A small drum kit ...
//                its second line
//
// Multi-line texts keep their lines under the label; each line is escaped on its own
// (cli/TerminalText.h), so that only the line breaks reach the terminal as they are.

#include <iosfwd>

class CHamperDescription;

namespace cli {

void PrintDescriptionTexts(std::ostream& out, const CHamperDescription& description);

}  // namespace cli
