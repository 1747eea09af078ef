#pragma once
// Top-level windows open inside the area of the screen that windows may take (without panels and
// docks), whatever the screen's size and scale: a window asks for the size it would like, and
// gets at most what the screen's available area holds, frame included, centred in it (a window
// with a parent, a dialog, is placed over its parent by the toolkit, inside the screen too).
//
//   FitWindowIntoScreen(*this, QSize(980, 660));   // in the window's constructor, before show()

#include <QSize>

class QWidget;

void FitWindowIntoScreen(QWidget& window, QSize wanted);
