#pragma once
// The bash completion of a program, written from its CLI11 command tree: the same definitions
// that --help and the manual page show, so that completion cannot fall behind a new command or
// option. The build installs what `hamper --bash-completion` prints where bash-completion looks
// (share/bash-completion/completions/hamper).
//
//   out << BashCompletionScript(app, "hamper");
//
// What it completes: the commands after the program's name (its own options after "-"); after a
// command, that command's options after "-", and otherwise its next positional argument; after
// an option that takes a value ("-o FILE", "--hampers=DIR"), that value. A value whose name ends
// in DIR completes folder names; a number completes nothing; any other value completes file and
// folder names. Hidden options (in no group) are left out. The script needs only bash itself.

#include <CLI/CLI.hpp>
#include <string>

namespace cli {

std::string BashCompletionScript(const CLI::App& app, const std::string& program);

}  // namespace cli
