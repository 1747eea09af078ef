#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/Terminal.h"
#include "cli/TerminalText.h"

namespace {

using namespace std::string_literals;

struct CEscapeCase {
  std::string text;
  std::string shown;
};

TEST(TerminalTextTest, ControlCharactersAndBrokenUtf8BecomeVisibleEscapes) {
  const std::vector<CEscapeCase> cases = {
      {"", ""},
      {"Kits:Kick 01.wav", "Kits:Kick 01.wav"},
      {"a\x1b[31mred\x1b]0;title\x07", "a\\x1b[31mred\\x1b]0;title\\x07"},
      {"one\r\ntwo\tthree\n", "one\\r\\ntwo\\tthree\\n"},
      {"C:\\Samples", "C:\\\\Samples"},
      {"nul\0 del\x7f"s, "nul\\x00 del\\x7f"},
      {"Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5 \xc2\xa0", "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5 \xc2\xa0"},
      {"Caf\xe9", "Caf\\xe9"},                                    // Latin-1
      {"\xc2\x9b" "2J\xc2\x85", "\\xc2\\x9b2J\\xc2\\x85"},        // C1 controls: CSI, NEL
      {"\xc0\xaf \xed\xa0\x80", "\\xc0\\xaf \\xed\\xa0\\x80"},    // overlong "/", a surrogate
      {"\x80x\xf5\x80\x80\x80", "\\x80x\\xf5\\x80\\x80\\x80"},    // stray continuation, past U+10FFFF
      {"ab\xe2\x82", "ab\\xe2\\x82"},                             // cut short by the end
  };
  for (const CEscapeCase& c : cases) EXPECT_EQ(cli::EscapeForTerminal(c.text), c.shown) << c.shown;
}

TEST(TerminalTest, WidthOfANonTerminalComesFromColumnsOr80) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  EXPECT_FALSE(cli::IsTerminal(fds[1]));

  std::optional<std::string> saved;
  if (const char* columns = std::getenv("COLUMNS")) saved = columns;
  struct CWidthCase {
    std::optional<std::string> columns;
    std::size_t width;
  };
  const std::vector<CWidthCase> cases = {
      {"132", 132}, {"1", 1}, {"10000", 10000}, {std::nullopt, 80}, {"", 80},
      {"0", 80},    {"-5", 80}, {"abc", 80},    {"120x", 80},       {"10001", 80}, {"99999999999999999999", 80},
  };
  for (const CWidthCase& c : cases) {
    if (c.columns) {
      ::setenv("COLUMNS", c.columns->c_str(), 1);
    } else {
      ::unsetenv("COLUMNS");
    }
    EXPECT_EQ(cli::TerminalWidth(fds[1]), c.width) << (c.columns ? *c.columns : "unset");
  }
  if (saved) {
    ::setenv("COLUMNS", saved->c_str(), 1);
  } else {
    ::unsetenv("COLUMNS");
  }
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
