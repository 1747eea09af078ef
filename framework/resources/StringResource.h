#pragma once
// CStringResource: one parsed text resource ("SSTR", "SALR" or "SMNU") of numbered entries.
//
// Script syntax, one entry per item:
//   N {text}        text between the braces; CR, LF and TAB inside are dropped, so an entry may
//                   span lines; "\r" (backslash, r) is the only escape and gives a carriage return
//   // comment      to the end of the line (CR LF, LF or CR)
//   /* comment */   anywhere between entries
// Any other character between entries is skipped. A number followed by "}" before any "{" is
// dropped along with everything up to that "}". The first entry of a number wins on look-up.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/resources/FourCharCode.h"

namespace NSFerryman {

class CStringResource {
 public:
  struct CEntry {
    std::uint16_t item;
    std::string text;
  };

  // XBadFormat, naming the resource, for an item number above 9999, an item number without a
  // closing "}" after it, or a "/*" without its "*/".
  CStringResource(CResourceType type, std::uint32_t number, std::string_view script);

  CResourceType GetType() const { return type_; }
  std::uint32_t GetNumber() const { return number_; }
  const std::vector<CEntry>& GetEntries() const { return entries_; }

  // The text of the first entry numbered `item`; the empty text when there is none.
  const std::string& GetText(std::uint32_t item) const;

 private:
  CResourceType type_;
  std::uint32_t number_;
  std::vector<CEntry> entries_;
};

}  // namespace NSFerryman
