#pragma once
// CProgressLine: how `hamper` shows a running job's progress on standard error.
//
//   CProgressLine line(std::cerr, IsTerminal(2) ? CProgressLine::EMode::kTerminal
//                                               : CProgressLine::EMode::kPlainLines,
//                      TerminalWidth(2));
//   line.Show({"Packing files...", record.GetValue(), record.GetStatusText(), timeText},
//             platform::MillisecondsNow());
//   line.Clear();     // before writing anything else, such as an alert
//   line.Finish();    // when the job ends (the destructor does it too)
//
// On a terminal it is one line redrawn in place: the stage title, a bar [#####-----] from the
// per-mille value (none for CSimpleProgressInfo::kNoProgress), the per-file text and the time
// remaining, fitted into the width less one column (so the terminal never wraps it): the
// per-file text is cut from its front first, keeping the end of the path; then the time goes;
// then the per-file text. It is redrawn at most every 200 ms, at once when the stage title
// changes. Elsewhere (a file, a pipe) it writes one plain line per stage title and nothing per
// file; in quiet mode nothing at all.
//
// Line breaks in the texts are shown as spaces; everything else is escaped as EscapeForTerminal
// does. Columns are counted as characters: wide characters may take two.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "pack/RefreshThrottle.h"
#include "pack/SimpleProgressInfo.h"

namespace cli {

class CProgressLine {
 public:
  enum class EMode { kTerminal, kPlainLines, kQuiet };

  struct CState {
    std::string stageTitle;
    std::int32_t value = CSimpleProgressInfo::kNoProgress;
    std::string itemText;
    std::string timeText;
  };

  CProgressLine(std::ostream& out, EMode mode, std::size_t width);
  ~CProgressLine();
  CProgressLine(const CProgressLine&) = delete;
  CProgressLine& operator=(const CProgressLine&) = delete;

  // The job's state at `now` (milliseconds of a steady clock).
  void Show(const CState& state, std::uint64_t now);

  // Erases the line, so that other text can be written; the next Show draws it again at once.
  void Clear();

  // Draws the last state if a redraw of it is still due, then ends the line. A later Show starts
  // a new line.
  void Finish();

  // The line that Show draws for `state` on a terminal of `width` columns, without the control
  // sequences around it.
  static std::string Render(const CState& state, std::size_t width);

 private:
  void Draw(std::uint64_t now);

  std::ostream& out_;
  EMode mode_;
  std::size_t width_;
  CRefreshThrottle throttle_;
  CState latest_;
  bool seenAny_ = false;
  bool pending_ = false;      // latest_ has not been drawn
  bool onScreen_ = false;     // a line is drawn and not yet ended
  std::string drawnLine_;
};

}  // namespace cli
