#pragma once
// The manual page of `hamper`: what `hamper --help-man` prints and the build installs as hamper(1).
// The commands and options come from their definitions (the same ones --help shows); this adds
// the texts no option carries: the description, exit status, environment, files and examples.
//
//   out << HamperManPage(app, "0.1.0");

#include <CLI/CLI.hpp>
#include <string>

namespace cli {

std::string HamperManPage(const CLI::App& app, const std::string& version);

}  // namespace cli
