#pragma once
// Four characters held as one 32-bit value (first character in the high byte) and compared whole:
// chunk IDs, group types, file type codes and resource types.

#include <cstdint>
#include <string>
#include <string_view>

namespace NSFerryman {

class CFourCharCode {
 public:
  constexpr CFourCharCode() : value_(FromText("????")) {}
  constexpr explicit CFourCharCode(std::uint32_t value) : value_(value) {}
  // From exactly four characters; a shorter text is padded with spaces, a longer one cut.
  constexpr CFourCharCode(const char* text) : value_(FromText(text)) {}
  explicit CFourCharCode(std::string_view text) : value_(FromText(text)) {}

  constexpr std::uint32_t GetValue() const { return value_; }
  std::string ToString() const;
  constexpr bool operator==(const CFourCharCode& other) const = default;

 private:
  static constexpr std::uint32_t FromText(std::string_view text) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
      v = (v << 8) | c;
    }
    return v;
  }

  std::uint32_t value_;
};

// A four-character code that names a resource type ("SSTR", "SALR", "SMNU").
class CResourceType : public CFourCharCode {
 public:
  using CFourCharCode::CFourCharCode;
  constexpr CResourceType(CFourCharCode code) : CFourCharCode(code) {}
};

}  // namespace NSFerryman
