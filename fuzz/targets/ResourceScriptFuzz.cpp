// The text resource scripts: the entry parser of "SSTR", "SALR" and "SMNU" resources, the alert
// script parser over the whole input and over every entry, the menu script parser and the
// placeholder substitution.
//
// An alert that parses has one to three buttons numbered from button 1 at the end; an entry's
// text never holds a line feed or a tab, which the parser drops.

#include <string>
#include <string_view>
#include <vector>

#include "framework/resources/Alert.h"
#include "framework/resources/MenuScript.h"
#include "framework/resources/StringResource.h"
#include "framework/resources/Substitute.h"
#include "fuzz/FuzzInput.h"

using namespace NSFerryman;

namespace {

const std::vector<std::string> kArguments = {"zero", "^1", "two", "", "four", "five", "six",
                                             "seven", "eight", "nine", "ten", "^0"};

void ParseAlertScript(std::string_view script) {
  CAlert alert;
  if (!fuzz::Tolerate([&] { alert = ParseAlert(script, kArguments); })) return;
  const std::size_t buttons = alert.buttons.size();
  fuzz::Expect(buttons >= 1 && buttons <= 3, "an alert with no button or more than three");
  for (std::size_t i = 0; i < buttons; ++i) {
    fuzz::Expect(alert.buttons[i].result == kAlertButton1 + static_cast<int>(buttons - 1 - i),
                 "alert buttons numbered out of order");
  }
  (void)alert.MessageWithLineBreaks();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  fuzz::Tolerate([&] {
    const CStringResource resource("SALR", 128, script);
    for (const CStringResource::CEntry& entry : resource.GetEntries()) {
      fuzz::Expect(entry.item <= 9999, "an entry numbered above 9999");
      fuzz::Expect(entry.text.find_first_of("\n\t") == std::string::npos, "an entry's text holds a line feed or tab");
      fuzz::Expect(&resource.GetText(entry.item) != nullptr, "an entry that cannot be looked up");
      ParseAlertScript(entry.text);
      fuzz::Tolerate([&] { (void)ParseMenuScript(entry.text); });
    }
  });
  ParseAlertScript(script);
  fuzz::Tolerate([&] { (void)ParseMenuScript(script); });
  (void)Substitute(script, kArguments);
  return 0;
}
