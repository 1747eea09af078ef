#include "framework/resources/MenuScript.h"

#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"

namespace NSFerryman {

namespace {

CMenuItem ParseItem(std::string_view text) {
  if (text == "-") return {.label = {}, .shortcut = 0, .command = 0, .separator = true};
  const auto fail = [&](const char* what) {
    throw XBadFormat("menu item \"" + std::string(text) + "\": " + what);
  };
  const std::size_t equals = text.rfind('=');
  if (equals == std::string_view::npos) fail("no \"=\" and command number");
  const std::string_view digits = text.substr(equals + 1);
  if (digits.empty() || digits.size() > 9) fail("the command number is missing or too long");
  CMenuItem item;
  for (char c : digits) {
    if (c < '0' || c > '9') fail("the command number is not decimal");
    item.command = item.command * 10 + static_cast<std::uint32_t>(c - '0');
  }
  std::string_view label = text.substr(0, equals);
  // "#" and one letter right before "=" is the shortcut; a "#" elsewhere belongs to the label.
  if (label.size() >= 2 && label[label.size() - 2] == '#') {
    item.shortcut = label.back();
    label.remove_suffix(2);
  }
  item.label = std::string(label);
  return item;
}

}  // namespace

CMenuScript ParseMenuScript(std::string_view script) {
  CMenuScript menu;
  std::size_t end = script.find(';');
  menu.title = std::string(script.substr(0, end));
  while (end != std::string_view::npos) {
    const std::size_t start = end + 1;
    end = script.find(';', start);
    const std::string_view text = script.substr(start, end == std::string_view::npos
                                                           ? std::string_view::npos
                                                           : end - start);
    if (!text.empty()) menu.items.push_back(ParseItem(text));
  }
  return menu;
}

CMenuScript LoadMenuScript(ResourceId id) {
  const std::string script = GetMenuScript(id);
  if (script.empty()) throw XBadFormat("no menu script with id " + std::to_string(id));
  return ParseMenuScript(script);
}

}  // namespace NSFerryman
