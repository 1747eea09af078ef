#pragma once
// A manual page (roff with the man macros) written from a CLI11 command tree, so that the page
// and --help come from the same option definitions and cannot drift apart.
//
//   CManPage page{"hamper", "1", "hamper 0.1.0", "pack a content folder into a Hamper"};
//   page.description = "...";
//   page.sections.push_back({"EXIT STATUS", "", {{"0", "Success."}, {"1", "..."}}});
//   out << WriteManPage(app, page);
//
// The page has NAME, SYNOPSIS, DESCRIPTION, OPTIONS (the program's own), COMMANDS (each
// subcommand in order of definition: its usage, description, positional arguments and options
// with the value each takes), then the extra sections. Options in no group (hidden ones) are left
// out, and so are the subcommands' help flags: the program's own help flag is listed once.
// Every text given is plain text; WriteManPage escapes it.

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

struct CManSection {
  std::string title;  // "EXIT STATUS"
  std::string text;   // paragraphs before the list; a blank line starts a new one
  std::vector<std::pair<std::string, std::string>> terms;  // a tagged list: term in bold, then its text
};

struct CManPage {
  std::string name;     // "hamper"
  std::string section;  // "1"
  std::string source;   // "hamper 0.1.0", shown in the page's footer
  std::string summary;  // the NAME line's text after the dash
  std::string description;
  std::vector<CManSection> sections;
};

std::string WriteManPage(const CLI::App& app, const CManPage& page);

// Plain text as roff input lines: backslashes and hyphens escaped, and a line that starts with
// "." or "'" (which roff would take as a request) guarded. A blank line becomes a paragraph break.
std::string RoffText(std::string_view text);

}  // namespace cli
