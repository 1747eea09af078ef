// The INFO.TXT parser and the normalisation of description texts.
//
// A normalised text holds no zero byte and ends in no line break; made from a text of carriage
// returns only, each of its carriage returns is followed by a line feed. The pairs of INFO.TXT
// hold no line break and their values no double quote.

#include <string>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "pack/FolderDescription.h"

namespace {

void CheckNormalised(const std::string& text) {
  fuzz::Expect(text.find('\0') == std::string::npos, "a normalised text holds a zero byte");
  fuzz::Expect(text.empty() || (text.back() != '\n' && text.back() != '\r'), "a normalised text ends in a line break");
}

void CheckWidened(std::string_view input, const std::string& text) {
  if (input.find('\n') != std::string_view::npos) return;
  for (std::size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', cr + 1)) {
    fuzz::Expect(cr + 1 < text.size() && text[cr + 1] == '\n', "a carriage return of a CR-style text was not widened");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string normalised = NormaliseDescriptionText(text);
  CheckNormalised(normalised);
  CheckWidened(text, normalised);
  for (const auto& [key, value] : ParseInfoText(text)) {
    CheckNormalised(key);
    CheckNormalised(value);
    // Any byte but a blank starts a key, "=" and a quote included; the key ends at the next separator.
    fuzz::Expect(key.find_first_of("\r\n ") == std::string::npos && key.find('=', 1) == std::string::npos,
                 "an INFO.TXT key holds a separator");
    fuzz::Expect(value.find_first_of("\r\n\"") == std::string::npos, "an INFO.TXT value holds a line break or quote");
  }
  return 0;
}
