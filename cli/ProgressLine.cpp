#include "cli/ProgressLine.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#include "cli/TerminalText.h"

namespace cli {
namespace {

// Carriage return, the line, then erase what an earlier, longer line left behind. Erasing after
// writing rather than before keeps the line from flickering.
constexpr std::string_view kEraseToEndOfLine = "\x1b[K";
constexpr std::string_view kEllipsis = "...";
constexpr std::size_t kWideTerminal = 80;
constexpr std::size_t kWideBarCells = 20;
constexpr std::size_t kNarrowBarCells = 10;
// Fewer columns of a path than this say nothing; the time remaining is worth more.
constexpr std::size_t kShortestUsefulItem = 12;

// Status texts break their lines with "\r" (a title, then the quoted path below it).
std::string OneLine(std::string_view text) {
  std::string joined;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (!joined.empty() && joined.back() != ' ') joined += ' ';
    } else {
      joined += c;
    }
  }
  return EscapeForTerminal(joined);
}

// Escaped text is printable ASCII and well-formed UTF-8: one column for each byte that does not
// continue a sequence.
bool ContinuesSequence(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !ContinuesSequence(c); }));
}

// The first `columns` characters.
std::string_view Head(std::string_view text, std::size_t columns) {
  std::size_t i = 0;
  for (std::size_t seen = 0; i < text.size(); ++i) {
    if (!ContinuesSequence(text[i]) && seen++ == columns) break;
  }
  return text.substr(0, i);
}

// The text in at most `columns` characters: whole, or "..." and its end.
std::string FitFromFront(std::string_view text, std::size_t columns) {
  const std::size_t have = Columns(text);
  if (have <= columns) return std::string(text);
  if (columns <= kEllipsis.size()) return std::string(kEllipsis.substr(0, columns));
  std::size_t drop = have - (columns - kEllipsis.size());
  std::size_t i = 0;
  while (i < text.size() && (drop > 0 || ContinuesSequence(text[i]))) {
    if (!ContinuesSequence(text[i])) --drop;
    ++i;
  }
  return std::string(kEllipsis) + std::string(text.substr(i));
}

std::string Bar(std::int32_t value, std::size_t cells) {
  const auto perMille = static_cast<std::size_t>(std::clamp<std::int32_t>(value, 0, CSimpleProgressInfo::kComplete));
  const std::size_t filled = perMille * cells / CSimpleProgressInfo::kComplete;
  return "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "]";
}

std::string Join(const std::string& head, const std::string& item, const std::string& time) {
  std::string line = head;
  if (!item.empty()) line += (line.empty() ? "" : " ") + item;
  if (!time.empty()) line += (line.empty() ? "" : "  ") + time;
  return line;
}

}  // namespace

CProgressLine::CProgressLine(std::ostream& out, EMode mode, std::size_t width)
    : out_(out), mode_(mode), width_(width) {}

CProgressLine::~CProgressLine() {
  try {
    Finish();
  } catch (...) {
    // A stream that throws on failure must not end the program while unwinding.
  }
}

std::string CProgressLine::Render(const CState& state, std::size_t width) {
  const std::size_t room = std::max<std::size_t>(width, 2) - 1;
  std::string head = OneLine(state.stageTitle);
  if (state.value != CSimpleProgressInfo::kNoProgress) {
    head += (head.empty() ? "" : " ") + Bar(state.value, width >= kWideTerminal ? kWideBarCells : kNarrowBarCells);
  }
  std::string item = OneLine(state.itemText);
  std::string time = OneLine(state.timeText);

  std::string line = Join(head, item, time);
  if (Columns(line) <= room) return line;

  // Columns left for the per-file text beside the rest, whatever separators it brings.
  const auto roomForItem = [&](const std::string& rest, const std::string& after) -> std::size_t {
    const std::size_t used = Columns(Join(rest, "x", after)) - 1;
    return used < room ? room - used : 0;
  };
  if (!item.empty()) {
    const std::size_t itemRoom = roomForItem(head, time);
    if (itemRoom >= kShortestUsefulItem) return Join(head, FitFromFront(item, itemRoom), time);
  }
  time.clear();
  if (!item.empty()) {
    const std::size_t itemRoom = roomForItem(head, time);
    item = itemRoom > kEllipsis.size() ? FitFromFront(item, itemRoom) : "";
  }
  line = Join(head, item, time);
  return std::string(Head(line, room));
}

void CProgressLine::Show(const CState& state, std::uint64_t now) {
  if (mode_ == EMode::kQuiet) return;
  const bool stageChanged = !seenAny_ || state.stageTitle != latest_.stageTitle;
  seenAny_ = true;
  latest_ = state;
  pending_ = true;
  if (mode_ == EMode::kPlainLines) {
    pending_ = false;
    if (stageChanged && !state.stageTitle.empty()) out_ << OneLine(state.stageTitle) << "\n" << std::flush;
    return;
  }
  if (stageChanged || !onScreen_ || throttle_.IsRefreshDue(now)) Draw(now);
}

void CProgressLine::Draw(std::uint64_t now) {
  const std::string line = Render(latest_, width_);
  if (!onScreen_ || line != drawnLine_) {
    out_ << '\r' << line << kEraseToEndOfLine << std::flush;
    drawnLine_ = line;
  }
  onScreen_ = true;
  pending_ = false;
  throttle_.NoteRefresh(now);
}

void CProgressLine::Clear() {
  if (mode_ != EMode::kTerminal || !onScreen_) return;
  out_ << '\r' << kEraseToEndOfLine << std::flush;
  onScreen_ = false;
}

void CProgressLine::Finish() {
  if (mode_ != EMode::kTerminal) return;
  if (pending_ && onScreen_) {
    const std::string line = Render(latest_, width_);
    if (line != drawnLine_) out_ << '\r' << line << kEraseToEndOfLine;
    pending_ = false;
  }
  if (onScreen_) out_ << "\n" << std::flush;
  onScreen_ = false;
  drawnLine_.clear();
}

}  // namespace cli
