#include "cli/DescriptionText.h"

#include <ostream>
#include <string>
#include <string_view>

#include "cli/TerminalText.h"
#include "container/HamperDescription.h"

namespace cli {
namespace {

std::string Indented(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    out += EscapeForTerminal(std::string_view(text).substr(start, i - start));
    if (i == text.size()) break;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += "\n             ";
    start = i + 1;
  }
  return out;
}

}  // namespace

void PrintDescriptionTexts(std::ostream& out, const CHamperDescription& d) {
  out << "Name:        " << Indented(d.GetName()) << "\n"
      << "Comments:    " << Indented(d.GetComments()) << "\n"
      << "URL:         " << Indented(d.GetURL()) << "\n"
      << "Copyright:   " << Indented(d.GetCopyright()) << "\n";
}

}  // namespace cli
