#pragma once
// Reading a CLI11 --help listing in tests: the entries under one heading, so that what --help
// shows can be held against the manual page and the shell completion.

#include <sstream>
#include <string>
#include <vector>

namespace test {

// One entry of a --help listing: the names column ("-o,--output TEXT") and the description.
struct HelpEntry {
  std::vector<std::string> names;
  std::string description;
};

// The entries of the listing under `heading` ("Options:", "Positionals:", "Subcommands:").
// CLI11 puts a description that does not fit beside its names on the next line, further in.
inline std::vector<HelpEntry> HelpEntries(const std::string& help, const std::string& heading) {
  std::vector<HelpEntry> entries;
  std::istringstream lines(help);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] != ' ') {
      inside = line == heading;
      continue;
    }
    if (!inside || line.find_first_not_of(' ') == std::string::npos) continue;
    const std::size_t start = line.find_first_not_of(' ');
    if (start > 2 && !entries.empty() && entries.back().description.empty()) {
      entries.back().description = line.substr(start);
      continue;
    }
    HelpEntry entry;
    const std::size_t namesEnd = line.find(' ', start);
    std::istringstream names(line.substr(start, namesEnd - start));
    for (std::string name; std::getline(names, name, ',');) entry.names.push_back(name);
    if (const std::size_t gap = line.find("  ", start); gap != std::string::npos) {
      if (const std::size_t text = line.find_first_not_of(' ', gap); text != std::string::npos) {
        entry.description = line.substr(text);
      }
    }
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace test
