#include "cli/JsonText.h"

#include <algorithm>

#include "cli/Utf8.h"

namespace cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string HexString(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    out += kHex[static_cast<unsigned char>(c) >> 4];
    out += kHex[static_cast<unsigned char>(c) & 0x0F];
  }
  return out + "\"";
}

std::string Key(std::string_view key) { return "\"" + std::string(key) + "\": "; }

}  // namespace

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const std::size_t n = Utf8SequenceLength(s, i);
      out.append(n ? s.substr(i, n) : std::string_view("\\ufffd"));
      i += n ? n : 1;
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0x0F];
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  return out + "\"";
}

std::string JsonMember(std::string_view key, std::string_view text) {
  std::string out = Key(key) + JsonString(text);
  if (!IsValidUtf8(text)) out += ", " + Key(std::string(key) + "Hex") + HexString(text);
  return out;
}

std::string JsonArrayMember(std::string_view key, const std::vector<std::string>& texts) {
  std::string out = Key(key) + "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + JsonString(texts[i]);
  out += "]";
  if (std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return IsValidUtf8(t); })) return out;
  out += ", " + Key(std::string(key) + "Hex") + "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + HexString(texts[i]);
  return out + "]";
}

}  // namespace cli
