#pragma once
// Top-level windows open inside the area of the screen that windows may take (without panels and
// docks), whatever the screen's size and scale: a window asks for the size it would like, and
// gets at most what the screen's available area holds, frame included, centred in it (a window
// with a parent, a dialog, is placed over its parent by the toolkit, inside the screen too).
// A window that belongs beside another (a report beside the packer window) is placed there
// instead, so that neither hides the other.
//
//   FitWindowIntoScreen(*this, QSize(980, 660));   // in the window's constructor, before show()
//   PlaceBeside(report, packerWindow);             // before the report is shown

#include <QRect>
#include <QSize>

class QWidget;

void FitWindowIntoScreen(QWidget& window, QSize wanted);

// Where a window of `size` (frame included) goes beside `anchor` (the other window's frame)
// inside `area`: to its right when it fits there, else to its left; when it fits on neither side,
// on the side with more room, narrowed to that room down to `minimum`, and past that over the
// anchor's edge as little as the area allows. Its top is the anchor's, moved as far as needed to
// keep it inside the area, and it is never taller or wider than the area.
QRect BesideRect(const QRect& anchor, QSize size, QSize minimum, const QRect& area);

// Moves and sizes `window` beside `anchor` on the anchor's screen (BesideRect): the size it has,
// and at least `wanted`, where there is room (a window narrowed once to fit grows again).
void PlaceBeside(QWidget& window, const QWidget& anchor, QSize wanted);
