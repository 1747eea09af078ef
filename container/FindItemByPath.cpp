#include "container/FindItemByPath.h"

#include <string>
#include <string_view>

#include "framework/media/AsciiCase.h"
#include "framework/media/Exceptions.h"
#include "navigation/NavigationInterface.h"

namespace {

// Names made on other systems may hold characters that cannot be shown or that separate paths;
// both sides are mapped alike so that such names still meet.
char MapForComparison(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || u > 0x7E || c == '/' || c == ':' || c == '\\' || c == '|') return '_';
  return NSFerryman::AsciiUpper(c);
}

bool NamesMatch(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (MapForComparison(a[i]) != MapForComparison(b[i])) return false;
  }
  return true;
}

}  // namespace

CNavigationHolder FindItemByPath(MINavigationInterface& root, const CHamperIndexEntry& record) {
  const std::string& path = record.GetPath();
  CNavigationHolder current = CNavigationHolder::Share(&root);
  std::size_t start = 0;
  if (path.empty()) return current;
  for (;;) {
    if (!current) throw NSFerryman::XBadFormat("no item for " + path);
    const std::size_t colon = path.find(':', start);
    const std::string_view component =
        std::string_view(path).substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    CNavigationHolder match;
    int matches = 0;
    for (CNavigationHolder child = current->GetFirstChild(); child; child = current->GetNextChild(*child)) {
      if (NamesMatch(child->GetName(), component)) {
        if (++matches == 1) match = child;
      }
    }
    if (matches != 1) {
      throw NSFerryman::XBadFormat((matches == 0 ? "no item named \"" : "more than one item named \"") +
                                   std::string(component) + "\" on the path " + path);
    }
    current = std::move(match);
    if (colon == std::string::npos || colon + 1 == path.size()) return current;
    start = colon + 1;
  }
}
