#pragma once
// Reading manual pages in tests: the text a reader sees, and the warnings groff gives.

#include <filesystem>
#include <string>
#include <utility>

#include "support/TestSupport.h"

namespace test {

// The page with font changes and escapes undone ("\fB\-o\fR" reads "-o"), requests kept.
inline std::string ManPagePlainText(const std::string& roff) {
  static const std::pair<std::string, std::string> kEscapes[] = {
      {"\\fB", ""}, {"\\fI", ""}, {"\\fR", ""}, {"\\&", ""}, {"\\-", "-"}, {"\\(dq", "\""}, {"\\(lq", "\""},
      {"\\(rq", "\""}, {"\\e", "\\"}};
  std::string text;
  for (std::size_t i = 0; i < roff.size();) {
    bool replaced = false;
    for (const auto& [escape, plain] : kEscapes) {
      if (roff.compare(i, escape.size(), escape) == 0) {
        text += plain;
        i += escape.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += roff[i++];
  }
  return text;
}

// Every warning groff gives when it formats the page with all warnings on; "" when there are none.
inline std::string ManPageWarnings(const std::filesystem::path& page) {
  std::string output;
  const int status = RunCommand("groff -man -ww -z -Tutf8 '" + page.string() + "'", &output, true);
  return status == 0 ? output : "groff failed (" + std::to_string(status) + "): " + output;
}

}  // namespace test
