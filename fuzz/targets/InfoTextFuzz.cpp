// The INFO.TXT parser and the normalisation of description texts.
//
// A normalised text holds no zero byte and ends in no line break, and normalising it again
// changes nothing; the pairs of INFO.TXT hold no line break and their values no double quote.

#include <string>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "pack/FolderDescription.h"

namespace {

void CheckNormalised(const std::string& text) {
  fuzz::Expect(text.find('\0') == std::string::npos, "a normalised text holds a zero byte");
  fuzz::Expect(text.empty() || (text.back() != '\n' && text.back() != '\r'), "a normalised text ends in a line break");
  fuzz::Expect(NormaliseDescriptionText(text) == text, "normalising a normalised text changed it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckNormalised(NormaliseDescriptionText(text));
  for (const auto& [key, value] : ParseInfoText(text)) {
    CheckNormalised(key);
    CheckNormalised(value);
    fuzz::Expect(key.find_first_of("\r\n \"=") == std::string::npos, "an INFO.TXT key holds a separator");
    fuzz::Expect(value.find_first_of("\r\n\"") == std::string::npos, "an INFO.TXT value holds a line break or quote");
  }
  return 0;
}
