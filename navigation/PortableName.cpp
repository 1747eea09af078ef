#include "navigation/PortableName.h"

#include "framework/media/AsciiCase.h"

namespace {

bool IsPortable(unsigned char c) {
  return (c == ' ' || (c >= '!' && c <= '~')) && c != '/' && c != ':' && c != '\\' && c != '|';
}

}  // namespace

std::string PortableName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (!IsPortable(static_cast<unsigned char>(c))) c = '_';
  }
  return out;
}

bool PortableNamesEqual(std::string_view a, std::string_view b) { return NSFerryman::AsciiEqualsIgnoringCase(a, b); }

bool SamePortableName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    const char px = IsPortable(x) ? static_cast<char>(x) : '_';
    const char py = IsPortable(y) ? static_cast<char>(y) : '_';
    if (NSFerryman::AsciiLower(px) != NSFerryman::AsciiLower(py)) return false;
  }
  return true;
}
