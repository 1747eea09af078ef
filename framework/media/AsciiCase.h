#pragma once
// Case folding of the letters a to z and A to Z only. Every other byte is left as it is, so that
// names in any 8-bit encoding compare the same on every machine, whatever the locale: file names
// are compared this way throughout the system.
//
//   if (AsciiEqualsIgnoringCase(extension, ".wav")) ...
//   const std::string key = AsciiUpperCopy(name);

#include <cstddef>
#include <string>
#include <string_view>

namespace NSFerryman {

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiUpperCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

constexpr bool AsciiEqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace NSFerryman
