#include "cli/TerminalText.h"

#include "cli/Utf8.h"

namespace cli {
namespace {

void AppendByteEscape(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

}  // namespace

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t n = Utf8SequenceLength(text, i);
      // U+0080..U+009F are C2 80..C2 9F: CSI (U+009B) starts an escape sequence as ESC [ does.
      const bool c1Control = n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
      if (n == 0 || c1Control) {
        AppendByteEscape(out, c);
        ++i;
        if (c1Control) AppendByteEscape(out, static_cast<unsigned char>(text[i++]));
      } else {
        out.append(text.substr(i, n));
        i += n;
      }
      continue;
    }
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          AppendByteEscape(out, c);
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  return out;
}

}  // namespace cli
