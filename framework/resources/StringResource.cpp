#include "framework/resources/StringResource.h"

#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceId.h"

namespace NSFerryman {

namespace {

bool IsLineBreakOrTab(char c) { return c == '\r' || c == '\n' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Entry text as it appears to the user: line breaks and tabs of the script layout go, and the
// "\r" escape becomes the carriage return that breaks a line on screen.
std::string EntryText(std::string_view raw) {
  std::string joined;
  joined.reserve(raw.size());
  for (char c : raw) {
    if (!IsLineBreakOrTab(c)) joined.push_back(c);
  }
  std::string text;
  text.reserve(joined.size());
  for (std::size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == '\\' && i + 1 < joined.size() && joined[i + 1] == 'r') {
      text.push_back('\r');
      ++i;
    } else {
      text.push_back(joined[i]);
    }
  }
  return text;
}

}  // namespace

CStringResource::CStringResource(CResourceType type, std::uint32_t number, std::string_view script)
    : type_(type), number_(number) {
  const auto fail = [&](const std::string& what) {
    throw XBadFormat("text resource " + type_.ToString() + " " + std::to_string(number_) + ": " +
                     what);
  };
  std::string_view rest = script;
  while (!rest.empty()) {
    if (IsLineBreakOrTab(rest.front())) {
      rest.remove_prefix(1);
    } else if (rest.starts_with("//")) {
      // Our scripts are kept with LF line ends, so any line end closes a comment; waiting for
      // CR LF alone would swallow every entry after a comment.
      const std::size_t end = rest.find_first_of("\r\n");
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    } else if (rest.starts_with("/*")) {
      const std::size_t end = rest.find("*/", 2);
      if (end == std::string_view::npos) fail("a \"/*\" comment is not closed");
      rest.remove_prefix(end + 2);
    } else if (!IsDigit(rest.front())) {
      rest.remove_prefix(1);
    } else {
      std::uint32_t item = 0;
      std::size_t i = 0;
      for (; i < rest.size() && IsDigit(rest[i]); ++i) {
        item = item * 10 + static_cast<std::uint32_t>(rest[i] - '0');
        if (item > kMaxItemNumber) fail("item number " + std::string(rest.substr(0, i + 1)) +
                                        "... is above " + std::to_string(kMaxItemNumber));
      }
      const std::size_t open = rest.find('{', i);
      const std::size_t close = rest.find('}', i);
      if (close == std::string_view::npos) {
        fail("entry " + std::to_string(item) + " has no closing \"}\"");
      }
      if (open < close) {
        entries_.push_back(
            {static_cast<std::uint16_t>(item), EntryText(rest.substr(open + 1, close - open - 1))});
      }
      rest.remove_prefix(close + 1);
    }
  }
}

const std::string& CStringResource::GetText(std::uint32_t item) const {
  static const std::string kEmpty;
  for (const CEntry& entry : entries_) {
    if (entry.item == item) return entry.text;
  }
  return kEmpty;
}

}  // namespace NSFerryman
