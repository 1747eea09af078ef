#pragma once
// A menu as a menu script describes it: the title, ";", then the items separated by ";".
// An item is a label, optionally "#" and a shortcut letter, then "=" and the command number
// ("Quit#Q=25", "Select Input Folder...=101"); a lone "-" is a separator line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/resources/ResourceId.h"

namespace NSFerryman {

struct CMenuItem {
  std::string label;     // empty for a separator
  char shortcut = 0;     // 0 when the item has none
  std::uint32_t command = 0;
  bool separator = false;
  bool operator==(const CMenuItem&) const = default;
};

struct CMenuScript {
  std::string title;
  std::vector<CMenuItem> items;
};

// XBadFormat, naming the item, for an item without "=" and a decimal command number.
// Empty items (as after a trailing ";") are skipped.
CMenuScript ParseMenuScript(std::string_view script);

// The menu script of `id` in the program's resources, parsed. XBadFormat when there is none.
CMenuScript LoadMenuScript(ResourceId id);

}  // namespace NSFerryman
