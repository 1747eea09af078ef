#include "container/FindItemByPath.h"

#include <string>
#include <string_view>

#include "framework/media/Exceptions.h"
#include "navigation/NavigationInterface.h"
#include "navigation/PortableName.h"

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
    CNavigationHolder exactMatch;
    int matches = 0;
    int exactMatches = 0;
    const auto consider = [&](const CNavigationHolder& child) {
      if (++matches == 1) match = child;
      if (child->GetName() == component && ++exactMatches == 1) exactMatch = child;
    };
    if (const auto indexed = current->ChildrenWithPortableName(component)) {
      for (const CNavigationHolder& child : *indexed) consider(child);
    } else {
      for (CNavigationHolder child = current->GetFirstChild(); child; child = current->GetNextChild(*child)) {
        if (SamePortableName(child->GetName(), component)) consider(child);
      }
    }
    // Names that differ only in letter case are distinct items here; among such twins the one
    // spelled exactly as the path is meant.
    if (matches > 1 && exactMatches == 1) {
      match = std::move(exactMatch);
      matches = 1;
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
