#include "cli/Warnings.h"

#include <ostream>

#include "cli/TerminalText.h"

namespace cli {

CWarnings::CWarnings(std::ostream& err, const std::string& file)
    : err_(err), prefix_("hamper: warning: " + EscapeForTerminal(file) + ": ") {}

void CWarnings::Add(std::string_view text) {
  if (Shows()) err_ << prefix_ << text << "\n";
  ++count_;
}

void CWarnings::Finish() {
  if (count_ > kShownWarnings) err_ << prefix_ << "and " << count_ - kShownWarnings << " more\n";
}

}  // namespace cli
