#pragma once
// Texts as JSON, for the commands' --json output.
//
// Texts in a Hamper or a folder are bytes of whatever encoding their author used, and names on
// the command line are bytes too. Valid UTF-8 passes through. A text that is not valid UTF-8 is
// written with U+FFFD in place of each byte that is not part of a UTF-8 sequence, and, so that it
// can be read back exactly, its member is followed by a member of the same name with "Hex"
// appended that holds all of its bytes in lower-case hex:
//
//   "path": "Kits:\ufffd\ufffd.wav", "pathHex": "4b6974733afffe2e776176"
//
// An array of texts gets a "Hex" array beside it (hex of every element, in order) when any of
// them is not valid UTF-8. A valid text never has such a member, so a reader tells the two apart.
// No other member of our JSON has a name that ends in "Hex": the two can never collide.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The text as a JSON string literal (bytes that are not UTF-8 as U+FFFD).
std::string JsonString(std::string_view s);
// `"key": "text"`, and `, "keyHex": "hex"` when the text is not valid UTF-8.
std::string JsonMember(std::string_view key, std::string_view text);
// `"key": ["text", ...]`, and `, "keyHex": ["hex", ...]` when any text is not valid UTF-8.
std::string JsonArrayMember(std::string_view key, const std::vector<std::string>& texts);

}  // namespace cli
