#include "cli/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace cli {
namespace {

constexpr std::size_t kDefaultWidth = 80;
// More than any screen holds; a larger COLUMNS is a mistake, not a wish for a longer line.
constexpr std::size_t kWidestTerminal = 10000;

}  // namespace

bool IsTerminal(int fd) { return ::isatty(fd) == 1; }

std::size_t TerminalWidth(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    const std::string_view text(columns);
    std::size_t width = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    if (error == std::errc() && end == text.data() + text.size() && width >= 1 && width <= kWidestTerminal) {
      return width;
    }
  }
  return kDefaultWidth;
}

}  // namespace cli
