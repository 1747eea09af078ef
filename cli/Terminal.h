#pragma once
// What the command line needs to know about the terminal it writes to.

#include <cstddef>

namespace cli {

// True when `fd` is a terminal (progress is then redrawn in place, questions can be asked).
bool IsTerminal(int fd);

// The number of columns of the terminal on `fd`: its own size when the terminal reports one,
// else the COLUMNS variable when it holds a whole number from 1 to 10000, else 80.
std::size_t TerminalWidth(int fd);

}  // namespace cli
